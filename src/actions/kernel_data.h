// The kernel chooser's table, its release and CPU checks and its package source (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/addresses_data.h"
#include "core/dialogs_data.h"
#include "core/packages_data.h"

struct ReleaseProfile;

inline constexpr std::string_view xanmod_keyring_path =
    "/etc/apt/keyrings/xanmod-archive-keyring.gpg";
inline constexpr std::string_view xanmod_source_path =
    "/etc/apt/sources.list.d/xanmod-kernel.sources";
/// What earlier versions added: the retired "releases" suite, its key in the shared store.
inline constexpr std::string_view xanmod_retired_source_path =
    "/etc/apt/sources.list.d/xanmod-kernel.list";
inline constexpr std::string_view xanmod_retired_keyring_path =
    "/etc/apt/trusted.gpg.d/xanmod-kernel.gpg";

/// The menu items of the kernels a CPU of `cpu_level` runs (every kernel at level 0,
/// unknown), then back.
std::vector<std::string> xanmod_menu_items(int cpu_level);
/// The kernel menu: those items, the dialog's own cancel button.
Dialog xanmod_menu_dialog(int cpu_level);
/// The message that refuses package `kernel` on a CPU of `cpu_level` (two lines), or nullopt
/// when the CPU can run it. A level of 0 (unknown) refuses nothing.
std::optional<std::string> xanmod_refusal(std::string_view kernel, int cpu_level);
/// The one line that says why no kernel is offered at all (the release has none published, or
/// the CPU runs none of them); nullopt when there are kernels to offer.
std::optional<std::string> xanmod_unavailable(const ReleaseProfile& release, int cpu_level);
/// The kernel names the command line takes, in menu order.
std::vector<std::string> xanmod_kernel_names();
/// The package of command-line kernel name `name`; nullopt for an unknown name.
std::optional<std::string> xanmod_package(std::string_view name);

/// The XanMod repository with the release's codename as suite.
SignedSource xanmod_source(const ReleaseProfile& release);
/// Succeeds when a XanMod source (ours or one the user added, either form) is there.
std::string xanmod_source_test_command();
/// Removes the source and the keyring this action adds.
std::string xanmod_source_remove_command();
/// Removes the retired source list and its key.
std::string xanmod_retired_source_remove_command();
