// The extra-software checklist and the install lists built from its answer (pure).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/dialogs_data.h"

/// What one selection installs. Each list is blank-separated with a leading blank, in the
/// order of the selection; "" when nothing goes there.
struct ExtraAppsLists {
    std::string apt_packages;
    std::string deb_get_packages;
    /// Shell commands that add `user_name` to the groups the virtualisation tools need.
    std::string group_commands;
};

inline constexpr std::string_view foreign_architectures_command =
    "dpkg --print-foreign-architectures";
inline constexpr std::string_view add_i386_architecture_command =
    "sudo dpkg --add-architecture i386";

/// The twelve checklist items, all unticked.
std::vector<std::string> extra_apps_checklist_items();
/// The checklist with those items and the 'Exit' label.
Dialog extra_apps_dialog();
/// The checklist answer without its double quotes: the ticked tags separated by blanks.
std::string clean_checklist_answer(std::string_view answer);
/// The lists for `selected_install` (tags separated by blanks); unknown tags add nothing.
ExtraAppsLists extra_apps_lists(std::string_view selected_install, std::string_view user_name);
/// `word` as it may stand in a command line: unchanged when it holds only letters, digits,
/// ".", "_" and "-", else single-quoted and escaped.
std::string shell_word(std::string_view word);
/// True when `apt_packages` holds steam-installer, whose libraries are i386 packages, and
/// `foreign_architectures` (dpkg's list, one per line) lacks i386.
bool i386_architecture_needed(std::string_view apt_packages,
                              std::string_view foreign_architectures);
