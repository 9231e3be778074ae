// The thin runners of the support library against real processes, and the user lookups.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>

#include "lib/commands.h"
#include "lib/files.h"
#include "lib/user.h"
#include "test_support.h"

using namespace test_support;

namespace {

// A workspace of its own for each test, below a scratch TMPDIR.
class Workspace : public ::testing::Test {
   protected:
    void SetUp() override {
        setenv("TMPDIR", tmp_.path().c_str(), 1);
        Velkor::init_tmp("kelvane");
    }
    void TearDown() override { unsetenv("TMPDIR"); }
    ScratchDir tmp_;
};

}  // namespace

TEST(Exec, ExitCodesOfNormalExitFailureSignalAndMissingCommand) {
    EXPECT_EQ(11 | 0x80, Velkor::exit_code_from_wait_status(11 | 0x80));  // a core dump
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const std::vector<int> results{Velkor::run_command("exit 3"), Velkor::run_command("true"),
                                   Velkor::run_command("kill -9 $$"),
                                   Velkor::run_command("exit 255"),
                                   Velkor::run_command("kelvane-no-such-program")};
    // Shown and, when asked for, kept.
    Velkor::ExecOutput kept;
    Velkor::run_command("echo to the terminal; echo problem >&2", Velkor::RunMode::terminal, &kept);
    EXPECT_EQ("to the terminal\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ("to the terminal\n", kept.std_out.value_or("-"));
    EXPECT_EQ("problem\n", kept.std_err.value_or("-"));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ((std::vector<int>{3, 0, 9, 255, 127}), results);
    EXPECT_NE(std::string::npos, err.find("problem\n"));
    EXPECT_EQ(std::string::npos, err.find("E: ")) << err;
}

// Ctrl-C or Ctrl-\ that reaches only the command (a pseudo-terminal's foreground job) was
// meant for the whole run; a command's own SIGTERM is just its failure.
TEST(Exec, ACommandEndedByCtrlCOrQuitInterruptsTheRun) {
    static int seen;
    Velkor::signals_install([](int signal_number) {
        seen = signal_number;
        throw signal_number;
    });
    for (const auto& [cmd, expected] :
         {std::pair{"kill -INT $$", SIGINT}, {"kill -QUIT $$", SIGQUIT}, {"kill -TERM $$", 0}}) {
        seen = 0;
        try {
            Velkor::run_command(cmd);
        } catch (int) {
        }
        EXPECT_EQ(expected, seen) << cmd;
    }
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) signal(signal_number, SIG_DFL);
}

TEST(Exec, SyncSplitsWordsButRunsNoShell) {
    Velkor::ExecOutput out;
    EXPECT_EQ(0, Velkor::run_command(R"(printf '%s|' 'a b' "c d" e\ f g* $HOME)",
                                     Velkor::RunMode::captured, &out));
    EXPECT_EQ("a b|c d|e f|g*|$HOME|", out.std_out);
    EXPECT_EQ(4, Velkor::run_command("sh -c 'echo out; echo err >&2; exit 4'",
                                     Velkor::RunMode::captured, &out));
    EXPECT_EQ("out\n", out.std_out);
    EXPECT_EQ("err\n", out.std_err);
    EXPECT_EQ(9, Velkor::run_command("sh -c 'kill -9 $$'", Velkor::RunMode::captured, &out));

    // A command that cannot start: -1, nothing captured and exactly one error line.
    for (const std::string command : {"kelvane-no-such-program --flag", "echo 'unbalanced", ""}) {
        Velkor::ExecOutput none{std::string("stale"), std::string("stale")};
        testing::internal::CaptureStderr();
        EXPECT_EQ(-1, Velkor::run_command(command, Velkor::RunMode::captured, &none)) << command;
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::nullopt, none.std_out) << command;
        EXPECT_EQ(1u, count_lines(err)) << command;
        EXPECT_EQ(0u, err.find("E: ")) << err;
    }
}

TEST_F(Workspace, SavedScriptsAndTheStatusFile) {
    const std::string path = Velkor::save_bash_script_temp("echo hi", "", true, false);
    EXPECT_EQ(Velkor::bash_script_text("echo hi", true), read_file(path));
    EXPECT_EQ("hi\n", run_sh(sh_quote(path)).output);

    auto run = [](const char* script, Velkor::ExecOutput* out = nullptr) {
        return Velkor::exec_script_sync(script, out, false, false, true, false);
    };
    Velkor::ExecOutput out;
    EXPECT_EQ(1, run("true\nfalse"));
    EXPECT_EQ(9, run("kill -9 $$"));
    EXPECT_EQ(3, run("echo out; echo err >&2; echo \"$LC_ALL\"; exit 3", &out));
    EXPECT_EQ("out\nC.UTF-8\n", out.std_out);
    EXPECT_EQ("err\n", out.std_err);
    // A "status" file in the script's folder has the last word over its exit code.
    EXPECT_EQ(7, run("echo 7 > status; exit 0"));
    EXPECT_EQ(-3, run("echo '  -3 apples' > status; exit 9"));
    EXPECT_EQ(0, run("echo none > status; exit 9"));
    // It runs in its own folder; with cleanup only the script goes.
    EXPECT_EQ(0, run("pwd", &out));
    EXPECT_TRUE(
        std::filesystem::is_empty(out.std_out.value_or("?\n").substr(0, out.std_out->size() - 1)));
}

TEST(User, PasswdLinesShortOddAndRepeated) {
    const std::string passwd =
        "root:x:0:0:root:/root:/bin/bash\nshort:x\nnohome:x:1001:1001\nodd:x:01000:1000::/o\n"
        "twice:x:7:7::/first:/bin/sh\ntwice:x:8:8::/second:/bin/sh\nblank::1003:1003:::\n\n"
        "last:x:1002:1002::/home/last:/bin/sh";
    // Key field, key, wanted field, fewest fields, answer.
    const std::tuple<int, const char*, int, int, std::optional<std::string>> lookups[] = {
        {1, "root", 3, 3, "0"},          {1, "short", 3, 3, std::nullopt},
        {1, "nohome", 3, 3, "1001"},     {1, "nohome", 6, 6, std::nullopt},
        {3, "1000", 1, 3, std::nullopt}, {3, "01000", 1, 3, "odd"},
        {1, "twice", 6, 6, "/first"},    {1, "blank", 6, 6, ""},
        {3, "1002", 1, 3, "last"},       {1, "", 3, 3, std::nullopt},
        {1, "roo", 3, 3, std::nullopt},  {1, "root:x", 3, 3, std::nullopt},
        {1, "root", 9, 1, std::nullopt}, {0, "root", 3, 1, std::nullopt}};
    for (const auto& [key_field, key, field, minimum, answer] : lookups)
        EXPECT_EQ(answer, Velkor::passwd_lookup(passwd, key_field, key, minimum, field)) << key;
}
