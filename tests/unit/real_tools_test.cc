// Texts and edits judged by the real tools that will read or run them.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <csignal>

#include "actions/boot_manager_data.h"
#include "actions/kernel_data.h"
#include "actions/layout_data.h"
#include "actions/software_data.h"
#include "actions/theme_data.h"
#include "actions/undo_data.h"
#include "app/main_menu.h"
#include "app/startup.h"
#include "core/dialogs_data.h"
#include "core/release_data.h"
#include "core/sources_data.h"
#include "test_support.h"
#include "wizard/browser_data.h"
#include "wizard/desktop_data.h"
#include "wizard/driver_data.h"
#include "wizard/package_steps_data.h"
#include "wizard/shell_ssh_data.h"

using namespace test_support;

namespace {

// Runs `command` through sh in an 80×24 pseudo-terminal and presses Esc after each piece the
// dialog draws and after each quiet second, so that an Esc that came before the dialog read
// its keys is not lost. The exit status (-1 when killed) and everything the terminal showed.
ShellResult run_in_terminal(const std::string& command) {
    ShellResult result;
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 80;
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, &size);
    if (pid == 0) {
        setenv("TERM", "xterm", 1);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0) return result;
    char buffer[4096];
    for (int quiet_seconds = 0; quiet_seconds < 30;) {
        pollfd fd{terminal, POLLIN, 0};
        const int ready = poll(&fd, 1, 1000);
        if (ready > 0) {
            const ssize_t count = read(terminal, buffer, sizeof buffer);
            if (count <= 0) break;  // the dialog and its terminal are gone
            result.output.append(buffer, static_cast<size_t>(count));
        } else {
            ++quiet_seconds;
        }
        if (result.output.empty()) continue;  // nothing drawn yet
        if (write(terminal, "\x1b", 1) != 1) break;
    }
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    close(terminal);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace

// Every dialog the program can build, drawn by the real whiptail and cancelled with Esc: an
// argument that whiptail takes for an option fails with "unknown option" and status 1.
TEST(RealTools, EveryDialogDrawsAndCancels) {
    if (run_sh("command -v whiptail").status != 0) GTEST_SKIP() << "no whiptail";
    Manifest manifest;
    manifest.choices = "wizard: browser firefox, layout windows, theme dark";
    manifest.finished = true;
    for (int i = 0; i < 300; ++i) manifest.installed.push_back("package-" + std::to_string(i));
    manifest.removed = {"thunderbird"};
    manifest.snaps_removed = {"firefox"};
    const std::string run = "2024-05-01T09-30-00-123";
    const std::pair<std::string, const char*> rows[] = {
        {dialog_command(main_menu_dialog(true), ""), ""},
        {dialog_command(main_menu_dialog(false), ""), ""},
        {dialog_command(theme_menu_dialog(true), ""), ""},
        {dialog_command(theme_menu_dialog(false), ""), ""},
        {dialog_command(layout_menu_dialog(true), ""), ""},
        {dialog_command(layout_menu_dialog(false), ""), ""},
        {dialog_command(web_browser_dialog(true), ""), ""},
        {dialog_command(web_browser_dialog(false), ""), ""},
        {dialog_command(xanmod_menu_dialog(2), ""), ""},
        {dialog_command(refind_theme_dialog(), ""), ""},
        {dialog_command(extra_apps_dialog(), ""), ""},
        {dialog_command(undo_run_dialog({{run, run_list_line(run, &manifest, false)},
                                         {run + "9", run_list_line(run, &manifest, true)}}),
                        ""),
         ""},
        {msgbox_command(welcome_title(), welcome_text(WizardEnding::restart)), ""},
        {msgbox_command("Not Supported by CPU",
                        xanmod_refusal("linux-xanmod-x64v3", 2).value_or("")),
         ""},
        {msgbox_command("XanMod Kernel",
                        xanmod_unavailable(*find_release("22.04"), 3).value_or("")),
         "XanMod no longer publishes"},
        {msgbox_command(undo_dialog_title, no_run_text), ""},
        {yesno_command(chrome_eula_title, chrome_eula_text), ""},
        // A long list is cut to fit on 80×24: the text's last line shows.
        {yesno_command(package_question_title,
                       package_question_text(reverse_package_commands(manifest)), true),
         "No keeps them; the commands then stay on screen and in the log."},
    };
    for (const auto& [command, shown] : rows) {
        const auto result = run_in_terminal(command + " 2>&1");
        EXPECT_EQ(255, result.status) << command << "\n" << result.output;
        EXPECT_EQ(std::string::npos, result.output.find("unknown option")) << command;
        EXPECT_NE(std::string::npos, result.output.find(shown)) << command;
    }
}

// Each row writes its text to "f" in a scratch folder and runs a script there; the output must
// hold the expected piece. Rows whose tool is missing are skipped.
TEST(RealTools, TextsAndEditsReadByTheirTools) {
    const std::string bash = "bash -n f && TERM=dumb bash -c 'source ./f; ";
    const std::string fish =
        "fish -n f && mkdir -p 'h o/src' 'h ox' && HOME=\"$PWD/h o\" TERM=dumb fish -N -c 'source "
        "./f; ";
    const std::string ssh =
        " -F f | grep -E '^(port|control(master|persist)|compression|serveraliveinterval) ' | sort";
    std::string zram;
    for (const auto& cmd : zram_commands("f")) zram += cmd.substr(5) + " && ";  // without sudo
    const std::tuple<const char*, std::string, std::string, std::string> rows[] = {
        {"bash", bash_prompt_block, bash + "false; __prompt_command; echo \"$PS1\"'",
         "\\[\\033[38;5;9m\\]❯ \\[\\e[0m\\]\n"},
        {"bash", bash_prompt_block, bash + "true; eval \"$PROMPT_COMMAND\"; echo \"$PS1\"'",
         "\\[\\033[38;5;10m\\]❯ "},
        {"bash", bash_prompt_block, bash + "alias ni ll; echo \"$HISTSIZE|$HISTCONTROL\"'",
         "alias ni='sudo nala install'\nalias ll='ls -la'\n1000|ignoredups:erasedups\n"},
        {"fish", fish_prompt_block, fish + "cd ~/src; fish_prompt'", " ~/src\n❯ "},
        // A sibling folder that only starts with the home's name is not inside it.
        {"fish", fish_prompt_block, fish + "cd ~/../\"h ox\"; fish_prompt'", "/h ox\n❯ "},
        {"ssh", std::string(ssh_config_block), "ssh -G host" + ssh,
         "compression yes\ncontrolmaster auto\ncontrolpersist 600\nport 22\n"
         "serveraliveinterval 60\n"},
        {"ssh", ssh_config_with_defaults("Host work\n  Port 2222\n"), "ssh -G work" + ssh,
         "compression yes\ncontrolmaster auto\ncontrolpersist 600\nport 2222\n"},
        // Hints (such as two main categories) are not complaints.
        {"desktop-file-validate", std::string(guake_autostart_entry),
         "mv f g.desktop; desktop-file-validate g.desktop 2>&1 | grep -e error: -e warning:; "
         "echo \"clean=$?\"",
         "clean=1"},
        {"sed", "# algorithm\n#ALGO=lz4\n\n#PERCENT=50\n#SIZE=256\n# PRIORITY=100\n",
         zram + "cat f", "# algorithm\nALGO=zstd\n\nPERCENT=50\n#SIZE=256\nPRIORITY=100\n"},
    };
    for (const auto& [tool, text, script, expected] : rows) {
        if (run_sh(std::string("command -v ") + tool).status != 0) continue;
        ScratchDir dir;
        write_file(dir / "f", text);
        const auto result = run_sh("cd " + sh_quote(dir.path()) + " && " + script);
        EXPECT_NE(std::string::npos, result.output.find(expected))
            << script << "\nexpected: " << expected << "\nin: " << result.output;
    }
}

namespace {

// Repositories on a local server: one that works, one without a Release file, an unsigned one,
// one signed with a key apt was not given and one whose index answers 404. The server's pid.
std::string serve_repositories(const ScratchDir& dir) {
    const auto made = run_sh("set -e; cd " + sh_quote(dir.path()) + R"SH(
        index=site/good/dists/s/main/binary-amd64/Packages release=site/good/dists/s/Release
        mkdir -p ${index%/*} site/unsigned/dists/s site/notfound/dists/s site/unknownkey/dists/s \
            parts state/lists/partial cache/archives/partial
        printf 'Package: t\nVersion: 1\nArchitecture: all\nFilename: t.deb\nSize: 1\n' >$index
        printf 'Date: %s\nSuite: s\nArchitectures: amd64\nComponents: main\nSHA256:\n %s %s %s\n' \
            "$(date -Ru)" "$(sha256sum <$index | cut -d' ' -f1)" "$(stat -c %s $index)" \
            main/binary-amd64/Packages >$release
        cp $release site/unsigned/dists/s/ && cp $release site/notfound/dists/s/
        mkdir -m 700 gnupg && gpg="gpg --homedir gnupg --batch --quiet"
        $gpg --passphrase '' --quick-gen-key 'T <t@x.invalid>' ed25519 sign never 2>/dev/null
        $gpg --clearsign -o site/unknownkey/dists/s/InRelease $release
        gpgconf --homedir gnupg --kill all
        printf 'Dir::%s "%s";\n' Etc::SourceList "$PWD/sources.list" State "$PWD/state" \
            Cache "$PWD/cache" Etc::Trusted "$PWD/trusted.gpg" Etc::SourceParts "$PWD/parts" \
            Etc::Parts "$PWD/parts" Etc::TrustedParts "$PWD/parts" >apt.conf
        printf '%s;\n' 'Debug::NoLocking "1"' 'APT::Sandbox::User "root"' 'Acquire::Retries "0"' \
            'Acquire::Languages "none"' 'APT::Architecture "amd64"' >>apt.conf
        python3 )SH" + std::string(KELVANE_SOURCE_DIR) +
                             "/tests/tools/fixture_server.py \"$PWD/site\" \"$PWD/port\" /dev/null "
                             ">/dev/null 2>&1 & echo $!; until [ -s port ]; do sleep 0.1; done");
    return made.status == 0 ? made.output : "";
}

}  // namespace

// The real apt-get names each repository it cannot fetch, and only a repository's own fault
// takes the source out; without any repository answering nothing does.
TEST(RealTools, AptUpdateFailuresAsAptReportsThem) {
    if (run_sh("command -v apt-get && command -v gpg && command -v python3").status != 0)
        GTEST_SKIP() << "needs apt-get, gpg and python3";
    ScratchDir dir;
    const std::string server = serve_repositories(dir);
    ASSERT_FALSE(server.empty());
    const std::string base = "http://127.0.0.1:" + read_file(dir / "port");
    const std::string good = "deb [trusted=yes] " + base + "/good s main\n";
    const std::tuple<std::string, std::string, std::optional<FetchFailure>, bool> rows[] = {
        {base + "/norelease/", good, FetchFailure::no_release_file, true},
        {base + "/unsigned", good, FetchFailure::not_signed, true},
        {base + "/unknownkey", good, FetchFailure::unknown_key, true},
        {"[trusted=yes] " + base + "/notfound", good, FetchFailure::not_found, true},
        {"http://127.0.0.2:9/refused", good, std::nullopt, true},
        {"http://nonexistent.invalid/x", "deb http://127.0.0.3:9/y s main\n", std::nullopt, false},
    };
    for (const auto& [source, others, failure, reached] : rows) {
        write_file(dir / "sources.list", others + "deb " + source + " s main\n");
        const auto update = run_sh("cd " + sh_quote(dir.path()) +
                                   " && env -u http_proxy LC_ALL=C APT_CONFIG=apt.conf apt-get "
                                   "update");
        const AptUpdateReport report = parse_apt_update(update.output);
        const auto uris = source_file_uris("deb " + source + " s main");
        EXPECT_EQ(failure, source_failure(uris, report.errors)) << source << update.output;
        EXPECT_EQ(std::nullopt, source_failure(source_file_uris(good), report.errors)) << source;
        EXPECT_EQ(reached, report.reached_a_repository) << update.output;
    }
    run_sh("kill " + server);
}

// The level from CPUID is the highest one the C library's loader calls supported here.
TEST(RealTools, CpuLevelAgreesWithTheLoader) {
    const std::string help = run_sh("/lib64/ld-linux-x86-64.so.2 --help").output;
    if (help.find("x86-64-v2 (") == std::string::npos) GTEST_SKIP() << "the loader lists no levels";
    int loader_level = 1;
    for (int level = 2; level <= 4; ++level) {
        const std::string supported = "x86-64-v" + std::to_string(level) + " (supported";
        if (help.find(supported) != std::string::npos) loader_level = level;
    }
    EXPECT_EQ(loader_level, x86_64_level_from_cpuid(read_cpuid())) << help;
}
