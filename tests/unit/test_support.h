// Small helpers for tests that touch real files, the environment or real processes: scratch
// folders, environment overrides, stub programs on PATH, output capture and file probes.
// Plain POSIX and the standard library only.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

/// A fresh folder below the system's temporary folder, removed with everything in it.
class TempDir {
   public:
    TempDir() {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/kelvane-t-XXXXXX";
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

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
        if (value) {
            setenv(name_.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    std::string name_;
    std::optional<std::string> old_;
};

inline void write_text_file(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline void write_executable(const std::string& path, const std::string& text) {
    write_text_file(path, text);
    chmod(path.c_str(), 0755);
}

inline std::string read_text_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// The text of a file below tests/fixtures.
inline std::string fixture(const std::string& relative_path) {
    return read_text_file(std::string(KELVANE_SOURCE_DIR) + "/tests/fixtures/" + relative_path);
}

namespace test_support {

/// Reads a whole file; "" when it cannot be opened.
inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// Writes a whole file, replacing it; throws when it cannot be written.
inline void write_file(const std::string& path, std::string_view contents, mode_t mode = 0644) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    const bool complete =
        ::write(fd, contents.data(), contents.size()) == static_cast<ssize_t>(contents.size());
    ::close(fd);
    if (!complete) throw std::runtime_error("cannot write " + path);
    ::chmod(path.c_str(), mode);
}

/// Permission bits of a path (following links); -1 when it does not exist.
inline int mode_of(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return -1;
    return static_cast<int>(info.st_mode & 07777);
}

/// Standard output of `sh -c command`, read through popen (an independent shell).
inline std::string shell_output(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    ::pclose(pipe);
    return output;
}

/// Polls `condition` every few milliseconds for at most `limit`; its last answer.
template <class Condition>
bool wait_until(Condition condition,
                std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

/// A fresh folder below the system temporary folder, removed with everything in it.
class ScopedTempDir {
   public:
    ScopedTempDir() {
        const char* base = std::getenv("TMPDIR");
        // A test may point TMPDIR at a folder that does not exist yet: then use /tmp.
        for (std::string folder :
             {std::string(base && *base ? base : "/tmp"), std::string("/tmp")}) {
            std::string pattern = folder + "/kelvane-test-XXXXXX";
            if (::mkdtemp(pattern.data())) {
                path_ = pattern;
                return;
            }
        }
        throw std::runtime_error("mkdtemp failed");
    }
    ~ScopedTempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    const std::string& path() const { return path_; }
    /// `name` below the folder (not created).
    std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

   private:
    std::string path_;
};

/// Puts a folder of stub programs first on PATH. Stubs are small sh scripts.
class StubPath {
   public:
    StubPath() : path_env_("PATH", dir_.path() + ":" + current_path()) {}

    /// Writes an executable `name` whose body follows "#!/bin/sh".
    void add(const std::string& name, std::string_view body) const {
        write_file(dir_ / name, "#!/bin/sh\n" + std::string(body) + "\n", 0755);
    }
    const std::string& dir() const { return dir_.path(); }

   private:
    static std::string current_path() {
        const char* path = std::getenv("PATH");
        return path ? path : "/usr/bin:/bin";
    }
    ScopedTempDir dir_;
    ::ScopedEnv path_env_;
};

/// Redirects the process's standard output and error (file descriptors 1 and 2, so child
/// processes are caught too) into files until finish() or destruction.
class CaptureOutput {
   public:
    CaptureOutput() {
        std::fflush(stdout);
        std::fflush(stderr);
        saved_out_ = ::dup(STDOUT_FILENO);
        saved_err_ = ::dup(STDERR_FILENO);
        redirect(STDOUT_FILENO, dir_ / "stdout");
        redirect(STDERR_FILENO, dir_ / "stderr");
    }
    ~CaptureOutput() { finish(); }
    CaptureOutput(const CaptureOutput&) = delete;
    CaptureOutput& operator=(const CaptureOutput&) = delete;

    /// Restores the streams; after that std_out() and std_err() hold everything written.
    void finish() {
        if (saved_out_ < 0) return;
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(saved_out_, STDOUT_FILENO);
        ::dup2(saved_err_, STDERR_FILENO);
        ::close(saved_out_);
        ::close(saved_err_);
        saved_out_ = saved_err_ = -1;
        out_ = read_file(dir_ / "stdout");
        err_ = read_file(dir_ / "stderr");
    }
    const std::string& std_out() {
        finish();
        return out_;
    }
    const std::string& std_err() {
        finish();
        return err_;
    }

   private:
    static void redirect(int target, const std::string& path) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) throw std::runtime_error("cannot create " + path);
        ::dup2(fd, target);
        ::close(fd);
    }
    ScopedTempDir dir_;
    int saved_out_ = -1;
    int saved_err_ = -1;
    std::string out_;
    std::string err_;
};

/// True when `text` has the form of `shape`, read character by character: "#" stands for
/// one ASCII digit, "?" for one ASCII letter or digit, anything else for itself.
inline bool has_shape(std::string_view text, std::string_view shape) {
    if (text.size() != shape.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool digit = c >= '0' && c <= '9';
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (shape[i] == '#' ? !digit : shape[i] == '?' ? !(digit || letter) : shape[i] != text[i])
            return false;
    }
    return true;
}

/// The lines of a text, each without its line feed; a final line feed ends the last line.
inline std::vector<std::string> lines_of(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace test_support
