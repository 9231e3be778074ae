// Scratch folders, environment overrides, stand-in tools on PATH and an independent shell.
// Command lines built here quote with sh_quote, not with the code under test.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

/// A whole file; "" when it cannot be opened.
inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void write_file(const std::string& path, std::string_view contents, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
    ::chmod(path.c_str(), mode);
}

/// Permission bits (following links); -1 when nothing is there.
inline int mode_of(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

inline std::string sh_quote(std::string_view text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct ShellResult {
    int status = -1;     ///< exit status; -1 when killed by a signal
    std::string output;  ///< standard output and error, joined
};

inline ShellResult run_sh(const std::string& script) {
    ShellResult result;
    FILE* pipe = ::popen(("( " + script + "\n) 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

#define REQUIRE_TOOL(tool)                                                      \
    do {                                                                        \
        if (test_support::run_sh("command -v " tool " >/dev/null").status != 0) \
            GTEST_SKIP() << tool " not found";                                  \
    } while (0)

inline std::vector<std::string> lines_of(std::string_view text) {
    std::vector<std::string> lines;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
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

/// A folder of stand-in programs first on PATH; add() writes one whose body follows "#!/bin/sh".
class StubPath {
   public:
    StubPath() : path_env_("PATH", dir_.path() + ":" + std::getenv("PATH")) {}
    void add(const std::string& name, std::string_view body) const {
        write_file(dir_ / name, "#!/bin/sh\n" + std::string(body) + "\n", 0755);
    }

   private:
    ScratchDir dir_;
    ScopedEnv path_env_;
};

}  // namespace test_support
