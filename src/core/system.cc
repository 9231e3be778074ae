#include "core/system.h"

#include "core/backup.h"
#include "core/packages.h"
#include "core/packages_data.h"
#include "core/runner.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

int copy_file(std::string_view src, std::string_view dst, bool use_sudo) {
    const std::string_view prefix = use_sudo ? "sudo" : "";
    const std::string dir = copy_target_dir(dst);
    // A system file that is replaced is kept, and one that is new is noted, for undo.
    if (use_sudo && !dst.empty() && dst.back() != '/') backup_system_file(dst);
    if (!path_exists(dir)) {
        // A folder of the user's is made like any other, so that the backup notes it for undo.
        if (use_sudo) {
            run(mkdir_command(prefix, dir));
        } else {
            dir_create(dir);
        }
    }
    return run(copy_command(prefix, src, dst));
}

FileUpdate update_file(const std::string& path, std::string_view contents) {
    if (file_holds(path, contents)) return FileUpdate::unchanged;
    if (!file_write(path, contents)) return FileUpdate::failed;
    // A dry run's diff has counted itself.
    if (!dry_run()) count_change();
    return FileUpdate::written;
}

bool edit_file(std::string_view path, const std::vector<std::string>& cmds, bool use_sudo) {
    if (!dry_run()) {
        bool all_done = true;
        for (const auto& cmd : cmds) all_done = run(cmd) == 0 && all_done;
        return all_done;
    }
    // The same edits on a copy in the workspace, to show what they would change.
    const std::string copy = get_temp_file_path(true);
    if (use_sudo ? file_exists_sudo(path) : file_exists(path)) {
        file_write(copy, use_sudo ? file_read_sudo(path) : file_read(path).value_or(""));
    }
    for (const auto& cmd : cmds) {
        std::string on_copy = string_replace(cmd, shell_quote(path), shell_quote(copy));
        if (on_copy.rfind("sudo ", 0) == 0) on_copy.erase(0, 5);
        run_read(on_copy, RunMode::captured);
    }
    file_show_diff(path, file_exists(copy) ? file_read(copy).value_or("") : "", use_sudo);
    // Like every command of a dry run, the edits count as done.
    return true;
}

bool boot_mode_is_efi(AppConsole& app) {
    if (!cmd_exists("efibootmgr")) apt_install(app, "efibootmgr", true, true);
    // Captured: without EFI it says so on stderr each time the menu opens, which is for the log.
    ExecOutput output;
    return run_read(efibootmgr_command, RunMode::captured, &output) == 0;
}
