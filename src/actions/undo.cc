#include "actions/undo.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "actions/undo_data.h"
#include "core/app_console.h"
#include "core/backup.h"
#include "core/backup_data.h"
#include "core/dialogs.h"
#include "core/exit.h"
#include "core/packages.h"
#include "core/packages_data.h"
#include "core/runner.h"
#include "core/settings_data.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/dconf_writer.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

// Newest first: run names begin with their start time.
std::vector<std::string> run_names(const std::string& runs_dir) {
    auto names = dir_list_names(runs_dir, false);
    std::reverse(names.begin(), names.end());
    return names;
}

std::optional<Manifest> read_manifest(const std::string& folder, std::string& error) {
    const std::string path = path_combine(folder, manifest_file_name);
    if (!file_exists(path)) {
        error = "it has no manifest (incomplete backup)";
        return std::nullopt;
    }
    const auto text = file_read(path);
    if (!text) {
        error = "its manifest cannot be read";
        return std::nullopt;
    }
    return parse_manifest(*text, error);
}

bool is_undone(const std::string& folder) {
    return file_exists(path_combine(folder, undone_marker_name));
}

// What is at the file's place now; nullopt when nothing is.
std::optional<std::string> current_content(const BackedUpFile& file) {
    if (file.system) {
        if (!file_exists_sudo(file.path)) return std::nullopt;
        return file_read_sudo(file.path);
    }
    if (!file_exists(file.path)) return std::nullopt;
    return file_read(file.path);
}

// A file that changed again after the run holds someone's later work: it is kept beside.
void keep_newer(const BackedUpFile& file) {
    if (file.after_checksum == checksum_unknown) return;
    const auto now = current_content(file);
    const std::string now_checksum = now ? text_checksum(*now) : std::string(checksum_absent);
    if (!now || now_checksum == file.after_checksum) return;
    const std::string newer = newer_copy_path(file.path);
    const bool kept =
        file.system ? run("sudo cp -p " + shell_quote(file.path) + " " + shell_quote(newer)) == 0
                    : file_write(newer, *now);
    if (kept)
        log_msg("W: " + file.path + " changed after that run; the newer file is kept as " + newer);
}

// False when the file could not be put back.
bool restore_file(const std::string& folder, const BackedUpFile& file) {
    if (!file.existed) {
        keep_newer(file);
        return file.system ? run(system_remove_command(file.path)) == 0 : file_delete(file.path);
    }
    const std::string copy = path_combine(folder, file.copy_name);
    const auto contents = file_read(copy);
    if (!contents) {
        log_error("Cannot read the backup '" + copy + "' of " + file.path);
        return false;
    }
    // Restored already by an undo that stopped before its end: that is no later work to keep.
    if (current_content(file) != contents) keep_newer(file);
    if (file.system) {
        bool restored = true;
        for (const auto& cmd : system_restore_commands(copy, file))
            restored = run(cmd) == 0 && restored;
        return restored;
    }
    char mode[8];
    snprintf(mode, sizeof mode, "%o", file.mode);
    if (!file_write(file.path, *contents) || !chmod(file.path, mode)) return false;
    const auto stat = file_stat(file.path);
    if (stat && stat->owner_uid != file.owner_uid) {
        return run("sudo chown " + std::to_string(file.owner_uid) + " " + shell_quote(file.path)) ==
               0;
    }
    return true;
}

// What undo put back: counted on screen, each path in the log.
struct UndoneFiles {
    int restored = 0;
    int removed = 0;
    int folders = 0;
};

void note_undone(int& count, std::string_view what, const std::string& path) {
    ++count;
    log_file_write(std::string(what) + ": " + path + "\n");
}

// What the run created goes again; a folder that holds files now is the user's and stays, as
// does a link that the user has replaced. False when a removal failed.
bool remove_created(const std::string& path, UndoneFiles& undone) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return true;
    const bool is_dir = S_ISDIR(info.st_mode);
    if (!is_dir && !S_ISLNK(info.st_mode)) {
        log_msg("W: " + path + " is no longer the link that run made: it is kept");
        return true;
    }
    // A dry run has removed none of the files in it: rmdir, shown, says what would happen.
    if (is_dir && !dry_run() && !dir_list_names(path, false).empty()) {
        log_msg("W: " + path + " holds files now: it is kept");
        return true;
    }
    if (run(created_path_remove_command(path, is_dir)) != 0) return false;
    if (is_dir) {
        note_undone(undone.folders, "Removed folder", path);
    } else {
        note_undone(undone.removed, "Removed", path);
    }
    return true;
}

// A folder that the run moved into its backup goes back, unless something is at its place
// again: that is newer, and the copy stays in the backup. False when it could not go back.
bool put_back_moved(const std::string& folder, const std::string& copy, const std::string& path) {
    const std::string from = path_combine(folder, copy);
    if (path_exists(path)) {
        log_msg("W: " + path + " is there again: that run's copy is kept in " + from);
        return true;
    }
    if (!path_exists(from)) {
        log_error("Cannot find the backup '" + from + "' of " + path);
        return false;
    }
    if (auto parent = file_parent(path)) dir_create(*parent);
    if (run(move_command(from, path)) != 0) return false;
    log_msg(std::string(done_or_would("Put back: ", "Would put back: ")) + path);
    return true;
}

std::string count_text(int count, std::string_view noun) {
    return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

std::string undone_files_text(const UndoneFiles& undone) {
    return std::string(done_or_would("Restored ", "Would restore ")) +
           count_text(undone.restored, "file") +
           std::string(done_or_would(", removed ", ", remove ")) +
           count_text(undone.removed, "file") + " and " + count_text(undone.folders, "folder") +
           " that run created; the log names each one.";
}

// A dry run's view of restore_settings: the settings grouped by folder, not one command each.
void show_settings_restore(const std::string& folder, const Manifest& manifest) {
    std::vector<std::string> lines;
    for (const auto& [copy, dir] : manifest.dconf_dumps) {
        lines.push_back("Would load every setting below " + dir + " from " +
                        path_combine(folder, copy));
    }
    std::vector<std::string> saved;
    for (const auto& copy : manifest.dconf_saves) {
        const auto text = file_read(path_combine(folder, copy)).value_or("");
        for (auto& [key, value] : settings_values(parse_settings_payload(text)))
            saved.push_back(std::move(key));
    }
    for (auto& line : grouped_settings_lines("Would restore", saved)) lines.push_back(line);
    for (auto& line : grouped_settings_lines("Would reset", manifest.dconf_resets))
        lines.push_back(line);
    for (const auto& line : lines) log_msg(line);
    if (!lines.empty()) count_change();
}

// False when a saved copy could not be read or loaded.
bool restore_settings(const std::string& folder, const Manifest& manifest) {
    if (dry_run()) {
        show_settings_restore(folder, manifest);
        return true;
    }
    bool restored = true;
    auto load = [&](const std::string& copy_name, const std::string& cmd) {
        const std::string copy = path_combine(folder, copy_name);
        if (!file_read(copy)) {
            log_error("Cannot read the backup '" + copy + "' of the settings");
            restored = false;
        } else if (run(cmd) != 0) {
            restored = false;
        }
    };
    // The whole tree first: the keys saved before it hold the older values.
    for (const auto& [copy, dir] : manifest.dconf_dumps) {
        load(copy, dconf_tree_load_command(path_combine(folder, copy), dir));
    }
    for (const auto& copy : manifest.dconf_saves) {
        load(copy, dconf_load_command(path_combine(folder, copy)));
    }
    // One change for all the keys that had no value: a process per key took a while.
    if (std::string error; !dconf_reset_keys(manifest.dconf_resets, error)) {
        log_error("Cannot reset the settings the run added: " + error);
        restored = false;
    }
    return restored;
}

// False when the package changes were to be asked about and could not be: no terminal.
bool reverse_packages(AppConsole& app, const Manifest& manifest, bool yes,
                      std::string_view run_name) {
    const auto commands = reverse_package_commands(manifest);
    if (commands.empty()) return true;
    log_msg(package_changes_text(manifest, commands));
    if (!yes && !dry_run()) {
        const auto answer =
            ask_yesno_if_shown(package_question_title, package_question_text(commands), true);
        if (!answer) {
            log_error("The question '" + std::string(package_question_title) +
                      "' needs a terminal: the package changes were kept; 'kelvane undo --yes " +
                      std::string(run_name) + "' reverses them");
            return false;
        }
        if (!*answer) {
            log_msg("Package changes kept; these commands reverse them:\n" +
                    string_join(commands, "\n"));
            return true;
        }
    }
    for (const auto& cmd : commands) run_package_command(cmd);
    check_installed_packages(app);
    return true;
}

}  // namespace

void undo_list(const std::string& runs_dir) {
    const auto names = run_names(runs_dir);
    if (names.empty()) log_msg("No runs to undo in " + runs_dir);
    for (const auto& name : names) {
        const std::string folder = path_combine(runs_dir, name);
        std::string error;
        const auto manifest = read_manifest(folder, error);
        log_msg(run_list_line(name, manifest ? &*manifest : nullptr, is_undone(folder)));
    }
}

void undo_run(AppConsole& app, const std::string& runs_dir, std::string_view run_name, bool yes) {
    backup_stop();
    const auto names = run_names(runs_dir);
    if (run_name.empty() && names.empty()) {
        log_error("No run to undo: " + runs_dir + " holds no backups");
        exit_process(1);
    }
    const std::string name = run_name.empty() ? names.front() : std::string(run_name);
    const std::string folder = path_combine(runs_dir, name);
    std::string error;
    const auto manifest = file_exists(folder) ? read_manifest(folder, error) : std::nullopt;
    if (!manifest) {
        log_error("Cannot undo run '" + name +
                  "': " + (error.empty() ? "no such run in " + runs_dir : error));
        exit_process(1);
    }
    if (is_undone(folder)) {
        log_msg("Run " + name + " was already undone: nothing to do.");
        return;
    }
    log_header("Undo run " + name + " (" + run_date(name) + ")\n" + manifest->choices);
    bool complete = true;
    UndoneFiles undone;
    for (auto file = manifest->files.rbegin(); file != manifest->files.rend(); ++file) {
        if (!restore_file(folder, *file)) {
            complete = false;
        } else if (file->existed) {
            note_undone(undone.restored, "Restored", file->path);
        } else {
            note_undone(undone.removed, "Removed", file->path);
        }
    }
    for (auto moved = manifest->moved.rbegin(); moved != manifest->moved.rend(); ++moved) {
        complete = put_back_moved(folder, moved->first, moved->second) && complete;
    }
    complete = restore_settings(folder, *manifest) && complete;
    for (const auto& path : manifest->sources)
        complete = run(system_remove_command(path)) == 0 && complete;
    for (const auto& path : manifest->taken_out) log_msg("Taken out during that run: " + path);
    for (const auto& remote : manifest->flatpak_remotes) {
        complete = run(flatpak_remote_remove_command(remote)) == 0 && complete;
    }
    for (const auto& path : manifest->extensions) {
        complete = run("rm -rf " + shell_quote(path)) == 0 && complete;
    }
    for (auto path = manifest->created.rbegin(); path != manifest->created.rend(); ++path) {
        complete = remove_created(*path, undone) && complete;
    }
    log_msg(undone_files_text(undone));
    const bool packages_done = reverse_packages(app, *manifest, yes, name);
    if (!complete) {
        log_error("Run " + name + " was not undone completely; see the lines above");
        exit_process(1);
    }
    // Not marked undone: the same command with --yes finishes it.
    if (!packages_done) exit_process(1);
    if (!dry_run()) file_write(path_combine(folder, undone_marker_name), "");
    log_msg("Run " + name + std::string(done_or_would(" undone.", " would be undone.")));
}

MenuResult get_choice_undo(AppConsole& app, const std::string& runs_dir) {
    std::vector<std::pair<std::string, std::string>> runs;
    for (const auto& name : run_names(runs_dir)) {
        std::string error;
        const auto manifest = read_manifest(path_combine(runs_dir, name), error);
        if (!manifest) continue;
        runs.emplace_back(name,
                          run_list_line(name, &*manifest, is_undone(path_combine(runs_dir, name))));
    }
    if (runs.empty()) {
        show_msgbox(undo_dialog_title, no_run_text);
        return MenuResult::back;
    }
    const std::string answer = run_dialog(undo_run_dialog(runs), false);
    if (answer == "back" || answer.empty()) return MenuResult::back;
    undo_run(app, runs_dir, answer, false);
    return MenuResult::done;
}
