// Operations on the machine that are not package installs: files, settings, the boot mode.
#pragma once

#include <string_view>

struct AppConsole;

/// Copies `src` (a shell pattern) to `dst`, making the target folder first; the exit code.
int copy_file(std::string_view src, std::string_view dst, bool use_sudo);
/// Loads a settings payload with "dconf load"; a failure ends the run with status 1.
void dconf_load(std::string_view txt);
/// True when the machine booted through EFI (installs efibootmgr when missing).
bool boot_mode_is_efi(AppConsole& app);
