// Small helpers for tests that touch real files, the environment or real processes.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
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
