#include "core/system.h"

#include "core/exit.h"
#include "core/packages.h"
#include "core/packages_data.h"
#include "core/runner.h"
#include "lib/commands.h"
#include "lib/files.h"

using namespace Velkor;

int copy_file(std::string_view src, std::string_view dst, bool use_sudo) {
    const std::string_view prefix = use_sudo ? "sudo" : "";
    const std::string dir = copy_target_dir(dst);
    if (!path_exists(dir)) run(mkdir_command(prefix, dir));
    return run(copy_command(prefix, src, dst));
}

void dconf_load(std::string_view txt) {
    const std::string payload_path = get_temp_file_path(true);
    file_write(payload_path, txt);
    if (run(dconf_load_command(payload_path)) != 0) exit_process(1);
}

bool boot_mode_is_efi(const AppConsole& app) {
    if (!cmd_exists("efibootmgr")) apt_install(app, "efibootmgr", true, true);
    return run(efibootmgr_command) == 0;
}
