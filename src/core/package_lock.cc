#include "core/package_lock.h"

#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "core/packages_data.h"
#include "core/report.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

using Clock = std::chrono::steady_clock;

struct Holder {
    int pid = 0;
    std::string name;
};

struct WaitLimits {
    double limit_seconds = package_lock_limit_seconds;
    double poll_seconds = 5;
};

// KELVANE_LOCK_WAIT="<limit seconds>:<poll seconds>" shortens the wait for the tests.
WaitLimits wait_limits() {
    WaitLimits limits;
    const auto knob = env_value("KELVANE_LOCK_WAIT");
    if (!knob) return limits;
    char* rest = nullptr;
    const double limit = std::strtod(knob->c_str(), &rest);
    if (limit > 0) limits.limit_seconds = limit;
    if (rest && *rest == ':') {
        const double poll = std::strtod(rest + 1, nullptr);
        if (poll > 0) limits.poll_seconds = poll;
    }
    return limits;
}

// The process's name; "" when it cannot be read, as when it has just ended.
std::string process_name(int pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return string_strip(name);
}

// The first holder whose name can be read; a holder that ended between fuser and the read is
// no error: it is named by its pid, and the next check shows whether the lock is free.
std::optional<Holder> lock_holder() {
    ExecOutput output;
    run_read(package_lock_check_command, RunMode::captured, &output);
    const auto pids = parse_lock_holders(output.std_out.value_or(""));
    for (const int pid : pids) {
        if (std::string name = process_name(pid); !name.empty()) return Holder{pid, name};
    }
    if (pids.empty()) return std::nullopt;
    return Holder{pids.front(), ""};
}

// Sleeps without restarting after a signal, so that Ctrl-C ends the wait at once.
void pause_for(double seconds) {
    timespec span{static_cast<time_t>(seconds),
                  static_cast<long>((seconds - static_cast<time_t>(seconds)) * 1e9)};
    nanosleep(&span, nullptr);
    check_interrupt();
}

}  // namespace

void wait_for_package_lock() {
    if (dry_run()) return;
    auto holder = lock_holder();
    if (!holder) return;
    const WaitLimits limits = wait_limits();
    const bool terminal = isatty(STDOUT_FILENO);
    const auto start = Clock::now();
    std::string shown;
    while (holder) {
        const double waited = std::chrono::duration<double>(Clock::now() - start).count();
        const int minutes = static_cast<int>(waited / 60);
        if (waited >= limits.limit_seconds) {
            if (terminal) std::fputs("\n", stdout);
            stop_run_for("Another package manager (" + lock_holder_text(holder->name, holder->pid) +
                         ") still holds the package lock after " + std::to_string(minutes) +
                         " min; it was left running.");
        }
        const std::string text = lock_wait_text(holder->name, holder->pid, minutes);
        if (shown.empty()) {
            if (terminal) {
                log_file_write(text + "\n");
            } else {
                log_msg(text);
            }
        }
        if (terminal && text != shown) {
            std::fputs(("\r" + text + "\033[K").c_str(), stdout);
            std::fflush(stdout);
        }
        shown = text;
        pause_for(limits.poll_seconds);
        holder = lock_holder();
    }
    if (terminal) std::fputs("\n", stdout);
}
