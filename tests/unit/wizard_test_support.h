// Shared pieces of the wizard tests: a scratch folder and a shell runner.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace wizard_test {

/// A fresh folder, removed with everything in it when the object goes.
class ScratchDir {
   public:
    ScratchDir() {
        std::string pattern = ::testing::TempDir() + "kelvane_wizard_XXXXXX";
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchDir() {
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }

   private:
    std::string path_;
};

struct ShellResult {
    int status = -1;
    std::string output;
};

/// Runs `script` with "sh -c" (through popen), standard error joined to the output.
inline ShellResult run_sh(const std::string& script) {
    ShellResult result;
    const std::string cmd = "( " + script + " ) 2>&1";
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, count);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

/// True when `tool` is on the search path.
inline bool have_tool(const std::string& tool) {
    return run_sh("command -v '" + tool + "' >/dev/null").status == 0;
}

/// Single quotes for the shell (the tests build their own command lines).
inline std::string sh_quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline void write_file(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

/// Permission bits of a path, or -1 when it is missing.
inline int file_mode(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return -1;
    return info.st_mode & 07777;
}

}  // namespace wizard_test

/// Skips the current test with a printed reason when a tool is missing.
#define WIZARD_REQUIRE_TOOL(tool)                                             \
    do {                                                                      \
        if (!wizard_test::have_tool(tool)) GTEST_SKIP() << tool " not found"; \
    } while (0)
