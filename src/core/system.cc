#include "core/system.h"

#include <unordered_map>

#include "core/backup.h"
#include "core/backup_data.h"
#include "core/packages.h"
#include "core/packages_data.h"
#include "core/report.h"
#include "core/runner.h"
#include "core/settings_state.h"
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

FileUpdate update_file(const std::string& path, std::string_view contents) {
    if (file_holds(path, contents)) return FileUpdate::unchanged;
    if (!file_write(path, contents)) return FileUpdate::failed;
    // A dry run's diff has counted itself.
    if (!dry_run()) count_change();
    return FileUpdate::written;
}

std::vector<std::string> dconf_read_values(const std::vector<std::string>& keys,
                                           std::string_view payload) {
    std::vector<std::string> values;
    if (keys.empty()) return values;
    // One dump for the lot, logged as one line: a payload sets up to a few dozen keys, and a
    // process per key made the settings steps slow. A dump has a payload's own format.
    ExecOutput output;
    output.log_summary = [](const std::string& dump) {
        return "(" + std::to_string(dconf_payload_values(dump).size()) + " settings)";
    };
    log_debug("dconf read of " + std::to_string(keys.size()) + " settings of " +
              payload_first_path(payload));
    run_read("dconf dump /", RunMode::captured, &output);
    std::unordered_map<std::string, std::string> current;
    for (auto& [key, value] : dconf_payload_values(output.std_out.value_or(""))) {
        current[key] = std::move(value);
    }
    for (const auto& key : keys) {
        const auto found = current.find(key);
        values.push_back(found == current.end() ? "" : found->second);
    }
    return values;
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

void dconf_load(std::string_view txt) {
    // A load that would change nothing is left out: a repeated pass changes nothing.
    if (settings_in_place(txt)) return;
    if (dry_run()) {
        const auto lines = settings_change_lines(dconf_payload_values(txt),
                                                 dconf_read_values(dconf_payload_keys(txt), txt));
        for (const auto& line : lines) log_msg(line);
        if (!lines.empty()) count_change();
        return;
    }
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
