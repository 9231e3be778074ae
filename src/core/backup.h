// The backup of a run: before the run changes a file, a setting or the package sources, the
// state before is kept in "<runs folder>/<start time>/" with a manifest, so that the run can
// be undone. Nothing is recorded in a dry run. A failing backup writes a "W: " line and the
// run goes on.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

struct AppConsole;
struct SettingsPayload;

/// Starts recording this run into "<runs_dir>/<start_time>/" (made when the first change is
/// recorded, never over another run's folder): notes the installed packages, the package
/// source listings, the Flatpak remotes and the home's extensions, and
/// backs up every file that file_write replaces from now on. Nothing in a dry run.
void backup_begin(AppConsole& app, std::string_view runs_dir, std::string_view start_time);
/// What the run was started for, shown by "undo --list".
void backup_set_choices(std::string_view choices);
/// Keeps a copy of the user's file `path` before it is changed; once a run (file_write calls
/// this itself).
void backup_user_file(const std::string& path);
/// Keeps a copy (with sudo) of system file `path` before a command changes it; once a run.
void backup_system_file(std::string_view path);
/// Notes that the run is about to create folder or link `path`, unless something is there
/// already; undo removes it again (a folder once it is empty). dir_create calls this itself.
void backup_created_path(const std::string& path);
/// Notes that the run took out again the files of a source it had added (apt could not fetch
/// it): nothing of them is left to undo.
void backup_sources_taken_out(const std::vector<std::string>& paths);
/// Moves the user's folder `path` into the run's backup, where undo finds it to put it back;
/// true when it was moved. A dry run shows the move; without a backup the folder stays.
bool backup_move_aside(const std::string& path);
/// Notes that the run removed snap `snap_name`; undo offers to install it again.
void backup_snap_removed(std::string_view snap_name);
/// Keeps the values `current` (read just before; a key absent from it is not set) of the keys
/// that `payload` sets and the run has not saved yet; keys without a value are noted to be reset.
void backup_dconf_keys(const SettingsPayload& payload,
                       const std::map<std::string, std::string>& current);
/// Keeps the whole settings tree below `dir` ("/org/gnome/") before it is reset.
void backup_dconf_tree(std::string_view dir);
/// Ends recording: the packages installed and removed, the sources, remotes and extensions
/// added, and the state each backed-up file was left in. Later calls do nothing.
void backup_end(AppConsole& app);
/// backup_end for a run that a failed command stops.
void backup_end_of_stopped_run();
/// Ends recording without keeping anything more (the undo action changes nothing of its own).
void backup_stop();
