// The kernel chooser's menu, its CPU check and its package-source commands (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/dialogs_data.h"

inline constexpr std::string_view xanmod_source_list_path =
    "/etc/apt/sources.list.d/xanmod-kernel.list";
inline constexpr std::string_view xanmod_keyring_path = "/etc/apt/trusted.gpg.d/xanmod-kernel.gpg";
inline constexpr std::string_view xanmod_source_line = "deb http://deb.xanmod.org releases main";
inline constexpr std::string_view xanmod_key_url = "https://dl.xanmod.org/gpg.key";

/// The eight menu items (kernels for levels 1 to 3, realtime builds, LTS, back), each marked
/// " (supported)" when a CPU of `cpu_level` can run it.
std::vector<std::string> xanmod_menu_items(int cpu_level);
/// The kernel menu: those items, the dialog's own cancel button.
Dialog xanmod_menu_dialog(int cpu_level);
/// The message that refuses `kernel` on a CPU of `cpu_level` (two lines), or nullopt when the
/// CPU can run it. A level of 0 (unknown) refuses nothing.
std::optional<std::string> xanmod_refusal(std::string_view kernel, int cpu_level);
/// "test -f <source list>": succeeds once the package source has been added.
std::string xanmod_source_test_command();
/// Writes the one-line source list through "sudo tee".
std::string xanmod_source_command();
/// Downloads the signing key and adds it to its own keyring; the status is apt-key's.
std::string xanmod_key_command();
/// Removes the source list again, so that a failed key step is retried in full next time.
std::string xanmod_source_remove_command();
