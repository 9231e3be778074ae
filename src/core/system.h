// Operations on the machine that are not package installs: files and the boot mode.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct AppConsole;

/// Copies `src` (a shell pattern) to `dst`, making the target folder first; the exit code.
int copy_file(std::string_view src, std::string_view dst, bool use_sudo);
/// What update_file did.
enum class FileUpdate { unchanged, written, failed };
/// Writes `contents` to `path` unless the file holds exactly that already, so that a pass with
/// everything in place neither rewrites nor backs it up; a write counts as a change of the
/// run. `failed` after file_write's "E: " line.
FileUpdate update_file(const std::string& path, std::string_view contents);
/// Runs the commands that edit the file `path` in place (through sudo with `use_sudo`); a dry
/// run makes the same edits to a copy in the workspace and shows the difference. False when
/// a command failed (never in a dry run).
bool edit_file(std::string_view path, const std::vector<std::string>& cmds, bool use_sudo);
/// True when the machine booted through EFI (installs efibootmgr when missing).
bool boot_mode_is_efi(AppConsole& app);
