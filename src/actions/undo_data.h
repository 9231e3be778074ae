// Undoing a run from its backup (pure): the command lines that put things back and the
// texts that describe a run.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/backup_data.h"
#include "core/dialogs_data.h"

/// What a file that changed again after the run is kept as: "<path>.kelvane-newer".
std::string newer_copy_path(std::string_view path);
/// The commands that put system file `file` back from `copy`: copy, then its mode and owner.
std::vector<std::string> system_restore_commands(std::string_view copy, const BackedUpFile& file);
/// "sudo rm -f '<path>'".
std::string system_remove_command(std::string_view path);
/// Removes what the run created at `path`: "rmdir '<path>'" for a folder (only an empty one
/// goes), "rm -f '<path>'" for a link.
std::string created_path_remove_command(std::string_view path, bool is_dir);
/// "dconf load -f '<dir>' < '<copy>'".
std::string dconf_tree_load_command(std::string_view copy, std::string_view dir);
/// "<verb> <folder>: <name>, <name>" for the settings `keys`, one line per folder, folders in
/// the order first seen ("Would reset /org/gnome/x/: a, b").
std::vector<std::string> grouped_settings_lines(std::string_view verb,
                                                const std::vector<std::string>& keys);
/// "sudo flatpak remote-delete --force '<name>'".
std::string flatpak_remote_remove_command(std::string_view name);
/// The commands that reverse the run's package changes: the removed packages installed again
/// ("sudo apt install -y …"), the installed ones purged ("sudo apt autoremove --purge -y …")
/// and the Firefox snap installed again; none for an empty list.
std::vector<std::string> reverse_package_commands(const Manifest& manifest);
/// A run's start time from its folder name ("2024-05-01T09-30-00-123" gives
/// "2024-05-01 09:30:00"); the name itself when it has another shape.
std::string run_date(std::string_view run_name);
/// What the package commands reverse, then the commands: the text logged before they run.
std::string package_changes_text(const Manifest& manifest,
                                 const std::vector<std::string>& commands);
/// The question before the package `commands` run, made to fit a tall yes/no box so that Enter
/// answers at once: the question, then each command in lines of at most `width` columns, a
/// long one cut after the names that fit and ended with "… and N more", then where the whole
/// commands stay. At most `lines` lines in all.
std::string package_question_text(const std::vector<std::string>& commands, size_t width = 70,
                                  size_t lines = 16);
/// The menu of runs to undo: one item per (run name, its list line), then 'back'.
Dialog undo_run_dialog(const std::vector<std::pair<std::string, std::string>>& runs);
inline constexpr std::string_view undo_dialog_title = "Undo a Previous Run";
inline constexpr std::string_view no_run_text = "There is no run to undo.";
inline constexpr std::string_view package_question_title = "Undo package changes";
/// One line of the run list: name, date, choices and the number of changes, or why the run
/// cannot be undone.
std::string run_list_line(std::string_view run_name, const Manifest* manifest, bool undone);
