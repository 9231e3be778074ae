// Helpers for tests that touch real files, the environment or real processes: scratch folders,
// environment overrides, stand-in tools on PATH, output capture and a private dconf database.
// Command lines built here quote with sh_quote, not with the code under test.
#pragma once

#include <gtest/gtest.h>
#include <regex.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/app_console.h"

namespace test_support {

/// Reads a whole file; "" when it cannot be opened.
inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// Writes a whole file, replacing it, and gives it `mode`.
inline void write_file(const std::string& path, std::string_view contents, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
    ::chmod(path.c_str(), mode);
}

/// Permission bits of a path (following links); -1 when it does not exist.
inline int mode_of(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return -1;
    return static_cast<int>(info.st_mode & 07777);
}

/// The text of a file below tests/fixtures.
inline std::string fixture(const std::string& relative_path) {
    return read_file(std::string(KELVANE_SOURCE_DIR) + "/tests/fixtures/" + relative_path);
}

/// Single quotes for sh, written independently of the program's own quoting.
inline std::string sh_quote(std::string_view text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct ShellResult {
    int status = -1;     ///< exit status; -1 when killed by a signal
    std::string output;  ///< standard output and error, joined
};

/// Runs `script` with "sh -c" (an independent shell), standard error joined to the output.
inline ShellResult run_sh(const std::string& script) {
    ShellResult result;
    FILE* pipe = ::popen(("( " + script + "\n) 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline bool have_tool(const std::string& tool) {
    return run_sh("command -v " + sh_quote(tool) + " >/dev/null").status == 0;
}

/// Skips the current test with the reason when a tool is missing.
#define REQUIRE_TOOL(tool)                                                     \
    do {                                                                       \
        if (!test_support::have_tool(tool)) GTEST_SKIP() << tool " not found"; \
    } while (0)

/// The lines of a text, each without its line feed; a final line feed ends the last line.
inline std::vector<std::string> lines_of(std::string_view text) {
    std::vector<std::string> lines;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

/// True when the whole of `text` matches the POSIX extended regular expression `pattern`.
inline bool matches(const std::string& text, const std::string& pattern) {
    regex_t compiled;
    if (::regcomp(&compiled, ("^(" + pattern + ")$").c_str(), REG_EXTENDED | REG_NOSUB) != 0)
        return false;
    const bool found = ::regexec(&compiled, text.c_str(), 0, nullptr, 0) == 0;
    ::regfree(&compiled);
    return found;
}

/// Polls `condition` for at most five seconds; its last answer.
template <class Condition>
bool wait_until(Condition condition) {
    for (int i = 0; i < 500 && !condition(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return condition();
}

/// The status an operation ended the process with (AppExit), or -1 when it returned.
template <class Operation>
int exit_status_of(Operation operation) {
    try {
        operation();
    } catch (const AppExit& request) {
        return request.status;
    }
    return -1;
}

/// A fresh folder below /tmp, removed with everything in it.
class ScratchDir {
   public:
    ScratchDir() {
        std::string pattern = "/tmp/kelvane-test-XXXXXX";
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    /// `name` below the folder (not created).
    std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

   private:
    std::string path_;
};

/// Sets (or with nullopt unsets) an environment variable until the end of the scope.
class ScopedEnv {
   public:
    ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) old_ = old;
        apply(value);
    }
    ~ScopedEnv() { apply(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

   private:
    void apply(const std::optional<std::string>& value) {
        value ? ::setenv(name_.c_str(), value->c_str(), 1) : ::unsetenv(name_.c_str());
    }
    std::string name_;
    std::optional<std::string> old_;
};

/// Puts a folder of stand-in programs first on PATH.
class StubPath {
   public:
    StubPath() : path_env_("PATH", dir_.path() + ":" + std::getenv("PATH")) {}

    /// Writes an executable `name` whose body follows "#!/bin/sh".
    void add(const std::string& name, std::string_view body) const {
        write_file(dir_ / name, "#!/bin/sh\n" + std::string(body) + "\n", 0755);
    }
    const std::string& dir() const { return dir_.path(); }

   private:
    ScratchDir dir_;
    ScopedEnv path_env_;
};

/// Captures standard output and error (at the descriptors, so child processes are caught too)
/// until finish() or the end of the scope, also when an operation ends the process (AppExit).
/// One at a time.
class CaptureOutput {
   public:
    CaptureOutput() {
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
    }
    ~CaptureOutput() { finish(); }
    CaptureOutput(const CaptureOutput&) = delete;
    CaptureOutput& operator=(const CaptureOutput&) = delete;

    void finish() {
        if (finished_) return;
        finished_ = true;
        out_ = ::testing::internal::GetCapturedStdout();
        err_ = ::testing::internal::GetCapturedStderr();
    }
    const std::string& std_out() { return finish(), out_; }
    const std::string& std_err() { return finish(), err_; }

   private:
    bool finished_ = false;
    std::string out_;
    std::string err_;
};

/// A private session bus whose dconf keeps its database in a scratch home, so the real dconf
/// can load and dump settings without touching the user's own. Check usable() first.
class DconfSession {
   public:
    DconfSession() {
        if (!have_tool("dbus-daemon") || !have_tool("dconf")) return;
        ::mkdir((home_ / "run").c_str(), 0700);
        // The bus hands these on to the dconf service it starts.
        for (const auto& [name, folder] : {std::pair{"HOME", ""},
                                           {"XDG_CONFIG_HOME", "/config"},
                                           {"XDG_CACHE_HOME", "/cache"},
                                           {"XDG_RUNTIME_DIR", "/run"}})
            env_.push_back(std::make_unique<ScopedEnv>(name, home_.path() + folder));
        const auto lines = lines_of(
            run_sh("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null")
                .output);
        if (lines.size() < 2) return;
        daemon_pid_ = static_cast<pid_t>(std::atol(lines[1].c_str()));
        env_.push_back(std::make_unique<ScopedEnv>("DBUS_SESSION_BUS_ADDRESS", lines[0]));
    }
    ~DconfSession() {
        if (daemon_pid_ > 0) ::kill(daemon_pid_, SIGTERM);
    }
    DconfSession(const DconfSession&) = delete;
    DconfSession& operator=(const DconfSession&) = delete;

    bool usable() const { return daemon_pid_ > 0; }
    const std::string& home() const { return home_.path(); }
    /// What "dconf dump /" prints.
    std::string dump() const { return run_sh("dconf dump / 2>/dev/null").output; }

   private:
    ScratchDir home_;
    std::vector<std::unique_ptr<ScopedEnv>> env_;
    pid_t daemon_pid_ = -1;
};

}  // namespace test_support
