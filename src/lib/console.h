// Console lines and the framed message box.
#pragma once

#include <string>
#include <string_view>

namespace Velkor {

/// Process-wide debug switch; false at start and never set by the application.
extern bool log_debug_enabled;

/// Writes `message` and a line feed to standard output, flushed at once.
void log_msg(std::string_view message);
/// Writes "E: " + `message` + line feed to standard error, flushed at once.
void log_error(std::string_view message);
/// Writes "[HH:MM:SS] D: " + `message` to standard output, only while the switch is on.
void log_debug(std::string_view message);

/// Current local time as "%H:%M:%S".
std::string timestamp();
/// `ch` (one or more bytes) repeated `count` times; "" for a count of 0 or less.
std::string string_nfill(int count, std::string_view ch);
/// `txt` with copies of `ch` in front until it is `length` bytes long.
std::string pad_left(std::string_view txt, char ch, int length);
/// Frames `msg` with thin box-drawing characters; every line padded (in bytes) to at least
/// `width`; `sidechar` draws both vertical sides. The bottom border has no line break.
std::string draw_message_box_thin(std::string_view msg, int width, std::string_view sidechar);

}  // namespace Velkor
