// Texts the wizard shows or writes into the user's home, and the edits that merge them into
// files the user already has. Pure: nothing here touches the disk.
#pragma once

#include <string>
#include <string_view>

/// "Kelvane ~ " and the project's web site name.
std::string welcome_title();
/// The welcome box; it announces the reboot even when the run will not reboot.
extern const std::string_view welcome_text;
inline constexpr std::string_view chrome_eula_title = "Google Chrome EULA";
extern const std::string_view chrome_eula_text;

/// The prompt, aliases and history settings for bash; begins with an empty line.
extern const std::string bash_prompt_block;
/// The fish prompt function and the same aliases; begins and ends with an empty line.
extern const std::string fish_prompt_block;
/// "Host *" defaults with connection sharing; begins with an empty line.
extern const std::string_view ssh_config_block;
/// The autostart entry of the drop-down terminal; begins with an empty line.
extern const std::string_view guake_autostart_entry;
/// Settings of the AppImage integration tool; begins with an empty line.
extern const std::string_view appimagelauncher_config;

/// `bashrc` with the prompt block appended, without line breaks at the very start or end.
std::string bashrc_with_prompt(std::string_view bashrc);
/// The SSH block in front of `config`, without line breaks at the very start or end; the old
/// text follows unchanged on the line after the block.
std::string ssh_config_with_defaults(std::string_view config);
