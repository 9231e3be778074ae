#include "lib/console.h"

#include <fcntl.h>
#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "lib/glib_ptr.h"

namespace Velkor {

bool log_debug_enabled = false;

namespace {

int log_fd = -1;
int error_lines = 0;
// The "E: " lines counted when log_error_mark was called, and the first one after them.
int first_error_after = 0;
std::string first_error_text;

// One write and one flush per line, so lines never interleave with child output.
void write_line(FILE* stream, const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fflush(stream);
}

// `prefix` + `message` as a line on `stream` and in the run log.
void show_and_log(FILE* stream, std::string_view prefix, std::string_view message) {
    const std::string line = std::string(prefix) + std::string(message) + "\n";
    write_line(stream, line);
    log_file_write(line);
}

}  // namespace

void log_msg(std::string_view message) { show_and_log(stdout, "", message); }

void log_error(std::string_view message) {
    ++error_lines;
    // Only the first line after a mark is asked for: the ones before that are not kept.
    if (error_lines == first_error_after + 1) first_error_text = message;
    show_and_log(stderr, "E: ", message);
}

void log_warning(std::string_view message) { show_and_log(stderr, "W: ", message); }

int log_error_count() { return error_lines; }

void log_error_mark() {
    first_error_after = error_lines;
    first_error_text.clear();
}

const std::string& log_first_error_since_mark() { return first_error_text; }

bool log_file_open(std::string_view path) {
    log_file_close();
    log_fd = open(std::string(path).c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_APPEND | O_CLOEXEC,
                  0600);
    return log_fd >= 0;
}

void log_file_write(std::string_view text) {
    while (log_fd >= 0 && !text.empty()) {
        const ssize_t written = write(log_fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            log_file_close();  // a full disk must not stop the run
            return;
        }
        text.remove_prefix(static_cast<size_t>(written));
    }
}

void log_file_close() {
    if (log_fd >= 0) close(log_fd);
    log_fd = -1;
}

void log_debug(std::string_view message) {
    if (!log_debug_enabled) return;
    write_line(stdout, "[" + timestamp() + "] D: " + std::string(message) + "\n");
}

std::string timestamp(std::string_view format) {
    GDateTimePtr now{g_date_time_new_now_local()};
    GCharPtr text{g_date_time_format(now.get(), std::string(format).c_str())};
    return text ? text.get() : "";
}

std::string timestamp_file_name() {
    return timestamp("%Y-%m-%dT%H-%M-%S") + "-" + std::to_string(getpid());
}

std::string string_nfill(int count, std::string_view ch) {
    std::string result;
    for (int i = 0; i < count; ++i) result += ch;
    return result;
}

std::string pad_left(std::string_view txt, char ch, int length) {
    const auto size = static_cast<long>(txt.size());
    if (size >= length) return std::string(txt);
    return std::string(static_cast<size_t>(length - size), ch) + std::string(txt);
}

std::string draw_message_box_thin(std::string_view msg, int width, std::string_view sidechar) {
    std::vector<std::string_view> lines;
    if (!msg.empty()) {
        size_t start = 0;
        while (true) {
            const size_t end = msg.find('\n', start);
            if (end == std::string_view::npos) {
                lines.push_back(msg.substr(start));
                break;
            }
            lines.push_back(msg.substr(start, end - start));
            start = end + 1;
        }
    }
    int longest = 0;
    for (auto line : lines) longest = std::max(longest, static_cast<int>(line.size()));
    const int inner = longest < width ? width : longest;
    const std::string fill = string_nfill(inner + 2, "┄");

    std::string box = "┌" + fill + "┐\n";
    for (auto line : lines) {
        box += std::string(sidechar) + " " + std::string(line) +
               std::string(static_cast<size_t>(inner) - line.size(), ' ') + " " +
               std::string(sidechar) + "\n";
    }
    box += "└" + fill + "┘";
    return box;
}

}  // namespace Velkor
