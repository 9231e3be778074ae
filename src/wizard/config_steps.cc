// Wizard steps that configure the user's shells, terminal, applications and SSH client.
#include "app/app_console.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "wizard/wizard_commands.h"
#include "wizard/wizard_payloads.h"
#include "wizard/wizard_texts.h"

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
// `update_mode`, given that mode. True when an existing file was rewritten.
bool add_block_once(const std::string& path, std::string_view marker, std::string_view block,
                    std::string_view create_mode, std::string (*edit)(std::string_view),
                    std::string_view update_mode) {
    if (!file_exists(path)) {
        create_file(path, block, create_mode);
        return false;
    }
    const auto text = file_read(path);
    if (!text) return false;
    if (string_contains(*text, marker)) {
        log_msg("Already up-to-date");
        return false;
    }
    if (!file_write(path, edit(*text))) return false;
    if (!update_mode.empty()) chmod(path, update_mode);
    log_msg("Updated: " + path);
    return true;
}

}  // namespace

void AppConsole::update_bash_prompt() {
    log_debug("update_bash_prompt()");
    log_header("Update bash prompt");
    if (add_block_once(user_home + "/.bashrc", "PROMPT_COMMAND", bash_prompt_block, "u+rwx,go-wx",
                       bashrc_with_prompt, "")) {
        log_debug("update_bash_prompt(): exit");
    }
}

void AppConsole::update_fish_prompt() {
    log_debug("update_fish_prompt()");
    log_header("Update fish prompt");
    const std::string path = user_home + "/.config/fish/functions/fish_prompt.fish";
    if (auto dir = file_parent(path); dir && !path_exists(*dir)) dir_create(*dir);
    if (!file_exists(path)) {
        create_file(path, fish_prompt_block, "u+rwx,go-wx");
        return;
    }
    if (!file_write(path, fish_prompt_block)) return;
    log_msg("Updated: " + path);
    log_debug("update_fish_prompt(): exit");
}

void AppConsole::update_config_gnome_terminal_pre() {
    log_debug("update_config_gnome_terminal_pre()");
    dconf_load(terminal_colors_payload);
}

void AppConsole::update_config_gnome_terminal_post() {
    log_debug("update_config_gnome_terminal_post()");
    dconf_load(terminal_font_payload);
}

void AppConsole::update_app_configs() {
    log_debug("update_app_configs()");
    update_config_nautilus();
    update_config_gedit();
    update_config_gnome_extensions(true);
    update_config_desktop();
    update_config_guake();
}

void AppConsole::update_config_nautilus() {
    log_debug("update_config_nautilus()");
    dconf_load(nautilus_payload);
}

void AppConsole::update_config_gedit() {
    log_debug("update_config_gedit()");
    dconf_load(gedit_payload);
}

void AppConsole::update_config_desktop() {
    log_debug("update_config_desktop()");
    dconf_load(desktop_payload);
}

void AppConsole::update_config_guake() {
    log_debug("update_config_guake()");
    dconf_load(guake_payload);
}

void AppConsole::update_ssh_config() {
    log_debug("update_ssh_config()");
    log_header("Update SSH configuration");
    const std::string ssh_dir = user_home + "/.ssh";
    const std::string control_dir = ssh_dir + "/controlmasters";
    const std::string path = ssh_dir + "/config";
    // The modes are set on every pass: ssh refuses keys in a folder others can read.
    for (const auto& dir : {ssh_dir, control_dir}) {
        if (!file_exists(dir)) dir_create(dir);
        chmod(dir, "700");
    }
    if (add_block_once(path, "Host *", ssh_config_block, "600", ssh_config_with_defaults, "600")) {
        log_debug("update_ssh_config(): exit");
    }
}

void AppConsole::update_mimeapps() {
    for (const auto& cmd : mimeapps_commands(user_home + "/.config/mimeapps.list")) {
        exec_logged(cmd);
    }
}
