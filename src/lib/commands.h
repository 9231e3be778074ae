// Running commands and scripts, and the per-run temporary workspace.
//
// Exit codes: a normal exit gives the program's code (0-255), a signal gives the raw wait
// status (the signal number), and -1 means the child could not be started.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Velkor {

/// Captured output of a child; a member stays nullopt when it was not captured.
struct ExecOutput {
    std::optional<std::string> std_out;
    std::optional<std::string> std_err;
    /// When set before a captured run, the run log gets the line it makes of the output
    /// instead of the output itself (a long listing as its count).
    std::string (*log_summary)(const std::string& std_out) = nullptr;
};

// ---- workspace and names ----------------------------------------------------------------

/// Absolute path of the workspace; empty until init_tmp has run.
const std::string& temp_dir();
/// Creates the workspace "$TMPDIR/<subdir_name>_XXXXXXXX" (mode 0700, never reusing an
/// existing name) and probes that a script in it can run; when the folder cannot be made
/// or a script cannot run there, falls back to "$HOME/.temp/<subdir_name>_XXXXXXXX".
void init_tmp(std::string_view subdir_name);
/// `length` characters drawn uniformly from `charset`; "" for a length of 0 or less.
std::string random_string(int length, std::string_view charset);
/// Seconds since the epoch, decimal.
std::string timestamp_numeric();
/// A fresh name below the workspace; with `with_subdir` the name lies in a new folder of its
/// own (created), and the returned file itself is not created. Before init_tmp a private
/// workspace is made in the temporary folder.
std::string get_temp_file_path(bool with_subdir);
/// Deletes the workspace with everything in it.
void remove_workspace();
/// A fresh folder below the workspace, created.
std::string create_temp_subdir();

// ---- running commands -------------------------------------------------------------------

/// Converts a waitpid-style status: exit code after a normal exit, else the raw status.
int exit_code_from_wait_status(int status);

/// How run_command starts a command.
enum class RunMode {
    /// Through "sh -c" with the program's own terminal as input; the output shows as it comes
    /// (through a pseudo-terminal when ours is one, which merges both streams into std_out) and
    /// is copied into the run log, and into the ExecOutput when one is given.
    terminal,
    /// Like terminal, but the output is not copied: full-screen dialogs.
    interactive,
    /// Without a shell (shell-style word splitting, no expansion), stdin from /dev/null,
    /// output captured into the ExecOutput when one is given.
    captured,
};

/// What a command does to the system, for the dry run and the run's summary.
enum class Effect {
    changes,
    /// Only looks: runs even in a dry run.
    reads,
    /// Only renews what the system rebuilds at will (the package lists, a flush to disk): shown
    /// instead of run in a dry run like a change, but not counted as one.
    refreshes,
};

/// Turns the dry run on: from then on a command that changes the system is shown as
/// "Would run: <cmd>" instead of running, and counts as a success.
void set_dry_run(bool on);
bool dry_run();
/// How many commands that change the system have run (or would have, in a dry run).
int changing_commands_count();
/// Counts a change made (or, in a dry run, shown) without a command: a file written, a
/// setting that differs.
void count_change();
/// `done` in a real run, `would` in a dry run: a step's report of what it did.
std::string_view done_or_would(std::string_view done, std::string_view would);

/// Catches SIGINT, SIGTERM and SIGHUP from here on: the signal is forwarded to a running
/// command, and `on_interrupt` is called with it at the next check_interrupt (run_command
/// checks before and after every command). A command that died of SIGINT or SIGQUIT counts as
/// the same signal delivered to the program. `on_interrupt` is expected not to return.
void signals_install(void (*on_interrupt)(int signal_number));
/// Calls the interrupt handler when a signal is pending.
void check_interrupt();
/// Waits `seconds` unless a caught signal comes first (or is pending already): true when the
/// time ran out, false when a signal cut it short. The signal is then taken, not handled.
bool wait_unless_interrupted(int seconds);
/// The one way the program runs a command: writes it as a debug line, runs it and returns
/// its exit code (see above); -1 (and an "E: " line in captured mode) when it cannot start.
/// The run log gets the command, its output and its exit code.
int run_command(std::string_view cmd, RunMode mode = RunMode::terminal,
                ExecOutput* output = nullptr, Effect effect = Effect::changes);
/// run_command for a command that only looks (a test, a query): Effect::reads.
int run_read(std::string_view cmd, RunMode mode = RunMode::terminal, ExecOutput* output = nullptr);
/// Stops the background refresh of sudo's credentials that run_command starts after the first
/// command through sudo that succeeded (so a long step never waits for a password again).
void sudo_keepalive_stop();

/// Path of a command on the search path ("which"); "" when not found.
std::string get_cmd_path(std::string_view cmd_tool);
bool cmd_exists(std::string_view cmd_tool);
/// Runs "chmod <perms> '<path>'"; true when it succeeded.
bool chmod(std::string_view file_path, std::string_view perms);
/// "sudo test -f '<path>'" succeeds.
bool file_exists_sudo(std::string_view item_path);
/// "sudo test -d '<path>'" succeeds.
bool dir_exists_sudo(std::string_view item_path);
/// Output of "sudo cat '<path>'", or "" on any failure.
std::string file_read_sudo(std::string_view file_path);

// ---- scripts ----------------------------------------------------------------------------

/// The text of a generated bash script running `commands` (pure).
std::string bash_script_text(std::string_view commands, bool force_locale);
/// The text of the privileged wrapper that runs `script_path` through pkexec (pure).
std::string admin_wrapper_text(std::string_view script_path);
/// Writes the script (and with `admin_mode` its pkexec wrapper "script-admin.sh" beside
/// it), makes it executable and returns the path to run. An empty `script_path` means a
/// fresh path in the workspace with ".sh" appended.
std::string save_bash_script_temp(std::string_view commands, std::string_view script_path,
                                  bool force_locale, bool admin_mode);
/// Writes and runs a script to its end in its own folder. A file named "status" in that
/// folder overrides the exit code. With `show_output` nothing is captured.
int exec_script_sync(std::string_view script, ExecOutput* output, bool suppress_errors,
                     bool admin_mode, bool cleanup, bool show_output);
/// Writes and starts a script without waiting; its process id, or -1.
int exec_script_async(std::string_view script, bool admin_mode);
/// The command line that opens `file` with the desktop opener (pure); `user` may be "".
std::string xdg_open_command(std::string_view opener, std::string_view file, std::string_view user);
/// Opens `file` with the desktop's handler in the background; does nothing without
/// xdg-open.
void xdg_open(std::string_view file, std::string_view user);

}  // namespace Velkor
