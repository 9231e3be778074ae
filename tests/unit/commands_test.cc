#include "lib/commands.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>

#include "lib/files.h"
#include "test_support.h"

using namespace test_support;

namespace {

// Every script file below a folder, found with an independent walk.
size_t scripts_below(const std::string& dir) {
    size_t found = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        found += entry.path().extension() == ".sh";
    return found;
}

bool starts_with(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

// A workspace of its own for each test, below a scratch TMPDIR.
class Workspace : public ::testing::Test {
   protected:
    void SetUp() override {
        CaptureOutput quiet;
        Velkor::init_tmp("kelvane");
        ASSERT_EQ("", quiet.std_out() + quiet.std_err());
    }
    ScratchDir tmp_;
    ScopedEnv tmpdir_{"TMPDIR", tmp_.path()};
};

}  // namespace

TEST(Exec, ExitCodesOfNormalExitFailureAndSignal) {
    EXPECT_EQ(0, Velkor::exit_code_from_wait_status(0));
    EXPECT_EQ(1, Velkor::exit_code_from_wait_status(256));
    EXPECT_EQ(255, Velkor::exit_code_from_wait_status(255 << 8));
    EXPECT_EQ(9, Velkor::exit_code_from_wait_status(9));
    EXPECT_EQ(11 | 0x80, Velkor::exit_code_from_wait_status(11 | 0x80));

    // The same through real processes, run by the shell on our own terminal.
    CaptureOutput capture;
    const int results[] = {Velkor::exec_posix("exit 3"), Velkor::exec_posix("true"),
                           Velkor::exec_posix("kill -9 $$"), Velkor::exec_posix("exit 255"),
                           Velkor::exec_posix("kelvane-no-such-program")};
    Velkor::exec_posix("echo to the terminal; echo problem >&2");
    capture.finish();
    EXPECT_EQ((std::vector<int>{3, 0, 9, 255, 127}), std::vector<int>(results, results + 5));
    EXPECT_EQ("to the terminal\n", capture.std_out());
    EXPECT_NE(std::string::npos, capture.std_err().find("problem\n"));
    EXPECT_EQ(std::string::npos, capture.std_err().find("E: ")) << capture.std_err();
}

TEST(Exec, SyncSplitsWordsButRunsNoShell) {
    Velkor::ExecOutput out;
    EXPECT_EQ(0, Velkor::exec_sync("echo $HOME", &out));
    EXPECT_EQ("$HOME\n", out.std_out);
    EXPECT_EQ("", out.std_err);
    EXPECT_EQ(0, Velkor::exec_sync(R"(printf '%s|' 'a b' "c d" e\ f g*)", &out));
    EXPECT_EQ("a b|c d|e f|g*|", out.std_out);
    const std::string awkward = "it's a 'test' $(id) `id` \"q\"";
    EXPECT_EQ(0, Velkor::exec_sync(
                     "printf '%s|' '" + Velkor::escape_single_quote(awkward) + "' end", &out));
    EXPECT_EQ(awkward + "|end|", out.std_out);
    EXPECT_EQ(4, Velkor::exec_sync("sh -c 'echo out; echo err >&2; exit 4'", &out));
    EXPECT_EQ("out\n", out.std_out);
    EXPECT_EQ("err\n", out.std_err);
    EXPECT_EQ(9, Velkor::exec_sync("sh -c 'kill -9 $$'", &out));
    // Standard input is the null device: cat ends at once with nothing.
    EXPECT_EQ(0, Velkor::exec_sync("cat", &out));
    EXPECT_EQ("", out.std_out);

    // A command that cannot start: -1, no output and exactly one error line.
    for (const std::string command : {"kelvane-no-such-program --flag", "echo 'unbalanced", ""}) {
        Velkor::ExecOutput none{std::string("stale"), std::string("stale")};
        CaptureOutput capture;
        EXPECT_EQ(-1, Velkor::exec_sync(command, &none)) << command;
        EXPECT_EQ(std::nullopt, none.std_out) << command;
        EXPECT_EQ(std::nullopt, none.std_err) << command;
        const auto err = lines_of(capture.std_err());
        ASSERT_EQ(1u, err.size()) << command << ": " << capture.std_err();
        EXPECT_TRUE(starts_with(err[0], "E: ")) << err[0];
    }
}

TEST(Scripts, TextsAreExact) {
    EXPECT_EQ(
        "#!/bin/bash\n"
        "\n"
        "LANG=C\n"
        "LC_ALL=C.UTF-8\n"
        "\n"
        "echo hi\n"
        "\n"
        "\n"
        "exitCode=$?\n"
        "exit ${exitCode}\n",
        Velkor::bash_script_text("echo hi", true));
    EXPECT_EQ("#!/bin/bash\n\n\na\nb\n\n\nexitCode=$?\nexit ${exitCode}\n",
              Velkor::bash_script_text("a\nb", false));
    EXPECT_EQ(
        "#!/bin/bash\n"
        "pkexec env DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY '/w/it'\\''s/a.sh'\n"
        "if [ -f status ]; then exit $(cat status); else exit 0; fi\n",
        Velkor::admin_wrapper_text("/w/it's/a.sh"));
    EXPECT_EQ("/usr/bin/xdg-open 'https://kelvane.org' &>/dev/null",
              Velkor::xdg_open_command("/usr/bin/xdg-open", "https://kelvane.org", ""));
    EXPECT_EQ(
        "pkexec --user alice env DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY /usr/bin/xdg-open "
        "'/home/a/it'\\''s.pdf' &>/dev/null",
        Velkor::xdg_open_command("/usr/bin/xdg-open", "/home/a/it's.pdf", "alice"));
}

// The temporary folder is mounted noexec in a private mount namespace of a child process.
TEST(WorkspaceSetup, FallsBackToHomeWhenTempForbidsExecution) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a noexec folder needs root";
    ScratchDir scratch;
    const std::string tmp = scratch / "tmp";
    const std::string home = scratch / "it's home";
    std::filesystem::create_directories(tmp);
    std::filesystem::create_directories(home);

    // The child reports through files: its mounts vanish with it.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", tmp.c_str(), "tmpfs", MS_NOEXEC, "mode=1777") != 0)
            _exit(77);
        freopen((scratch / "out").c_str(), "w", stdout);
        freopen((scratch / "err").c_str(), "w", stderr);
        setenv("TMPDIR", tmp.c_str(), 1);
        setenv("HOME", home.c_str(), 1);
        Velkor::init_tmp("kelvane");
        const auto first = Velkor::dir_list_names(tmp, false);
        write_file(scratch / "result",
                   Velkor::temp_dir() + "\n" + (first.size() == 1 ? first[0] : "") + "\n");
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no private noexec mount here";
    const std::string text = read_file(scratch / "result");
    const auto fields = lines_of(text);
    ASSERT_EQ(2u, fields.size()) << text;
    const std::string workspace_name = "kelvane_[A-Za-z0-9]{8}";
    EXPECT_EQ(home + "/.temp", std::filesystem::path(fields[0]).parent_path().string());
    EXPECT_TRUE(matches(std::filesystem::path(fields[0]).filename().string(), workspace_name))
        << text;
    EXPECT_EQ(0700, mode_of(fields[0]));
    EXPECT_TRUE(Velkor::dir_list_names(fields[0], false).empty());
    EXPECT_EQ("", read_file(scratch / "out") + read_file(scratch / "err"));
    // The first workspace was made in the noexec folder and stays there.
    EXPECT_TRUE(matches(fields[1], workspace_name)) << text;
}

TEST_F(Workspace, SavedScriptsAndTheStatusFile) {
    const std::string path = Velkor::save_bash_script_temp("echo hi", "", true, false);
    EXPECT_EQ(".sh", std::filesystem::path(path).extension().string());
    EXPECT_EQ(Velkor::bash_script_text("echo hi", true), read_file(path));
    EXPECT_EQ("hi\n", run_sh(sh_quote(path)).output);
    const std::string wrapper = Velkor::save_bash_script_temp("id", "", false, true);
    EXPECT_EQ("script-admin.sh", std::filesystem::path(wrapper).filename().string());
    const auto scripts = Velkor::dir_list_names(Velkor::file_parent(wrapper).value(), true);
    ASSERT_EQ(2u, scripts.size());
    const std::string inner = scripts[0] == wrapper ? scripts[1] : scripts[0];
    EXPECT_EQ(Velkor::admin_wrapper_text(inner), read_file(wrapper));
    EXPECT_NE(0, mode_of(inner) & 0100);

    auto run = [](const char* script, Velkor::ExecOutput* out = nullptr) {
        return Velkor::exec_script_sync(script, out, false, false, true, false);
    };
    Velkor::ExecOutput out;
    EXPECT_EQ(5, run("exit 5"));
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
    EXPECT_EQ(0, run("pwd; ls", &out));
    const auto seen = lines_of(out.std_out.value_or(""));
    ASSERT_EQ(2u, seen.size());
    EXPECT_TRUE(starts_with(seen[0], Velkor::temp_dir() + "/")) << seen[0];
    EXPECT_EQ(".sh", std::filesystem::path(seen[1]).extension().string());
    EXPECT_TRUE(std::filesystem::is_empty(seen[0]));

    CaptureOutput capture;
    EXPECT_EQ(2, Velkor::exec_script_sync("echo shown; echo warned >&2; exit 2", &out, false, false,
                                          true, true));
    EXPECT_EQ("shown\n", capture.std_out());
    EXPECT_EQ("warned\n", capture.std_err());
}

// Without the execute bit (chmod replaced by a stand-in that does nothing) a script cannot start.
TEST_F(Workspace, ScriptsThatCannotStart) {
    StubPath stubs;
    stubs.add("chmod", "exit 0");
    Velkor::ExecOutput out{std::string("stale"), std::string("stale")};
    CaptureOutput capture;
    const int loud = Velkor::exec_script_sync("echo hi", &out, false, false, true, false);
    const int quiet = Velkor::exec_script_sync("echo hi", nullptr, true, false, true, false);
    const int async = Velkor::exec_script_async("echo hi", false);
    capture.finish();
    EXPECT_EQ(-1, loud);
    EXPECT_EQ(std::nullopt, out.std_out);
    EXPECT_EQ(-1, quiet);
    EXPECT_EQ(-1, async);
    const auto errors = lines_of(capture.std_err());
    ASSERT_EQ(2u, errors.size()) << capture.std_err();  // the loud run and the async start
    for (const auto& line : errors) EXPECT_TRUE(starts_with(line, "E: ")) << line;
    EXPECT_EQ(3u, scripts_below(Velkor::temp_dir()));  // left for a look afterwards
}

TEST_F(Workspace, AsyncScriptsAndTheDesktopOpener) {
    const std::string marker = tmp_ / "marker";
    EXPECT_GT(Velkor::exec_script_async("sleep 0.2; echo done > " + sh_quote(marker), false), 0);
    EXPECT_FALSE(std::filesystem::exists(marker));  // not waited for
    EXPECT_TRUE(wait_until([&] { return read_file(marker) == "done\n"; }));

    StubPath stubs;
    const std::string log = tmp_ / "opened";
    stubs.add("xdg-open", "printf '%s|' \"$#\" \"$@\" > " + sh_quote(log + ".part") + "; mv " +
                              sh_quote(log + ".part") + " " + sh_quote(log));
    const std::string file = tmp_ / "it's a \"page\" $HOME.html";
    CaptureOutput capture;
    Velkor::xdg_open(file, "");
    EXPECT_TRUE(wait_until([&] { return std::filesystem::exists(log); }));
    EXPECT_EQ("1|" + file + "|", read_file(log));
    EXPECT_EQ("", capture.std_out() + capture.std_err());
}
