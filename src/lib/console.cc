#include "lib/console.h"

#include <glib.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "lib/glib_ptr.h"

namespace Velkor {

bool log_debug_enabled = false;

namespace {

// One write and one flush per line, so lines never interleave with child output.
void write_line(FILE* stream, const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fflush(stream);
}

}  // namespace

void log_msg(std::string_view message) { write_line(stdout, std::string(message) + "\n"); }

void log_error(std::string_view message) {
    write_line(stderr, "E: " + std::string(message) + "\n");
}

void log_debug(std::string_view message) {
    if (!log_debug_enabled) return;
    write_line(stdout, "[" + timestamp() + "] D: " + std::string(message) + "\n");
}

std::string timestamp() {
    GDateTimePtr now{g_date_time_new_now_local()};
    GCharPtr text{g_date_time_format(now.get(), "%H:%M:%S")};
    return text ? text.get() : "";
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
