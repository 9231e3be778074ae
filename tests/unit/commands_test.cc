#include "lib/commands.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "lib/files.h"
#include "test_support.h"

using test_support::CaptureOutput;
using test_support::lines_of;
using test_support::mode_of;
using test_support::read_file;
using test_support::ScopedTempDir;
using test_support::shell_output;
using test_support::StubPath;
using test_support::write_file;

namespace {

// Every script file below a folder, found with an independent walk.
std::vector<std::string> scripts_below(const std::string& dir) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.path().extension() == ".sh") found.push_back(entry.path().string());
    }
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
        quiet.finish();
        ASSERT_EQ("", quiet.std_out());
        ASSERT_EQ("", quiet.std_err());
    }
    ScopedTempDir tmp_;
    ScopedEnv tmpdir_{"TMPDIR", tmp_.path()};
};

}  // namespace

TEST(Exec, WaitStatusConversion) {
    EXPECT_EQ(0, Velkor::exit_code_from_wait_status(0));
    EXPECT_EQ(1, Velkor::exit_code_from_wait_status(256));
    EXPECT_EQ(255, Velkor::exit_code_from_wait_status(255 << 8));
    EXPECT_EQ(9, Velkor::exit_code_from_wait_status(9));
    EXPECT_EQ(11 | 0x80, Velkor::exit_code_from_wait_status(11 | 0x80));
}

TEST(Exec, PosixRunsThroughTheShellOnOurTerminal) {
    CaptureOutput capture;
    const int three = Velkor::exec_posix("exit 3");
    const int zero = Velkor::exec_posix("true");
    const int killed = Velkor::exec_posix("kill -9 $$");
    const int arithmetic = Velkor::exec_posix("exit $((2 + 3))");
    const int top = Velkor::exec_posix("exit 255");
    const int missing = Velkor::exec_posix("kelvane-no-such-program");
    Velkor::exec_posix("echo to the terminal; echo problem >&2");
    capture.finish();
    EXPECT_EQ(3, three);
    EXPECT_EQ(0, zero);
    EXPECT_EQ(9, killed);
    EXPECT_EQ(5, arithmetic);
    EXPECT_EQ(255, top);
    EXPECT_EQ(127, missing);
    EXPECT_EQ("to the terminal\n", capture.std_out());
    // Only the shell's own complaint about the missing program: exec_posix logs nothing.
    EXPECT_EQ(std::string::npos, capture.std_err().find("E: ")) << capture.std_err();
    EXPECT_NE(std::string::npos, capture.std_err().find("problem\n"));
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
    EXPECT_EQ(0, Velkor::exec_sync("true"));

    // Standard input is the null device: cat ends at once with nothing.
    EXPECT_EQ(0, Velkor::exec_sync("cat", &out));
    EXPECT_EQ("", out.std_out);
}

TEST(Exec, SyncFailuresToStartGiveMinusOneAndOneLine) {
    for (const std::string command :
         {"kelvane-no-such-program --flag", "echo 'unbalanced", "", "/nonexistent/tool"}) {
        Velkor::ExecOutput out{std::string("stale"), std::string("stale")};
        CaptureOutput capture;
        const int result = Velkor::exec_sync(command, &out);
        const auto err = lines_of(capture.std_err());
        EXPECT_EQ("", capture.std_out()) << command;
        EXPECT_EQ(-1, result) << command;
        EXPECT_EQ(std::nullopt, out.std_out) << command;
        EXPECT_EQ(std::nullopt, out.std_err) << command;
        ASSERT_EQ(1u, err.size()) << command << ": " << capture.std_err();
        EXPECT_TRUE(starts_with(err[0], "E: ")) << err[0];
    }
}

TEST(Exec, CommandPathsFromWhich) {
    StubPath stubs;
    stubs.add("kelvane-stub-tool", "exit 0");
    CaptureOutput capture;
    const std::string sh = Velkor::get_cmd_path("sh");
    const std::string stub = Velkor::get_cmd_path("kelvane-stub-tool");
    const std::string missing = Velkor::get_cmd_path("kelvane-no-such-tool");
    const bool sh_exists = Velkor::cmd_exists("sh");
    const bool missing_exists = Velkor::cmd_exists("kelvane-no-such-tool");
    capture.finish();
    EXPECT_EQ(shell_output("command -v sh"), sh + "\n");
    EXPECT_EQ(stubs.dir() + "/kelvane-stub-tool", stub);
    EXPECT_EQ("", missing);
    EXPECT_TRUE(sh_exists);
    EXPECT_FALSE(missing_exists);
    EXPECT_EQ("", capture.std_out());
    EXPECT_EQ("", capture.std_err());
}

TEST(Exec, ChmodAndSudoProbesQuoteThePath) {
    ScopedTempDir dir;
    StubPath stubs;
    // A stand-in for sudo that records its arguments and runs them.
    const std::string log = dir / "sudo.log";
    stubs.add("sudo", "printf '%s\\n' \"$@\" >> '" + log + "'\nexec \"$@\"");

    const std::string file = dir / "it's a file";
    const std::string folder = dir / "a 'folder'";
    write_file(file, "secret text\n", 0644);
    std::filesystem::create_directory(folder);

    Velkor::chmod(file, "u+x");
    EXPECT_EQ(0744, mode_of(file));
    Velkor::chmod(file, "go-r");
    EXPECT_EQ(0700, mode_of(file));

    EXPECT_TRUE(Velkor::file_exists_sudo(file));
    EXPECT_FALSE(Velkor::file_exists_sudo(folder));
    EXPECT_FALSE(Velkor::file_exists_sudo(dir / "missing"));
    EXPECT_TRUE(Velkor::dir_exists_sudo(folder));
    EXPECT_FALSE(Velkor::dir_exists_sudo(file));
    // One argument each, the quoted path unchanged.
    EXPECT_EQ("test\n-f\n" + file + "\n", read_file(log).substr(0, 9 + file.size()));

    CaptureOutput capture;
    const std::string contents = Velkor::file_read_sudo(file);
    const std::string missing = Velkor::file_read_sudo(dir / "missing");
    capture.finish();
    EXPECT_EQ("secret text\n", contents);
    EXPECT_EQ("", missing);
    EXPECT_EQ("", capture.std_out());
    EXPECT_EQ("", capture.std_err());
    EXPECT_NE(std::string::npos, read_file(log).find("cat\n" + file + "\n"));
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

TEST(WorkspaceSetup, InitMakesAPrivateFolderInTmpdir) {
    ScopedTempDir scratch;
    const std::string tmp = scratch / "t m'p";
    ScopedEnv tmpdir("TMPDIR", tmp);
    CaptureOutput capture;
    Velkor::init_tmp("kelvane");
    const std::string first = Velkor::temp_dir();
    Velkor::init_tmp("kelvane");
    const std::string second = Velkor::temp_dir();
    capture.finish();

    EXPECT_EQ("", capture.std_out());
    EXPECT_EQ("", capture.std_err());
    EXPECT_TRUE(test_support::has_shape(first, tmp + "/kelvane_????????")) << first;
    EXPECT_TRUE(test_support::has_shape(second, tmp + "/kelvane_????????")) << second;
    EXPECT_NE(first, second);
    EXPECT_EQ(0700, mode_of(first));
    // The probe leaves only its empty folder behind.
    const auto entries = Velkor::dir_list_names(first, true);
    ASSERT_EQ(1u, entries.size());
    EXPECT_TRUE(std::filesystem::is_directory(entries[0]));
    EXPECT_TRUE(std::filesystem::is_empty(entries[0]));
}

// A temporary folder where nothing can be made: one error line, no probe, the home is used.
TEST(WorkspaceSetup, UnusableTmpdirFallsBackToHome) {
    ScopedTempDir scratch;
    write_file(scratch / "file", "");
    const std::string home = scratch / "it's home";
    ScopedEnv tmpdir("TMPDIR", scratch / "file/tmp");
    ScopedEnv home_env("HOME", home);
    CaptureOutput capture;
    Velkor::init_tmp("kelvane");
    capture.finish();
    EXPECT_TRUE(test_support::has_shape(Velkor::temp_dir(), home + "/.temp/kelvane_????????"))
        << Velkor::temp_dir();
    EXPECT_EQ(0700, mode_of(Velkor::temp_dir()));
    EXPECT_EQ(0700, mode_of(home + "/.temp"));
    EXPECT_EQ("", capture.std_out());
    const auto errors = lines_of(capture.std_err());
    ASSERT_EQ(1u, errors.size()) << capture.std_err();
    EXPECT_TRUE(starts_with(errors[0], "E: Failed to create '" + scratch / "file/tmp'"))
        << errors[0];
}

// The temporary folder is mounted noexec in a private mount namespace of a child process.
TEST(WorkspaceSetup, FallsBackToHomeWhenTempForbidsExecution) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a noexec folder needs root";
    ScopedTempDir scratch;
    const std::string tmp = scratch / "tmp";
    const std::string home = scratch / "it's home";
    std::filesystem::create_directories(tmp);
    std::filesystem::create_directories(home);

    int report[2];
    ASSERT_EQ(0, pipe(report));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(report[0]);
        auto send = [&](const std::string& text) {
            [[maybe_unused]] auto written = write(report[1], text.data(), text.size());
            _exit(0);
        };
        if (unshare(CLONE_NEWNS) != 0) send(std::string("skip unshare: ") + strerror(errno));
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            send(std::string("skip private: ") + strerror(errno));
        if (mount("tmpfs", tmp.c_str(), "tmpfs", MS_NOEXEC, "mode=1777") != 0)
            send(std::string("skip tmpfs: ") + strerror(errno));
        // The child's output goes to files that the parent reads and removes.
        freopen((scratch / "out").c_str(), "w", stdout);
        freopen((scratch / "err").c_str(), "w", stderr);
        setenv("TMPDIR", tmp.c_str(), 1);
        setenv("HOME", home.c_str(), 1);
        Velkor::init_tmp("kelvane");
        const auto first = Velkor::dir_list_names(tmp, false);
        send("dir=" + Velkor::temp_dir() + "\nfirst=" + (first.size() == 1 ? first[0] : "") + "\n");
    }
    close(report[1]);
    std::string text;
    char buffer[512];
    ssize_t n = 0;
    while ((n = read(report[0], buffer, sizeof buffer)) > 0) text.append(buffer, n);
    close(report[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (starts_with(text, "skip")) GTEST_SKIP() << text;

    std::map<std::string, std::string> fields;
    for (const auto& line : lines_of(text)) {
        const auto equals = line.find('=');
        if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    EXPECT_TRUE(test_support::has_shape(fields["dir"], home + "/.temp/kelvane_????????")) << text;
    EXPECT_EQ(0700, mode_of(fields["dir"]));
    EXPECT_TRUE(Velkor::dir_list_names(fields["dir"], false).empty());
    EXPECT_EQ("", read_file(scratch / "out"));
    EXPECT_EQ("", read_file(scratch / "err"));
    // The first workspace was made in the noexec folder and stays there.
    EXPECT_TRUE(test_support::has_shape(fields["first"], "kelvane_????????")) << text;
}

TEST_F(Workspace, TempPathsAreFreshAndAlone) {
    const std::string a = Velkor::get_temp_file_path(true);
    const std::string b = Velkor::get_temp_file_path(true);
    const std::string folder_a = std::filesystem::path(a).parent_path().string();
    const std::string folder_b = std::filesystem::path(b).parent_path().string();
    EXPECT_NE(folder_a, folder_b);
    for (const auto& folder : {folder_a, folder_b}) {
        EXPECT_EQ(Velkor::temp_dir(), std::filesystem::path(folder).parent_path().string());
        EXPECT_TRUE(std::filesystem::is_directory(folder));
    }
    EXPECT_FALSE(std::filesystem::exists(a));
    EXPECT_FALSE(std::filesystem::exists(b));
    // Seconds since the epoch followed by a 32-bit random number.
    const std::string name = std::filesystem::path(a).filename().string();
    EXPECT_TRUE(name.size() >= 11 && name.size() <= 20) << name;
    EXPECT_EQ(std::string::npos, name.find_first_not_of("0123456789")) << name;

    const std::string plain = Velkor::get_temp_file_path(false);
    EXPECT_EQ(Velkor::temp_dir(), std::filesystem::path(plain).parent_path().string());
    EXPECT_FALSE(std::filesystem::exists(plain));

    const std::string subdir = Velkor::create_temp_subdir();
    EXPECT_EQ(Velkor::temp_dir(), std::filesystem::path(subdir).parent_path().string());
    EXPECT_TRUE(std::filesystem::is_directory(subdir));
}

TEST(WorkspaceSetup, RandomTextAndTime) {
    EXPECT_EQ("", Velkor::random_string(0, "ab"));
    EXPECT_EQ("", Velkor::random_string(-3, "ab"));
    EXPECT_EQ("xxxx", Velkor::random_string(4, "x"));
    const std::string drawn = Velkor::random_string(200, "ab");
    EXPECT_EQ(200u, drawn.size());
    EXPECT_EQ(std::string::npos, drawn.find_first_not_of("ab"));
    EXPECT_NE(std::string::npos, drawn.find('a'));
    EXPECT_NE(std::string::npos, drawn.find('b'));
    EXPECT_NE(Velkor::random_string(16, "abcdefgh"), Velkor::random_string(16, "abcdefgh"));

    const long before = static_cast<long>(std::time(nullptr));
    const long now = std::stol(Velkor::timestamp_numeric());
    EXPECT_LE(before, now);
    EXPECT_LE(now, before + 2);
}

TEST_F(Workspace, SavedScriptsAreExecutableAndExact) {
    const std::string path = Velkor::save_bash_script_temp("echo hi", "", true, false);
    EXPECT_TRUE(starts_with(path, Velkor::temp_dir() + "/")) << path;
    EXPECT_EQ(".sh", std::filesystem::path(path).extension().string());
    EXPECT_EQ(Velkor::bash_script_text("echo hi", true), read_file(path));
    EXPECT_NE(0, mode_of(path) & 0100);
    EXPECT_EQ("hi\n", shell_output("'" + Velkor::escape_single_quote(path) + "'"));

    const std::string chosen = tmp_ / "my script's.sh";
    EXPECT_EQ(chosen, Velkor::save_bash_script_temp("exit 4", chosen, false, false));
    EXPECT_EQ(Velkor::bash_script_text("exit 4", false), read_file(chosen));
    EXPECT_NE(0, mode_of(chosen) & 0100);

    const std::string wrapper = Velkor::save_bash_script_temp("id", "", false, true);
    EXPECT_EQ("script-admin.sh", std::filesystem::path(wrapper).filename().string());
    const auto scripts = Velkor::dir_list_names(Velkor::file_parent(wrapper).value(), true);
    ASSERT_EQ(2u, scripts.size());
    const std::string inner = scripts[0] == wrapper ? scripts[1] : scripts[0];
    EXPECT_EQ(Velkor::admin_wrapper_text(inner), read_file(wrapper));
    EXPECT_EQ(Velkor::bash_script_text("id", false), read_file(inner));
    EXPECT_NE(0, mode_of(wrapper) & 0100);
    EXPECT_NE(0, mode_of(inner) & 0100);
}

TEST_F(Workspace, SyncScriptsReportTheirExitAndStatusFile) {
    Velkor::ExecOutput out;
    EXPECT_EQ(5, Velkor::exec_script_sync("exit 5", &out, false, false, true, false));
    EXPECT_EQ(0, Velkor::exec_script_sync("false\ntrue", &out, false, false, true, false));
    EXPECT_EQ(1, Velkor::exec_script_sync("true\nfalse", &out, false, false, true, false));
    EXPECT_EQ(9, Velkor::exec_script_sync("kill -9 $$", &out, false, false, true, false));

    EXPECT_EQ(3, Velkor::exec_script_sync("echo out; echo err >&2; echo \"$LC_ALL\"; exit 3", &out,
                                          false, false, true, false));
    EXPECT_EQ("out\nC.UTF-8\n", out.std_out);
    EXPECT_EQ("err\n", out.std_err);

    // A "status" file in the script's folder has the last word.
    EXPECT_EQ(7,
              Velkor::exec_script_sync("echo 7 > status; exit 0", &out, false, false, true, false));
    EXPECT_EQ(-3, Velkor::exec_script_sync("echo '  -3 apples' > status; exit 9", nullptr, false,
                                           false, true, false));
    EXPECT_EQ(0, Velkor::exec_script_sync("echo none > status; exit 9", nullptr, false, false, true,
                                          false));

    // It runs in its own folder; with cleanup only the script goes.
    EXPECT_EQ(0, Velkor::exec_script_sync("pwd; ls", &out, false, false, true, false));
    const auto seen = lines_of(out.std_out.value_or(""));
    ASSERT_EQ(2u, seen.size());
    EXPECT_TRUE(starts_with(seen[0], Velkor::temp_dir() + "/")) << seen[0];
    EXPECT_EQ(".sh", std::filesystem::path(seen[1]).extension().string());
    EXPECT_TRUE(std::filesystem::is_directory(seen[0]));
    EXPECT_TRUE(std::filesystem::is_empty(seen[0]));

    EXPECT_EQ(0, Velkor::exec_script_sync("pwd", &out, false, false, false, false));
    const std::string kept_dir = lines_of(out.std_out.value_or(""))[0];
    EXPECT_EQ(1u, scripts_below(kept_dir).size());
}

TEST_F(Workspace, SyncScriptsCanShowTheirOutput) {
    Velkor::ExecOutput out;
    CaptureOutput capture;
    const int result = Velkor::exec_script_sync("echo shown; echo warned >&2; exit 2", &out, false,
                                                false, true, true);
    capture.finish();
    EXPECT_EQ(2, result);
    EXPECT_EQ("shown\n", capture.std_out());
    EXPECT_EQ("warned\n", capture.std_err());
    EXPECT_EQ(std::optional<std::string>(""), out.std_out);
    EXPECT_EQ(std::optional<std::string>(""), out.std_err);
}

// Without the execute bit (chmod replaced by a stub that does nothing) a script cannot start.
TEST_F(Workspace, ScriptsThatCannotStart) {
    StubPath stubs;
    stubs.add("chmod", "exit 0");

    Velkor::ExecOutput out{std::string("stale"), std::string("stale")};
    CaptureOutput capture;
    const int loud = Velkor::exec_script_sync("echo hi", &out, false, false, true, false);
    const auto loud_out = out;
    const int quiet = Velkor::exec_script_sync("echo hi", &out, true, false, true, false);
    const int shown = Velkor::exec_script_sync("echo hi", &out, true, false, true, true);
    const auto shown_out = out;
    const int async = Velkor::exec_script_async("echo hi", false);
    capture.finish();

    EXPECT_EQ(-1, loud);
    EXPECT_EQ(std::nullopt, loud_out.std_out);
    EXPECT_EQ(std::nullopt, loud_out.std_err);
    EXPECT_EQ(-1, quiet);
    EXPECT_EQ(-1, shown);
    EXPECT_EQ(std::optional<std::string>(""), shown_out.std_out);
    EXPECT_EQ(-1, async);
    EXPECT_EQ("", capture.std_out());
    const auto errors = lines_of(capture.std_err());
    ASSERT_EQ(2u, errors.size()) << capture.std_err();  // the loud run and the async start
    for (const auto& line : errors) EXPECT_TRUE(starts_with(line, "E: ")) << line;
    // Scripts that did not start stay in the workspace.
    EXPECT_EQ(4u, scripts_below(Velkor::temp_dir()).size());
}

TEST_F(Workspace, AsyncScriptsAndTheDesktopOpener) {
    const std::string marker = tmp_ / "marker";
    const int pid = Velkor::exec_script_async(
        "sleep 0.2; echo done > '" + Velkor::escape_single_quote(marker) + "'", false);
    EXPECT_GT(pid, 0);
    EXPECT_FALSE(std::filesystem::exists(marker));  // not waited for
    EXPECT_TRUE(test_support::wait_until([&] { return read_file(marker) == "done\n"; }));

    StubPath stubs;
    const std::string log = tmp_ / "opened";
    stubs.add("xdg-open", "printf '%s|' \"$#\" \"$@\" > '" + log + ".part'; mv '" + log +
                              ".part' '" + log + "'");
    const std::string file = tmp_ / "it's a \"page\" $HOME.html";
    CaptureOutput capture;
    Velkor::xdg_open(file, "");
    capture.finish();
    EXPECT_TRUE(test_support::wait_until([&] { return std::filesystem::exists(log); }));
    EXPECT_EQ("1|" + file + "|", read_file(log));
    EXPECT_EQ("", capture.std_out());
    EXPECT_EQ("", capture.std_err());
}

TEST_F(Workspace, DesktopOpenerMissingDoesNothing) {
    if (Velkor::cmd_exists("xdg-open")) GTEST_SKIP() << "this machine has an xdg-open";
    const auto before = scripts_below(Velkor::temp_dir()).size();
    CaptureOutput capture;
    Velkor::xdg_open("https://kelvane.org", "");
    capture.finish();
    EXPECT_EQ("", capture.std_out());
    EXPECT_EQ("", capture.std_err());
    EXPECT_EQ(before, scripts_below(Velkor::temp_dir()).size());
}
