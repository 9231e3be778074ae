#include "core/system.h"

#include "core/backup.h"
#include "core/packages.h"
#include "core/packages_data.h"
#include "core/report.h"
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
    if (!path_exists(dir)) run(mkdir_command(prefix, dir));
    return run(copy_command(prefix, src, dst));
}

void dconf_load(std::string_view txt) {
    backup_dconf_keys(txt);
    const std::string payload_path = get_temp_file_path(true);
    file_write(payload_path, txt);
    const std::string cmd = dconf_load_command(payload_path);
    if (const int code = run(cmd); code != 0) {
        log_error("Failed to load the settings of " + payload_first_path(txt) +
                  (report_step_name().empty() ? "" : " in step '" + report_step_name() + "'"));
        stop_run(cmd, code);
    }
}

bool boot_mode_is_efi(AppConsole& app) {
    if (!cmd_exists("efibootmgr")) apt_install(app, "efibootmgr", true, true);
    return run_read(efibootmgr_command) == 0;
}
