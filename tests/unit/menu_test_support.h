// A scratch folder with recording stand-ins for whiptail, dconf, sudo and friends, put first
// on PATH so that the actions can run in-process and be checked by what they ran.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

namespace menu_test {

/// Passes when `text` holds `needle`; prints both otherwise.
inline ::testing::AssertionResult Contains(const std::string& text, const std::string& needle) {
    if (text.find(needle) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "missing: [" << needle << "]\nin: [" << text << "]";
}

/// Captures standard output until take() or the end of the scope, so that an action that
/// ends the process (AppExit) does not leave the capture open for the next test.
class StdoutCapture {
   public:
    StdoutCapture() { ::testing::internal::CaptureStdout(); }
    ~StdoutCapture() {
        if (!taken_) ::testing::internal::GetCapturedStdout();
    }
    std::string take() {
        taken_ = true;
        return ::testing::internal::GetCapturedStdout();
    }

   private:
    bool taken_ = false;
};

class MenuStubs : public ::testing::Test {
   protected:
    void SetUp() override {
        char pattern[] = "/tmp/kelvane-menu-test-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        root = pattern;
        bin = root + "/bin";
        ASSERT_TRUE(Velkor::dir_create(bin));
        old_path = getenv("PATH") ? getenv("PATH") : "";
        setenv("PATH", (bin + ":" + old_path).c_str(), 1);
        Velkor::init_tmp("kelvane-menu-test");

        // Each whiptail run takes the first line of "answers": "<status> <answer>".
        stub("whiptail", "title=$2\necho \"$title\" >> '" + root +
                             "/whiptail.log'\n"
                             "line=$(head -n 1 '" +
                             root +
                             "/answers')\n"
                             "sed -i 1d '" +
                             root +
                             "/answers'\n"
                             "printf %s \"${line#* }\" >&2\n"
                             "exit \"${line%% *}\"\n");
        // dconf records its arguments and, for "load", the payload it was handed.
        stub("dconf", "echo \"dconf $*\" >> '" + root +
                          "/commands.log'\n"
                          "if [ \"$1\" = load ]; then cat >> '" +
                          root +
                          "/payloads.log'; fi\n"
                          "exit $(cat '" +
                          root + "/dconf_status' 2>/dev/null || echo 0)\n");
        // "sudo efibootmgr" answers with the boot mode chosen by the test.
        stub("sudo", "echo \"sudo $*\" >> '" + root +
                         "/commands.log'\n"
                         "if [ \"$1\" = efibootmgr ]; then exit $(cat '" +
                         root + "/efi_status' 2>/dev/null || echo 1); fi\nexit 0\n");
        stub("efibootmgr", "exit 0\n");
        for (const char* name : {"xdg-open", "wget", "gnome-session-quit"}) {
            stub(name, "echo \"" + std::string(name) + " $*\" >> '" + root + "/commands.log'\n");
        }
    }

    void TearDown() override {
        setenv("PATH", old_path.c_str(), 1);
        Velkor::log_debug_enabled = false;
        std::system(("rm -rf '" + Velkor::escape_single_quote(root) + "' '" +
                     Velkor::escape_single_quote(Velkor::temp_dir()) + "'")
                        .c_str());
    }

    void stub(const std::string& name, const std::string& body) {
        const std::string path = bin + "/" + name;
        ASSERT_TRUE(Velkor::file_write(path, "#!/bin/sh\n" + body));
        ASSERT_EQ(0, ::chmod(path.c_str(), 0755));
    }

    /// Queues the answers of the next whiptail runs, in order.
    void answers(const std::vector<std::string>& lines) {
        std::string text;
        for (const auto& line : lines) text += line + "\n";
        ASSERT_TRUE(Velkor::file_write(root + "/answers", text));
    }

    void set(const std::string& name, const std::string& value) {
        ASSERT_TRUE(Velkor::file_write(root + "/" + name, value));
    }

    /// A log written by the stubs; "" when nothing was written.
    std::string read(const std::string& name) const {
        std::ifstream in(root + "/" + name);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string root;
    std::string bin;
    std::string old_path;
};

}  // namespace menu_test
