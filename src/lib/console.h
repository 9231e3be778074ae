// Console lines and the framed message box.
#pragma once

#include <string>
#include <string_view>

namespace Velkor {

/// Process-wide debug switch; false at start and never set by the application.
extern bool log_debug_enabled;

/// Writes `message` and a line feed to standard output (and the run log), flushed at once.
void log_msg(std::string_view message);
/// Writes "E: " + `message` + line feed to standard error (and the run log), flushed at once.
void log_error(std::string_view message);
/// Writes "W: " + `message` + line feed to standard error (and the run log): a problem the run
/// goes on after; not counted as an error.
void log_warning(std::string_view message);
/// Writes "[HH:MM:SS] D: " + `message` to standard output, only while the switch is on.
void log_debug(std::string_view message);

/// Opens the run log at `path` (created with mode 0600, appended to; never through a link, as
/// one in a shared temporary folder could be): from now on every
/// console line, command and command output is also written there. False when it cannot be
/// opened; the run goes on without it.
bool log_file_open(std::string_view path);
/// Writes `text` to the run log only; nothing without a log, and a failing write turns the
/// log off.
void log_file_write(std::string_view text);
/// Closes the run log.
void log_file_close();

/// How many "E: " lines have been written so far.
int log_error_count();
/// Marks the present point: log_first_error_since_mark then tells the first "E: " line after it.
void log_error_mark();
/// The text (without "E: ") of the first "E: " line since the last mark; "" when none came.
const std::string& log_first_error_since_mark();

/// Current local time as `format` (strftime-like: "%Y-%m-%d %H:%M:%S"); by default "%H:%M:%S".
std::string timestamp(std::string_view format = "%H:%M:%S");
/// Current local time and the process id as "%Y-%m-%dT%H-%M-%S-<pid>", for file names that
/// sort by time.
std::string timestamp_file_name();
/// `ch` (one or more bytes) repeated `count` times; "" for a count of 0 or less.
std::string string_nfill(int count, std::string_view ch);
/// `txt` with copies of `ch` in front until it is `length` bytes long.
std::string pad_left(std::string_view txt, char ch, int length);
/// Frames `msg` with thin box-drawing characters; every line padded (in bytes) to at least
/// `width`; `sidechar` draws both vertical sides. The bottom border has no line break.
std::string draw_message_box_thin(std::string_view msg, int width, std::string_view sidechar);

}  // namespace Velkor
