// The shell prompts and SSH defaults the wizard writes, and the edits that merge them into
// files the user already has (pure).
#pragma once

#include <string>
#include <string_view>

/// A file holding this holds the block below it.
inline constexpr std::string_view bash_prompt_marker = "PROMPT_COMMAND";
/// The prompt, aliases and history settings for bash; begins with an empty line.
extern const std::string bash_prompt_block;
/// The fish prompt function and the same aliases; begins and ends with an empty line.
extern const std::string fish_prompt_block;
inline constexpr std::string_view ssh_config_marker = "Host *";
/// "Host *" defaults with connection sharing; begins with an empty line.
extern const std::string_view ssh_config_block;

/// `bashrc` with the prompt block appended, without line breaks at the very start or end.
std::string bashrc_with_prompt(std::string_view bashrc);
/// The SSH block in front of `config`, without line breaks at the very start or end; the old
/// text follows unchanged on the line after the block.
std::string ssh_config_with_defaults(std::string_view config);
