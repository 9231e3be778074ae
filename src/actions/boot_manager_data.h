// The boot manager's paths, commands and configuration edit (pure).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/dialogs_data.h"

inline constexpr std::string_view refind_ppa = "ppa:rodsmith/refind";
/// The source file that adding the PPA leaves behind, without its suffix (a shell pattern).
inline constexpr std::string_view refind_source_pattern = "rodsmith-*-refind-*";
/// The usual folder; the fallback is used when the configuration is not there.
inline constexpr std::string_view refind_dir_primary = "/boot/efi/EFI/refind";
inline constexpr std::string_view refind_dir_fallback = "/boot/efi/EFI/BOOT";

/// The theme menu items: light, dark and back.
std::vector<std::string> refind_theme_menu_items();
/// The theme menu with those items.
Dialog refind_theme_dialog();
/// True for the two themes the theme script knows.
bool refind_theme_is_known(std::string_view refind_theme);
/// "<dir>/refind.conf".
std::string refind_conf_path(std::string_view refind_dir);
/// Succeeds when the PPA's source file is there, as ".list" or ".sources".
std::string refind_source_test_command();
/// Makes the delivered theme script executable and runs it as root with the theme.
std::string refind_theme_command(std::string_view refind_theme);
/// Puts the boot-order tool's icon in place of the right-arrow icon's copy.
std::string refind_icon_command(std::string_view refind_dir);
std::string refind_grub_hold_command();
/// Copies the extra file-system drivers into "<dir>/drivers_x64/".
std::string refind_drivers_command(std::string_view refind_dir);
/// "sudo cp -f '<src>' '<dst>'" with both paths escaped.
std::string sudo_copy_command(std::string_view src, std::string_view dst);

/// One configuration line, trimmed; the boot-menu options use_nvram, also_scan_dirs and
/// showtools (active or commented out, followed by a blank) are replaced by our values.
std::string refind_config_line(std::string_view line);
/// Every line edited by refind_config_line. Line breaks are kept as they were, so a second
/// edit returns its input unchanged.
std::string refind_config_edit(std::string_view text);
