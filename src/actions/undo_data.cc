#include "actions/undo_data.h"

#include <algorithm>

#include "lib/files.h"

using namespace Velkor;

namespace {

std::string quoted_list(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += " " + shell_quote(name);
    return text;
}

}  // namespace

std::string newer_copy_path(std::string_view path) { return std::string(path) + ".kelvane-newer"; }

std::vector<std::string> system_restore_commands(std::string_view copy, const BackedUpFile& file) {
    char mode[8];
    snprintf(mode, sizeof mode, "%o", file.mode);
    const std::string target = shell_quote(file.path);
    return {"sudo cp " + shell_quote(copy) + " " + target,
            "sudo chmod " + std::string(mode) + " " + target,
            "sudo chown " + std::to_string(file.owner_uid) + " " + target};
}

std::string system_remove_command(std::string_view path) {
    return "sudo rm -f " + shell_quote(path);
}

std::string created_path_remove_command(std::string_view path, bool is_dir) {
    return (is_dir ? "rmdir " : "rm -f ") + shell_quote(path);
}

std::string dconf_tree_load_command(std::string_view copy, std::string_view dir) {
    return "dconf load -f " + shell_quote(dir) + " < " + shell_quote(copy);
}

std::string flatpak_remote_remove_command(std::string_view name) {
    return "sudo flatpak remote-delete --force " + shell_quote(name);
}

std::vector<std::string> reverse_package_commands(const Manifest& manifest) {
    std::vector<std::string> commands;
    if (!manifest.removed.empty()) {
        commands.push_back("sudo apt install -y" + quoted_list(manifest.removed));
    }
    if (!manifest.installed.empty()) {
        commands.push_back("sudo apt autoremove --purge -y" + quoted_list(manifest.installed));
    }
    if (manifest.firefox_snap_removed) commands.emplace_back("sudo snap install firefox");
    return commands;
}

std::string package_changes_text(const Manifest& manifest,
                                 const std::vector<std::string>& commands) {
    return "Packages the run installed: " +
           (manifest.installed.empty() ? "none" : string_join(manifest.installed, " ")) +
           "\nPackages the run removed: " +
           (manifest.removed.empty() ? "none" : string_join(manifest.removed, " ")) +
           (manifest.firefox_snap_removed ? " (and the Firefox snap)" : "") +
           "\n\nCommands that reverse them:\n" + string_join(commands, "\n");
}

std::string package_question_text(std::string_view changes_text) {
    // The question stands first: a long package list scrolls below it.
    return "Run the commands below now to reverse the package changes?\n\n" +
           std::string(changes_text);
}

Dialog undo_run_dialog(const std::vector<std::pair<std::string, std::string>>& runs) {
    Dialog menu{std::string(undo_dialog_title), "", menu_kind("Choose the run to undo:"), {}};
    for (const auto& [name, line] : runs) menu.items.push_back(menu_item(name, line));
    menu.items.push_back(menu_item("back", "-- Go back --"));
    return menu;
}

std::string run_date(std::string_view run_name) {
    // YYYY-MM-DDTHH-MM-SS: the time's dashes are at 13 and 16.
    if (run_name.size() < 19 || run_name[10] != 'T') return std::string(run_name);
    std::string date(run_name.substr(0, 19));
    date[10] = ' ';
    date[13] = date[16] = ':';
    return date;
}

std::string run_list_line(std::string_view run_name, const Manifest* manifest, bool undone) {
    std::string line = std::string(run_name) + "  " + run_date(run_name) + "  ";
    if (!manifest) return line + "(cannot be undone: no readable manifest)";
    const size_t count = manifest_change_count(*manifest);
    line += (manifest->choices.empty() ? std::string("(no choices)") : manifest->choices) + ", " +
            std::to_string(count) + (count == 1 ? " change" : " changes");
    if (!manifest->finished) line += ", stopped early";
    if (undone) line += ", undone";
    return line;
}

std::vector<std::string> grouped_settings_lines(std::string_view verb,
                                                const std::vector<std::string>& keys) {
    // Folders in the order first seen, each with the names of its keys.
    std::vector<std::pair<std::string, std::vector<std::string>>> folders;
    for (const auto& key : keys) {
        const size_t slash = key.rfind('/');
        const std::string folder = key.substr(0, slash + 1);
        auto found = std::find_if(folders.begin(), folders.end(),
                                  [&](const auto& entry) { return entry.first == folder; });
        if (found == folders.end()) found = folders.insert(folders.end(), {folder, {}});
        found->second.push_back(key.substr(slash + 1));
    }
    std::vector<std::string> lines;
    for (const auto& [folder, names] : folders) {
        lines.push_back(std::string(verb) + " " + folder + ": " + string_join(names, ", "));
    }
    return lines;
}
