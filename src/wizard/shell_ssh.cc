#include "wizard/shell_ssh.h"

#include <optional>

#include "core/app_console.h"
#include "core/runner.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "wizard/shell_ssh_data.h"

using namespace Velkor;

namespace {

// A dotfile is read and written by its owner and never executed: no execute bit for anyone,
// which also takes back the one that earlier versions set.
constexpr std::string_view dotfile_mode = "u+rw-x,go-wx";

// A new file gets the text as it is; "Created" is only claimed once the text is on disk.
bool create_file(const std::string& path, std::string_view contents, std::string_view mode) {
    log_msg("File not found: " + path);
    if (!file_write(path, contents)) return false;
    log_msg(std::string(done_or_would("Created: ", "Would create: ")) + path);
    return chmod(path, mode);
}

// Sets a mode that matters (ssh refuses keys others can read); false after an "E: " line.
bool set_mode(const std::string& path, std::string_view mode) {
    if (chmod(path, mode)) return true;
    log_error("Failed to set mode " + std::string(mode) + " on " + path);
    return false;
}

// A file that gets our block once: created when missing; left alone when it cannot be read
// (rewriting it would replace the user's settings with the block alone; file_read has said
// why); otherwise rewritten by `edit` unless it already holds `marker`. With a `mode`, the file
// must end with exactly that mode: "Already up-to-date" only when block and mode are right, so
// a pass after a failed chmod repairs it.
void add_block_once(const std::string& path, std::string_view marker, std::string_view block,
                    std::string_view create_mode, std::string (*edit)(std::string_view),
                    std::optional<unsigned> mode) {
    if (!file_exists(path)) {
        create_file(path, block, create_mode);
        return;
    }
    const auto text = file_read(path);
    if (!text) return;
    const bool has_block = string_contains(*text, marker);
    const bool mode_right = !mode || (file_stat(path) && file_stat(path)->mode == *mode);
    if (has_block && mode_right) {
        log_msg("Already up-to-date");
        return;
    }
    if (!has_block && !file_write(path, edit(*text))) return;
    if (mode && !set_mode(path, create_mode)) return;
    log_msg(std::string(done_or_would("Updated: ", "Would update: ")) + path);
}

}  // namespace

void update_bash_prompt(const AppConsole& app) {
    log_header("Update bash prompt");
    add_block_once(app.user_home + "/.bashrc", "PROMPT_COMMAND", bash_prompt_block, dotfile_mode,
                   bashrc_with_prompt, std::nullopt);
}

void update_fish_prompt(const AppConsole& app) {
    log_header("Update fish prompt");
    const std::string path = app.user_home + "/.config/fish/functions/fish_prompt.fish";
    if (auto dir = file_parent(path); dir && !path_exists(*dir)) dir_create(*dir);
    // Written and its mode set on every pass, so that a pass repairs a failed chmod.
    const bool existed = file_exists(path);
    if (!existed) log_msg("File not found: " + path);
    if (!file_write(path, fish_prompt_block) || !set_mode(path, dotfile_mode)) return;
    log_msg(std::string(existed ? done_or_would("Updated: ", "Would update: ")
                                : done_or_would("Created: ", "Would create: ")) +
            path);
}

void update_ssh_config(const AppConsole& app) {
    log_header("Update SSH configuration");
    const std::string ssh_dir = app.user_home + "/.ssh";
    const std::string control_dir = ssh_dir + "/controlmasters";
    const std::string path = ssh_dir + "/config";
    if (const auto found = file_stat(ssh_dir); found && !found->is_dir) {
        log_error(ssh_dir + " is not a folder; the SSH configuration is left alone");
        return;
    }
    // The modes are set on every pass: ssh refuses keys in a folder others can read.
    for (const auto& dir : {ssh_dir, control_dir}) {
        if (!file_exists(dir)) dir_create(dir);
        if (!set_mode(dir, "700")) return;
    }
    if (const auto control = file_stat(control_dir); control && !control->is_dir) {
        log_error(control_dir + " is not a folder; the SSH configuration is left alone");
        return;
    }
    add_block_once(path, "Host *", ssh_config_block, "600", ssh_config_with_defaults, 0600);
}
