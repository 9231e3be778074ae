#include "wizard/shell_ssh.h"

#include "core/app_console.h"
#include "core/runner.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "wizard/shell_ssh_data.h"

using namespace Velkor;

namespace {

// A new file gets the text as it is; "Created" is only claimed once the text is on disk.
bool create_file(const std::string& path, std::string_view contents, std::string_view mode) {
    log_msg("File not found: " + path);
    if (!file_write(path, contents)) return false;
    log_msg("Created: " + path);
    chmod(path, mode);
    return true;
}

// A file that gets our block once: created when missing; left alone when it already holds
// `marker`, or when it cannot be read (rewriting it would replace the user's settings with the
// block alone; file_read has said why); otherwise rewritten by `edit` and, with an
// `update_mode`, given that mode.
void add_block_once(const std::string& path, std::string_view marker, std::string_view block,
                    std::string_view create_mode, std::string (*edit)(std::string_view),
                    std::string_view update_mode) {
    if (!file_exists(path)) {
        create_file(path, block, create_mode);
        return;
    }
    const auto text = file_read(path);
    if (!text) return;
    if (string_contains(*text, marker)) {
        log_msg("Already up-to-date");
        return;
    }
    if (!file_write(path, edit(*text))) return;
    if (!update_mode.empty()) chmod(path, update_mode);
    log_msg("Updated: " + path);
}

}  // namespace

void update_bash_prompt(const AppConsole& app) {
    log_header("Update bash prompt");
    add_block_once(app.user_home + "/.bashrc", "PROMPT_COMMAND", bash_prompt_block, "u+rwx,go-wx",
                   bashrc_with_prompt, "");
}

void update_fish_prompt(const AppConsole& app) {
    log_header("Update fish prompt");
    const std::string path = app.user_home + "/.config/fish/functions/fish_prompt.fish";
    if (auto dir = file_parent(path); dir && !path_exists(*dir)) dir_create(*dir);
    if (!file_exists(path)) {
        create_file(path, fish_prompt_block, "u+rwx,go-wx");
        return;
    }
    if (!file_write(path, fish_prompt_block)) return;
    log_msg("Updated: " + path);
}

void update_ssh_config(const AppConsole& app) {
    log_header("Update SSH configuration");
    const std::string ssh_dir = app.user_home + "/.ssh";
    const std::string control_dir = ssh_dir + "/controlmasters";
    const std::string path = ssh_dir + "/config";
    // The modes are set on every pass: ssh refuses keys in a folder others can read.
    for (const auto& dir : {ssh_dir, control_dir}) {
        if (!file_exists(dir)) dir_create(dir);
        chmod(dir, "700");
    }
    add_block_once(path, "Host *", ssh_config_block, "600", ssh_config_with_defaults, "600");
}
