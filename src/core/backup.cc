#include "core/backup.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "core/app_console.h"
#include "core/backup_data.h"
#include "core/packages.h"
#include "core/packages_data.h"
#include "core/runner.h"
#include "core/settings_data.h"
#include "core/system.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

// The recording of this run. The file_write hook has no context, so it lives here.
struct Recording {
    /// The run being recorded, for an end that comes through a stop.
    AppConsole* app = nullptr;
    bool active = false;
    std::string user_name;
    std::string runs_dir;
    std::string start_time;
    /// "" until the first change is recorded.
    std::string folder;
    int copies = 0;
    Manifest manifest;
    std::set<std::string> saved_paths;
    std::set<std::string> saved_keys;
    std::vector<std::string> packages_before;
    std::vector<std::string> sources_before;
    std::vector<std::string> remotes_before;
    std::vector<std::string> extensions_before;
    std::string extensions_dir;
    std::string extensions_data_dir;
};

Recording recording;

void warn(const std::string& message) { log_msg("W: Backup: " + message); }

// The run's folder, made on first use with mode 0700; "" when it cannot be made.
const std::string& run_folder() {
    if (!recording.folder.empty()) return recording.folder;
    dir_create(recording.runs_dir);
    // Two runs started in the same second by the same process id are not expected, but a
    // folder that exists belongs to another run and is never reused.
    for (int attempt = 1; attempt < 100 && recording.folder.empty(); ++attempt) {
        const std::string name =
            recording.start_time + (attempt == 1 ? "" : "-" + std::to_string(attempt));
        const std::string path = path_combine(recording.runs_dir, name);
        if (::mkdir(path.c_str(), 0700) == 0) {
            recording.folder = path;
        } else if (errno != EEXIST) {
            warn("cannot create '" + path + "': " + std::strerror(errno));
            recording.active = false;
            break;
        }
    }
    return recording.folder;
}

void save_manifest() {
    if (run_folder().empty()) return;
    if (!file_write(path_combine(recording.folder, manifest_file_name),
                    manifest_text(recording.manifest))) {
        warn("cannot write the manifest in '" + recording.folder + "'");
    }
}

// A new file name in the run's folder.
std::string next_copy_name(std::string_view kind) {
    return std::string(kind) + "-" + std::to_string(++recording.copies);
}

bool write_private(const std::string& path, std::string_view contents) {
    return file_write(path, contents) && ::chmod(path.c_str(), 0600) == 0;
}

ExecOutput read_output(const std::string& cmd) {
    ExecOutput output;
    if (run_read(cmd, RunMode::captured, &output) != 0) output.std_out.reset();
    return output;
}

// The package sources, keys and pins there are.
std::vector<std::string> source_listing() {
    return dirs_list_paths({"/etc/apt/sources.list.d", "/etc/apt/trusted.gpg.d",
                            "/etc/apt/preferences.d", "/usr/share/keyrings"});
}

std::optional<std::string> checksum_of(const BackedUpFile& file) {
    if (file.system) {
        if (!file_exists_sudo(file.path)) return std::nullopt;
        return text_checksum(file_read_sudo(file.path));
    }
    if (!file_exists(file.path)) return std::nullopt;
    return text_checksum(file_read(file.path).value_or(""));
}

}  // namespace

void backup_begin(AppConsole& app, std::string_view runs_dir, std::string_view start_time) {
    if (dry_run()) return;
    recording = {};
    recording.app = &app;
    recording.active = true;
    recording.user_name = app.user_name;
    recording.runs_dir = runs_dir;
    recording.start_time = start_time;
    // The start-up checks have just read the list.
    recording.packages_before = app.packages.names();
    recording.sources_before = source_listing();
    recording.remotes_before = flatpak_remote_names();
    recording.extensions_dir = path_combine(app.user_home, ".local/share/gnome-shell/extensions");
    recording.extensions_data_dir =
        path_combine(current_dir(), std::string(app.release.extensions_folder));
    recording.extensions_before = dir_list_names(recording.extensions_dir, false);
    file_set_before_replace(backup_user_file);
    dir_set_before_create(backup_created_path);
}

void backup_user_file(const std::string& path) {
    if (!recording.active || path_is_below(path, recording.runs_dir) ||
        recording.saved_paths.count(path))
        return;
    if (run_folder().empty()) return;
    recording.saved_paths.insert(path);
    BackedUpFile file{path};
    if (const auto stat = file_stat(path)) {
        const auto contents = file_read(path);
        const std::string copy = next_copy_name("file");
        if (!contents || !write_private(path_combine(recording.folder, copy), *contents)) {
            warn("cannot keep a copy of '" + path + "'");
            return;
        }
        file = {path, false, true, stat->mode, stat->owner_uid, copy};
    }
    recording.manifest.files.push_back(file);
    save_manifest();
}

void backup_set_choices(std::string_view choices) {
    if (!recording.active) return;
    recording.manifest.choices = choices;
    if (!recording.folder.empty()) save_manifest();
}

void backup_system_file(std::string_view path) {
    const std::string target(path);
    if (!recording.active || recording.saved_paths.count(target) || run_folder().empty()) return;
    recording.saved_paths.insert(target);
    BackedUpFile file{target, true};
    if (file_exists_sudo(target)) {
        const std::string copy = next_copy_name("file");
        const auto mode_owner =
            parse_mode_owner(read_output("sudo stat -c " + shell_quote(stat_mode_owner_format) +
                                         " " + shell_quote(target))
                                 .std_out.value_or(""));
        bool copied = mode_owner.has_value();
        for (const auto& cmd : system_copy_commands(target, path_combine(recording.folder, copy),
                                                    recording.user_name)) {
            copied = copied && run(cmd) == 0;
        }
        if (!copied) {
            warn("cannot keep a copy of '" + target + "'");
            return;
        }
        file = {target, true, true, mode_owner->first, mode_owner->second, copy};
    }
    recording.manifest.files.push_back(file);
    save_manifest();
}

void backup_created_path(const std::string& path) {
    struct stat info {};
    if (!recording.active || ::lstat(path.c_str(), &info) == 0 || recording.saved_paths.count(path))
        return;
    // The backup's own folders are no change of the run.
    if (path == recording.runs_dir || path_is_below(path, recording.runs_dir) ||
        path_is_below(recording.runs_dir, path))
        return;
    if (run_folder().empty()) return;
    recording.saved_paths.insert(path);
    recording.manifest.created.push_back(path);
    save_manifest();
}

void backup_sources_taken_out(const std::vector<std::string>& paths) {
    if (!recording.active || run_folder().empty()) return;
    for (const auto& path : paths) recording.manifest.taken_out.push_back(path);
    save_manifest();
}

bool backup_move_aside(const std::string& path) {
    if (dry_run()) {
        log_msg("Would move " + path + " into this run's backup");
        count_change();
        return true;
    }
    if (!recording.active || run_folder().empty()) {
        warn("no backup to move '" + path + "' into: it is left in place");
        return false;
    }
    const std::string copy = next_copy_name("moved");
    if (run(move_command(path, path_combine(recording.folder, copy))) != 0) {
        warn("cannot move '" + path + "' into the backup: it is left in place");
        return false;
    }
    recording.manifest.moved.emplace_back(copy, path);
    save_manifest();
    return true;
}

void backup_snap_removed(std::string_view snap_name) {
    if (!recording.active || run_folder().empty()) return;
    auto& removed = recording.manifest.snaps_removed;
    if (std::find(removed.begin(), removed.end(), snap_name) != removed.end()) return;
    removed.emplace_back(snap_name);
    save_manifest();
}

void backup_dconf_keys(const SettingsPayload& payload,
                       const std::map<std::string, std::string>& current) {
    if (!recording.active) return;
    std::vector<std::pair<std::string, std::string>> values;
    bool resets = false;
    // The first value is the one before the run: a later payload must not replace it.
    for (const auto& [key, value] : settings_values(payload)) {
        if (!recording.saved_keys.insert(key).second) continue;
        if (const auto before = current.find(key); before != current.end()) {
            values.emplace_back(key, before->second);
        } else {
            recording.manifest.dconf_resets.push_back(key);
            resets = true;
        }
    }
    if ((values.empty() && !resets) || run_folder().empty()) return;
    if (!values.empty()) {
        const std::string copy = next_copy_name("dconf");
        if (write_private(path_combine(recording.folder, copy),
                          settings_payload_text(settings_from_values(values)))) {
            recording.manifest.dconf_saves.push_back(copy);
        } else {
            warn("cannot keep the settings before '" + settings_first_folder(payload) + "'");
        }
    }
    save_manifest();
}

void backup_dconf_tree(std::string_view dir) {
    if (!recording.active || run_folder().empty()) return;
    const auto dump = read_output("dconf dump " + shell_quote(dir)).std_out;
    const std::string copy = next_copy_name("dconf");
    if (!dump || !write_private(path_combine(recording.folder, copy), *dump)) {
        warn("cannot keep the settings below '" + std::string(dir) + "'");
        return;
    }
    recording.manifest.dconf_dumps.emplace_back(copy, dir);
    save_manifest();
}

void backup_end(AppConsole& app) {
    if (!recording.active) return;
    file_set_before_replace(nullptr);
    dir_set_before_create(nullptr);
    recording.active = false;
    Manifest& manifest = recording.manifest;
    const auto packages_after = check_installed_packages(app);
    if (!packages_after.empty()) {
        manifest.installed = added_entries(recording.packages_before, packages_after);
        manifest.removed = added_entries(packages_after, recording.packages_before);
    }
    for (const auto& path : added_entries(recording.sources_before, source_listing())) {
        if (!recording.saved_paths.count(path)) manifest.sources.push_back(path);
    }
    manifest.flatpak_remotes = added_entries(recording.remotes_before, flatpak_remote_names());
    const auto ours = dir_list_names(recording.extensions_data_dir, false);
    const std::set<std::string> shipped(ours.begin(), ours.end());
    for (const auto& name : added_entries(recording.extensions_before,
                                          dir_list_names(recording.extensions_dir, false))) {
        if (shipped.count(name))
            manifest.extensions.push_back(path_combine(recording.extensions_dir, name));
    }
    if (recording.folder.empty() && manifest_change_count(manifest) == 0) return;
    for (auto& file : manifest.files) {
        file.after_checksum = checksum_of(file).value_or(std::string(checksum_absent));
    }
    manifest.finished = true;
    recording.active = true;  // the folder may still have to be made
    save_manifest();
    recording.active = false;
    if (!recording.folder.empty()) log_msg("Backup of this run: " + recording.folder);
}

void backup_end_of_stopped_run() {
    if (recording.active && recording.app) backup_end(*recording.app);
}

void backup_stop() {
    file_set_before_replace(nullptr);
    dir_set_before_create(nullptr);
    recording.active = false;
}
