#include "app/startup_checks.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/app_console.h"
#include "lib/commands.h"
#include "lib/files.h"
#include "test_support.h"

using namespace Velkor;

namespace {

const std::vector<std::string> supported{"22.04", "22.10"};

// The box a user sees on Debian 12, drawn by hand.
const std::string debian_box =
    "\n"
    "┌┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┐\n"
    "┊ This distribution is not supported:    ┊\n"
    "┊  - Debian GNU/Linux 12 (bookworm)      ┊\n"
    "┊                                        ┊\n"
    "┊ Supported distributions:               ┊\n"
    "┊  - Ubuntu 22.04                        ┊\n"
    "┊  - Ubuntu 22.10                        ┊\n"
    "┊                                        ┊\n"
    "└┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┘\n";

std::string quoted(const std::string& text) { return "'" + escape_single_quote(text) + "'"; }

}  // namespace

TEST(OsRelease, RealFilesAndTheSupportDecision) {
    struct Case {
        const char* file;
        const char* version_id;
        const char* pretty_name;
        const char* name;
        const char* id;
        bool supported;
    };
    const Case cases[] = {
        {"ubuntu-22.04", "22.04", "Ubuntu 22.04.3 LTS", "Ubuntu", "ubuntu", true},
        {"ubuntu-22.10", "22.10", "Ubuntu 22.10", "Ubuntu", "ubuntu", true},
        {"ubuntu-22.04.1", "22.04.1", "Ubuntu 22.04.1 LTS", "Ubuntu", "ubuntu", false},
        {"ubuntu-20.04", "20.04", "Ubuntu 20.04.6 LTS", "Ubuntu", "ubuntu", false},
        {"debian-12", "12", "Debian GNU/Linux 12 (bookworm)", "Debian GNU/Linux", "debian", false},
        {"derivative-22.04", "22.04", "Corvid Desktop 22.04", "Corvid Desktop", "ubuntu", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string text = fixture(std::string("os-release/") + c.file);
        ASSERT_FALSE(text.empty());
        const OsRelease release = parse_os_release(text);
        EXPECT_EQ(c.version_id, release.version_id);
        EXPECT_EQ(c.pretty_name, release.pretty_name);
        EXPECT_EQ(c.name, release.name);
        EXPECT_EQ(c.id, release.id);
        EXPECT_EQ(c.supported, distribution_supported(release, supported));
    }
    // The 20.04 file lists NAME first: the debug lines follow the file, not the field order.
    const auto found = parse_os_release(fixture("os-release/ubuntu-20.04")).found;
    const std::vector<std::pair<std::string, std::string>> expected{
        {"NAME", "Ubuntu"},
        {"ID", "ubuntu"},
        {"PRETTY_NAME", "Ubuntu 20.04.6 LTS"},
        {"VERSION_ID", "20.04"}};
    EXPECT_EQ(expected, found);
}

TEST(OsRelease, OddAndHostileText) {
    auto supported_text = [](const std::string& text) {
        return distribution_supported(parse_os_release(text), supported);
    };
    // Empty, malformed and binary text give empty fields and are refused.
    for (const std::string& text :
         std::vector<std::string>{"", "\n\n", "garbage without separators\n", "==\n=\n",
                                  std::string("\0\xff\xfe=", 4)}) {
        const OsRelease release = parse_os_release(text);
        EXPECT_EQ("", release.version_id);
        EXPECT_EQ("", release.id);
        EXPECT_EQ("", release.name);
        EXPECT_FALSE(supported_text(text));
    }
    EXPECT_TRUE(supported_text("ID=ubuntu\nNAME=Ubuntu\nVERSION_ID=22.04\n"));
    // Letter case of ID and NAME does not matter, of keys it does.
    EXPECT_TRUE(supported_text("ID=UBUNTU\nNAME=\"uBuNtU\"\nVERSION_ID=\"22.10\""));
    EXPECT_FALSE(supported_text("ID=ubuntu\nNAME=Ubuntu\nversion_id=22.04\n"));
    EXPECT_FALSE(supported_text("id=ubuntu\nNAME=Ubuntu\nVERSION_ID=22.04\n"));
    // Single quotes stay and so fail; blanks around key and value go, but not inside quotes.
    EXPECT_EQ("'ubuntu'", parse_os_release("ID='ubuntu'").id);
    EXPECT_FALSE(supported_text("ID='ubuntu'\nNAME=Ubuntu\nVERSION_ID=22.04\n"));
    EXPECT_TRUE(supported_text("  ID =  ubuntu \r\nNAME\t=Ubuntu\r\nVERSION_ID= 22.04\r\n"));
    EXPECT_FALSE(supported_text("ID=ubuntu\nNAME=Ubuntu\nVERSION_ID=\"22.04 \"\n"));
    EXPECT_FALSE(supported_text("ID=ubuntu\nNAME=Ubuntu\nVERSION_ID=22.04.1\n"));
    EXPECT_FALSE(supported_text("ID=ubuntu\nNAME=Ubuntu\nVERSION_ID=22\n"));
    // A value loses everything from its own "=" on; unknown keys are ignored.
    EXPECT_EQ("Release", parse_os_release("PRETTY_NAME=\"Release=2\"").pretty_name);
    EXPECT_EQ("", parse_os_release("PRETTY_NAME_X=x\nXID=ubuntu").pretty_name);
    // A later line overwrites an earlier one, and both are reported.
    const OsRelease twice = parse_os_release("ID=debian\nID=ubuntu\n");
    EXPECT_EQ("ubuntu", twice.id);
    EXPECT_EQ(2u, twice.found.size());
    EXPECT_FALSE(supported_text("ID=ubuntu\nNAME=Ubuntu\nVERSION_ID=22.04\nID=debian\n"));
    EXPECT_FALSE(supported_text("ID=\nNAME=Ubuntu\nVERSION_ID=22.04\n"));
}

TEST(OsRelease, NotSupportedBoxAsTheUserSeesIt) {
    AppConsole app{AppConsole::SkipStartupChecks{}};
    testing::internal::CaptureStdout();
    app.log_header(not_supported_text("Debian GNU/Linux 12 (bookworm)", supported));
    EXPECT_EQ(debian_box, testing::internal::GetCapturedStdout());

    EXPECT_EQ(
        "This distribution is not supported:   \n - \n\nSupported distributions:\n"
        " - Ubuntu 22.04\n - Ubuntu 22.10\n",
        not_supported_text("", supported));
}

TEST(CpuLevel, RealCpuinfoFiles) {
    const std::pair<const char*, int> cases[] = {
        {"v1", 1}, {"v2", 2}, {"v3", 3}, {"v4", 4}, {"v3-missing-v2-flag", 1}};
    for (const auto& [file, level] : cases) {
        SCOPED_TRACE(file);
        const std::string flags = cpuinfo_flags(fixture(std::string("cpuinfo/") + file));
        EXPECT_EQ(0u, flags.rfind("fpu vme de pse tsc", 0));
        EXPECT_EQ(level, x86_64_level(cpu_flag_set(flags)));
    }
    // Only the "flags" line counts, not "vmx flags" or "bugs".
    const std::string v4_flags = cpuinfo_flags(fixture("cpuinfo/v4"));
    EXPECT_EQ(std::string::npos, v4_flags.find("preemption_timer"));
    EXPECT_EQ(std::string::npos, v4_flags.find("meltdown"));
    EXPECT_EQ("arch_capabilities", v4_flags.substr(v4_flags.size() - 17));
}

TEST(CpuLevel, EveryRequiredFlagCounts) {
    // Take each flag of the psABI levels away from a v4 CPU: the level falls below the
    // level that needs it.
    const std::pair<int, std::vector<std::string>> levels[] = {
        {2, {"cx16", "lahf_lm", "popcnt", "pni", "sse4_1", "sse4_2", "ssse3"}},
        {3, {"avx", "avx2", "bmi1", "bmi2", "f16c", "fma", "abm", "movbe", "xsave"}},
        {4, {"avx512f", "avx512bw", "avx512cd", "avx512dq", "avx512vl"}},
    };
    const std::set<std::string> v4 = cpu_flag_set(cpuinfo_flags(fixture("cpuinfo/v4")));
    ASSERT_EQ(4, x86_64_level(v4));
    for (const auto& [level, flags] : levels) {
        for (const auto& flag : flags) {
            SCOPED_TRACE(flag);
            std::set<std::string> without = v4;
            ASSERT_EQ(1u, without.erase(flag));
            EXPECT_EQ(level - 1, x86_64_level(without));
        }
    }
    // All v4 flags but none of v2: still the baseline.
    EXPECT_EQ(1, x86_64_level(cpu_flag_set(
                     "avx avx2 bmi1 bmi2 f16c fma abm movbe xsave avx512f avx512bw avx512cd "
                     "avx512dq avx512vl")));
}

TEST(CpuLevel, OddCpuinfoText) {
    EXPECT_EQ("", cpuinfo_flags(""));
    EXPECT_EQ("", cpuinfo_flags("processor\t: 0\nflags without colon\n"));
    EXPECT_EQ(1, x86_64_level(cpu_flag_set("")));
    // The first usable flags line wins, upper case is folded, runs of blanks are harmless.
    const std::string text =
        "flags\nFlags\t: avx512f\nflags\t\t:  CX16  lahf_lm popcnt pni SSE4_1 sse4_2 ssse3 \n"
        "flags\t: avx avx2 bmi1 bmi2 f16c fma abm movbe xsave\n";
    EXPECT_EQ("CX16  lahf_lm popcnt pni SSE4_1 sse4_2 ssse3", cpuinfo_flags(text));
    const std::set<std::string> expected{"cx16",   "lahf_lm", "popcnt", "pni",
                                         "sse4_1", "sse4_2",  "ssse3"};
    EXPECT_EQ(expected, cpu_flag_set(cpuinfo_flags(text)));
    EXPECT_EQ(2, x86_64_level(cpu_flag_set(cpuinfo_flags(text))));
}

// The dynamic loader decides which optimised libraries this CPU may load; our level must agree.
TEST(CpuLevel, ThisMachineAgreesWithTheDynamicLoader) {
    const std::string loader = "/lib64/ld-linux-x86-64.so.2";
    if (!std::filesystem::exists(loader)) GTEST_SKIP() << "no x86-64 loader";
    ExecOutput output;
    exec_sync(loader + " --help", &output);
    const auto lines = string_split(output.std_out.value_or(""), "\n");
    int loader_level = 0;
    bool listed = false;
    for (const auto& line : lines) {
        if (line.rfind("Subdirectories of glibc-hwcaps directories", 0) == 0) {
            listed = true;
            loader_level = 1;
            continue;
        }
        if (!listed) continue;
        if (string_strip(line).empty()) break;
        const auto match = regex_match("^\\s*x86-64-v([234]) \\(supported", line, false);
        if (match) loader_level = std::max(loader_level, std::stoi((*match)[1]));
    }
    if (!listed) GTEST_SKIP() << "the loader lists no glibc-hwcaps levels";

    AppConsole app{AppConsole::SkipStartupChecks{}};
    app.check_cpu_level();
    EXPECT_EQ(loader_level, app.cpu_level) << app.cpu_flags;
    EXPECT_FALSE(app.cpu_flags.empty());
}

TEST(StartupChecks, RootIsRefused) {
    AppConsole app{AppConsole::SkipStartupChecks{}};
    testing::internal::CaptureStderr();
    if (geteuid() == 0) {
        try {
            app.check_not_root();
            ADD_FAILURE() << "root was not refused";
        } catch (const AppExit& request) {
            EXPECT_EQ(1, request.status);
        }
        EXPECT_EQ(
            "E: Do not run this program as root or with sudo: start it as your desktop user; it "
            "asks for the administrator password when it needs it.\n",
            testing::internal::GetCapturedStderr());
    } else {
        EXPECT_NO_THROW(app.check_not_root());
        EXPECT_EQ("", testing::internal::GetCapturedStderr());
    }
}

// The program itself, as root: one line, status 1, and not even a workspace left behind.
TEST(StartupChecks, ProgramRefusesRootBeforeCreatingAnything) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root";
    TempDir tmp;
    ExecOutput output;
    const int status = exec_sync("env TMPDIR=" + quoted(tmp.path()) +
                                     " HOME=" + quoted(tmp.path()) + " " + quoted(KELVANE_BINARY),
                                 &output);
    EXPECT_EQ(1, status);
    EXPECT_EQ("", output.std_out.value_or("?"));
    EXPECT_EQ(
        "E: Do not run this program as root or with sudo: start it as your desktop user; it "
        "asks for the administrator password when it needs it.\n",
        output.std_err.value_or(""));
    EXPECT_TRUE(std::filesystem::is_empty(tmp.path()));
}

// An ordinary user on this (unsupported) Debian machine gets the box and status 1.
TEST(StartupChecks, ProgramRefusesAnUnsupportedSystem) {
    if (geteuid() != 0 || !cmd_exists("setpriv")) GTEST_SKIP() << "needs root and setpriv";
    const OsRelease host = parse_os_release(file_read("/etc/os-release").value_or(""));
    if (host.pretty_name != "Debian GNU/Linux 12 (bookworm)") GTEST_SKIP() << "not Debian 12";

    TempDir tmp;
    std::filesystem::permissions(tmp.path(), std::filesystem::perms::all);
    // Stand-ins for required tools this machine lacks, so that the distribution is checked.
    const std::string stubs = tmp.file("stubs");
    std::filesystem::create_directory(stubs);
    std::filesystem::permissions(stubs, std::filesystem::perms::all);
    for (const auto& tool : required_tools()) {
        if (!cmd_exists(tool)) write_executable(stubs + "/" + tool, "#!/bin/sh\nexit 0\n");
    }
    const std::string path = stubs + ":" + std::getenv("PATH");
    ExecOutput output;
    const int status = exec_sync("env TMPDIR=" + quoted(tmp.path()) +
                                     " HOME=" + quoted(tmp.path()) + " PATH=" + quoted(path) +
                                     " setpriv --reuid=65534 --regid=65534 --clear-groups " +
                                     quoted(KELVANE_BINARY),
                                 &output);
    EXPECT_EQ(1, status);
    EXPECT_EQ(debian_box, output.std_out.value_or(""));
    const std::string errors = output.std_err.value_or("");
    EXPECT_EQ(std::string::npos, errors.find("missing")) << errors;
    // The home comes from the account database, not from $HOME.
    ExecOutput account;
    exec_sync("getent passwd 65534", &account);
    const auto fields = string_split(account.std_out.value_or(""), ":");
    if (fields.size() >= 6 && !std::filesystem::exists(fields[5])) {
        EXPECT_NE(std::string::npos, errors.find(fields[5])) << errors;
    }
    EXPECT_FALSE(std::filesystem::exists(tmp.file(".cache")));
}

TEST(StartupChecks, MissingToolsAreNamedInOrder) {
    TempDir bin;
    const std::string which = get_cmd_path("which");
    ASSERT_FALSE(which.empty());
    std::filesystem::create_symlink(which, bin.file("which"));
    auto stub = [&](const std::string& tool) {
        write_executable(bin.file(tool), "#!/bin/sh\nexit 0\n");
    };
    for (const char* tool : {"cp", "rm", "touch", "ln", "grep", "find", "awk", "apt", "wget"}) {
        stub(tool);
    }
    ScopedEnv path("PATH", bin.path());
    AppConsole app{AppConsole::SkipStartupChecks{}};

    testing::internal::CaptureStderr();
    try {
        app.check_dependencies();
        ADD_FAILURE() << "missing tools were accepted";
    } catch (const AppExit& request) {
        EXPECT_EQ(1, request.status);
    }
    EXPECT_EQ(
        "E: Some required tools are missing: rsync, whiptail\n"
        "E: Install packages for the missing tools and try again.\n",
        testing::internal::GetCapturedStderr());

    stub("rsync");
    stub("whiptail");
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(app.check_dependencies());
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
}

// Without a home every per-user file would land below "/": the run stops instead.
TEST(StartupChecks, UnknownUserStopsTheRun) {
    ScopedEnv uid("PKEXEC_UID", "2147483000");
    AppConsole app{AppConsole::SkipStartupChecks{}};
    testing::internal::CaptureStderr();
    try {
        app.check_user();
        ADD_FAILURE() << "an unknown user was accepted";
    } catch (const AppExit& request) {
        EXPECT_EQ(1, request.status);
    }
    EXPECT_EQ(
        "E: Username not found for uid: 2147483000\n"
        "E: Home directory not found for user: \n",
        testing::internal::GetCapturedStderr());
    EXPECT_EQ("", app.cache_dir);
    EXPECT_EQ("", app.done_marker_path);
    EXPECT_EQ("/home/ann/.cache/velkor-post-install.done", done_marker_of("/home/ann"));
    EXPECT_EQ("/home/ann/.cache", cache_dir_of("/home/ann"));
}
