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

bool mode_is(const std::string& path, std::optional<unsigned> mode) {
    const auto found = file_stat(path);
    return !mode || (found && found->mode == *mode);
}

// The file holds our block (its `marker`) and, with a `mode`, has exactly that mode.
bool block_in_place(const std::string& path, std::string_view marker,
                    std::optional<unsigned> mode) {
    if (!file_exists(path)) return false;
    const auto text = file_read(path);
    return text && string_contains(*text, marker) && mode_is(path, mode);
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
    if (block_in_place(path, marker, mode)) {
        log_msg("Already up-to-date");
        return;
    }
    const auto text = file_read(path);
    if (!text) return;
    const bool has_block = string_contains(*text, marker);
    if (!has_block && !file_write(path, edit(*text))) return;
    if (mode && !set_mode(path, create_mode)) return;
    log_msg(std::string(done_or_would("Updated: ", "Would update: ")) + path);
}

std::string bashrc_path(const AppConsole& app) { return app.user_home + "/.bashrc"; }

std::string fish_prompt_path(const AppConsole& app) {
    return app.user_home + "/.config/fish/functions/fish_prompt.fish";
}

constexpr unsigned private_dir_mode = 0700;
constexpr unsigned ssh_config_mode = 0600;

std::string ssh_dir(const AppConsole& app) { return app.user_home + "/.ssh"; }

}  // namespace

bool bash_prompt_in_place(const AppConsole& app) {
    return block_in_place(bashrc_path(app), bash_prompt_marker, std::nullopt);
}

bool fish_prompt_in_place(const AppConsole& app) {
    const std::string path = fish_prompt_path(app);
    const auto found = file_stat(path);
    // The mode as dotfile_mode leaves it: read and write for the owner, no execute bit.
    return found && (found->mode & 0733) == 0600 && file_holds(path, fish_prompt_block);
}

bool ssh_config_in_place(const AppConsole& app) {
    const std::string dir = ssh_dir(app);
    return mode_is(dir, private_dir_mode) && mode_is(dir + "/controlmasters", private_dir_mode) &&
           block_in_place(dir + "/config", ssh_config_marker, ssh_config_mode);
}

void update_bash_prompt(const AppConsole& app) {
    log_header("Update bash prompt");
    add_block_once(bashrc_path(app), bash_prompt_marker, bash_prompt_block, dotfile_mode,
                   bashrc_with_prompt, std::nullopt);
}

void update_fish_prompt(const AppConsole& app) {
    log_header("Update fish prompt");
    if (fish_prompt_in_place(app)) {
        log_msg("Already up-to-date");
        return;
    }
    const std::string path = fish_prompt_path(app);
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
    const std::string dot_ssh = ssh_dir(app);
    const std::string control_dir = dot_ssh + "/controlmasters";
    const std::string path = dot_ssh + "/config";
    if (const auto found = file_stat(dot_ssh); found && !found->is_dir) {
        log_error(dot_ssh + " is not a folder; the SSH configuration is left alone");
        return;
    }
    // The modes are checked on every pass: ssh refuses keys in a folder others can read.
    for (const auto& dir : {dot_ssh, control_dir}) {
        if (!file_exists(dir)) dir_create(dir);
        if (!mode_is(dir, private_dir_mode) && !set_mode(dir, "700")) return;
    }
    if (const auto control = file_stat(control_dir); control && !control->is_dir) {
        log_error(control_dir + " is not a folder; the SSH configuration is left alone");
        return;
    }
    add_block_once(path, ssh_config_marker, ssh_config_block, "600", ssh_config_with_defaults,
                   ssh_config_mode);
}
