#include "actions/undo_data.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

#include "lib/files.h"

using namespace Velkor;

namespace {

std::string quoted_list(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += " " + shell_quote(name);
    return text;
}

// `words` in lines of at most `width` columns, at most `max_lines` of them; when they do not
// all fit, the last line ends with "… and N more" instead of the rest.
std::vector<std::string> wrap_words(const std::vector<std::string>& words, size_t width,
                                    size_t max_lines) {
    std::vector<std::string> lines;
    size_t used = 0;
    for (; used < words.size(); ++used) {
        const std::string& word = words[used];
        if (!lines.empty() && lines.back().size() + 1 + word.size() <= width) {
            lines.back() += " " + word;
        } else if (lines.size() < max_lines) {
            lines.push_back(word);
        } else {
            break;
        }
    }
    if (used == words.size() || lines.empty()) return lines;
    // "…" is three bytes and one column.
    auto suffix = [&] { return " … and " + std::to_string(words.size() - used) + " more"; };
    while (lines.back().size() + suffix().size() - 2 > width) {
        const size_t blank = lines.back().rfind(' ');
        if (blank == std::string::npos) break;  // one long word stays whole
        lines.back().erase(blank);
        --used;
    }
    lines.back() += suffix();
    return lines;
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
    for (const auto& name : manifest.snaps_removed)
        commands.push_back("sudo snap install " + shell_quote(name));
    return commands;
}

std::string package_changes_text(const Manifest& manifest,
                                 const std::vector<std::string>& commands) {
    return "Packages the run installed: " +
           (manifest.installed.empty() ? "none" : string_join(manifest.installed, " ")) +
           "\nPackages the run removed: " +
           (manifest.removed.empty() ? "none" : string_join(manifest.removed, " ")) +
           (manifest.snaps_removed.empty()
                ? ""
                : " (and the snaps " + string_join(manifest.snaps_removed, " ") + ")") +
           "\n\nCommands that reverse them:\n" + string_join(commands, "\n");
}

std::string package_question_text(const std::vector<std::string>& commands, size_t width,
                                  size_t lines) {
    // The head and the foot take two lines each. What the commands need beyond the rest is
    // taken from the longest, one line at a time.
    const size_t budget = lines > 4 ? lines - 4 : 0;
    std::vector<std::vector<std::string>> words;
    std::vector<size_t> shares;
    for (const auto& cmd : commands) {
        words.push_back(string_split(cmd, " "));
        shares.push_back(wrap_words(words.back(), width, SIZE_MAX).size());
    }
    for (size_t total = std::accumulate(shares.begin(), shares.end(), size_t{0}); total > budget;
         --total) {
        auto longest = std::max_element(shares.begin(), shares.end());
        if (*longest <= 1) break;
        --*longest;
    }
    std::string text = "Run these commands now to reverse the package changes?\n\n";
    for (size_t i = 0; i < commands.size(); ++i) {
        for (const auto& line : wrap_words(words[i], width, shares[i])) text += line + "\n";
    }
    return text + "\nNo keeps them; the commands then stay on screen and in the log.\n";
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
