#include "actions/boot_manager_data.h"

#include "core/dialogs_data.h"
#include "core/packages_data.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

struct OptionEdit {
    std::string_view option;
    std::string_view replacement;
};

constexpr OptionEdit option_edits[] = {
    {"use_nvram", "use_nvram false"},
    {"also_scan_dirs", "also_scan_dirs boot,@/boot,ESP2:EFI/linux/kernels"},
    {"showtools",
     "showtools shutdown, reboot, firmware, hidden_tags, mok_tool, bootorder, shell, about"},
};

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The option name after any "#" marks and blanks, or "" when none of our options is there.
// Equal to matching "^\s*[#]*\s*<option> .*$": neither run of marks nor of blanks can give
// back a character that the next part of the pattern would accept.
std::string_view matched_option(std::string_view line) {
    size_t pos = 0;
    while (pos < line.size() && is_blank(line[pos])) ++pos;
    while (pos < line.size() && line[pos] == '#') ++pos;
    while (pos < line.size() && is_blank(line[pos])) ++pos;
    const std::string_view rest = line.substr(pos);
    for (const auto& edit : option_edits) {
        if (rest.size() > edit.option.size() && rest.substr(0, edit.option.size()) == edit.option &&
            rest[edit.option.size()] == ' ' &&
            rest.find('\n', edit.option.size()) == std::string_view::npos) {
            return edit.replacement;
        }
    }
    return {};
}

}  // namespace

std::vector<std::string> refind_theme_menu_items() {
    return {menu_item("light", "light       Install Refind - Light theme"),
            menu_item("dark", "dark        Install Refind - Dark theme"),
            menu_item("back", "back         -- Go back --")};
}

Dialog refind_theme_dialog() {
    return {"Refind Theme", "", menu_kind("Choose option:"), refind_theme_menu_items()};
}

bool refind_theme_is_known(std::string_view refind_theme) {
    return refind_theme == "light" || refind_theme == "dark";
}

std::string refind_conf_path(std::string_view refind_dir) {
    return std::string(refind_dir) + "/refind.conf";
}

std::string refind_source_test_command() {
    return source_added_test_command(refind_source_pattern);
}

std::string refind_theme_command(std::string_view refind_theme) {
    return "chmod a+x ./refind/install.sh ; sudo ./refind/install.sh " + std::string(refind_theme);
}

std::string refind_icon_command(std::string_view refind_dir) {
    const std::string icons =
        shell_quote(refind_dir) + "/themes/refind-theme-regular/icons/128-48/";
    return "sudo cp -f " + icons + "arrow_right.png " + icons + "func_bootorder.png";
}

std::string refind_grub_hold_command() {
    return "sudo apt-mark hold grub-efi-amd64 grub-efi-amd64-signed grub-common "
           "grub-efi-amd64-bin grub-common grub2-common";
}

std::string refind_drivers_command(std::string_view refind_dir) {
    return "sudo cp -f /usr/share/refind/refind/drivers_x64/* " + shell_quote(refind_dir) +
           "/drivers_x64/";
}

std::string sudo_copy_command(std::string_view src, std::string_view dst) {
    return "sudo cp -f " + shell_quote(src) + " " + shell_quote(dst);
}

std::string refind_config_line(std::string_view line) {
    const std::string trimmed = string_strip(line);
    const std::string_view replacement = matched_option(trimmed);
    return replacement.empty() ? trimmed : std::string(replacement);
}

std::string refind_config_edit(std::string_view text) {
    std::string edited;
    edited.reserve(text.size() + 256);
    size_t start = 0;
    while (true) {
        const size_t end = text.find('\n', start);
        edited += refind_config_line(text.substr(start, end - start));
        if (end == std::string_view::npos) break;
        edited += '\n';
        start = end + 1;
    }
    return edited;
}
