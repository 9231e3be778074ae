// Texts, edits and delivered scripts judged by the real tools that will read or run them.
#include <gtest/gtest.h>

#include "lib/files.h"
#include "test_support.h"
#include "wizard/wizard_commands.h"
#include "wizard/wizard_texts.h"

using namespace test_support;

namespace {

const std::string data_dir = std::string(KELVANE_SOURCE_DIR) + "/data";

// Runs `command` with the text in a scratch file "$F"; the result of the last command.
ShellResult with_file(std::string_view text, const std::string& command) {
    ScratchDir dir;
    write_file(dir / "f", text, 0600);
    return run_sh("export F=" + sh_quote(dir / "f") + "; cd " + sh_quote(dir.path()) + "; " +
                  command);
}

void expect_has(const ShellResult& result, const std::string& needed) {
    EXPECT_NE(std::string::npos, result.output.find(needed)) << needed << " in:\n" << result.output;
}

}  // namespace

TEST(RealTools, ShellBlocksRunInBashAndFish) {
    REQUIRE_TOOL("bash");
    const std::string bash = "TERM=dumb bash -c 'source \"$F\"; ";
    EXPECT_EQ(0, with_file(bash_prompt_block, "bash -n \"$F\"").status);
    expect_has(with_file(bash_prompt_block, bash + "false; eval \"$PROMPT_COMMAND\"; echo $PS1'"),
               "\\[\\033[38;5;9m\\]❯ ");
    expect_has(with_file(bash_prompt_block, bash + "true; __prompt_command; echo \"$PS1\"'"),
               "\\[\\033[38;5;10m\\]❯ ");
    EXPECT_EQ("alias ni='sudo nala install'\nalias ll='ls -la'\n1000|ignoredups:erasedups\n",
              with_file(bash_prompt_block, bash + "alias ni ll; echo \"$HISTSIZE|$HISTCONTROL\"'")
                  .output);

    REQUIRE_TOOL("fish");
    // A sibling folder that only starts with the home's name is not inside it.
    const std::string fish =
        "mkdir -p 'h o/src' 'h ox' && HOME=\"$PWD/h o\" TERM=dumb fish -N -c 'source \"$F\"; ";
    EXPECT_EQ(0, with_file(fish_prompt_block, "fish -n \"$F\"").status);
    expect_has(with_file(fish_prompt_block, fish + "cd ~/src; fish_prompt'"), " ~/src\n❯ ");
    expect_has(with_file(fish_prompt_block, fish + "cd ~/../\"h ox\"; fish_prompt'"), "/h ox\n❯ ");
    EXPECT_EQ(
        "0\n",
        with_file(fish_prompt_block, fish + "functions -q ni ll add-ppa; echo $status'").output);
}

TEST(RealTools, SshAndDesktopEntryAcceptTheirFiles) {
    REQUIRE_TOOL("ssh");
    for (const std::string& config :
         {std::string(ssh_config_block), ssh_config_with_defaults("Host work\n  Port 2222\n")}) {
        const auto shown = with_file(config, "ssh -G somehost -F \"$F\"");
        ASSERT_EQ(0, shown.status) << shown.output;
        for (const char* line : {"\ncontrolmaster auto\n", "\ncontrolpersist 600\n",
                                 "\ncompression yes\n", "\nserveraliveinterval 60\n"})
            expect_has(shown, line);
    }
    expect_has(
        with_file(ssh_config_with_defaults("Host work\n  Port 2222\n"), "ssh -G work -F \"$F\""),
        "\nport 2222\n");

    REQUIRE_TOOL("desktop-file-validate");
    const auto checked =
        with_file(guake_autostart_entry, "mv f g.desktop; desktop-file-validate g.desktop");
    EXPECT_EQ(0, checked.status) << checked.output;
    EXPECT_EQ(std::string::npos, checked.output.find("error:")) << checked.output;
    EXPECT_EQ(std::string::npos, checked.output.find("warning:")) << checked.output;
}

// The edits run with the real sed on files as the packages ship them; other lines survive.
TEST(RealTools, ZramAndDefaultApplicationEdits) {
    ScratchDir dir;
    write_file(dir / "zram", "# algorithm\n#ALGO=lz4\n\n#PERCENT=50\n#SIZE=256\n# PRIORITY=100\n");
    for (const auto& cmd : zram_commands(dir / "zram")) EXPECT_EQ(0, run_sh(cmd.substr(5)).status);
    EXPECT_EQ("# algorithm\nALGO=zstd\n\nPERCENT=50\n#SIZE=256\nPRIORITY=100\n",
              read_file(dir / "zram"));

    write_file(dir / "mimeapps.list",
               "[Default Applications]\ntext/plain=org.gnome.TextEditor.desktop\n"
               "audio/mpeg=rhythmbox.desktop\nvideo/mp4=org.gnome.Totem.desktop\n"
               "image/png=org.gnome.eog.desktop\n");
    const auto commands = mimeapps_commands(dir / "mimeapps.list");
    for (size_t i = 1; i < commands.size(); ++i) EXPECT_EQ(0, run_sh(commands[i]).status);
    EXPECT_EQ(
        "[Default Applications]\ntext/plain=org.gnome.gedit.desktop\naudio/mpeg=vlc.desktop\n"
        "video/mp4=vlc.desktop\nimage/png=org.gnome.eog.desktop\n",
        read_file(dir / "mimeapps.list"));
}

// The installer runs from a stand-in curl; a failed download must fail the command.
TEST(RealTools, DebGetInstallerRunsOnlyAWholeDownload) {
    StubPath stubs;
    stubs.add("sudo", "[ \"$1\" = -E ] && shift\nexec \"$@\"");
    stubs.add("curl", "echo 'echo partial'\nexit 22");
    const std::string run = "sh -c " + sh_quote(deb_get_installer_command);
    const auto failed = run_sh(run);
    EXPECT_NE(0, failed.status);
    EXPECT_EQ("", failed.output);
    stubs.add("curl", "echo \"echo ran: \\$*; echo url: $*\"");
    EXPECT_EQ(
        "ran: install deb-get\n"
        "url: -fsSL https://raw.githubusercontent.com/wimpysworld/deb-get/main/deb-get\n",
        run_sh(run).output);
}

// --print-uris only lists what an update would fetch: no network, but a full parse.
TEST(RealTools, AptReadsTheSourcesAndPreferences) {
    REQUIRE_TOOL("apt-get");
    ScratchDir dir;
    const std::string s = sh_quote(dir.path()), d = sh_quote(data_dir);
    ASSERT_EQ(0, run_sh("cd " + s +
                        " && mkdir -p sources prefs lists/partial cache/archives/partial"
                        " && cp " +
                        d + "/nala/*.sources sources/ && cp " + d + "/nala/*.pref " + d +
                        "/firefox/*.pref prefs/")
                     .status);
    const std::string options = " -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts=" + s +
                                "/sources -o Dir::Etc::Preferences=/dev/null "
                                "-o Dir::Etc::PreferencesParts=" +
                                s + "/prefs -o Dir::State::Lists=" + s +
                                "/lists -o Dir::Cache=" + s + "/cache";
    const auto uris = run_sh("apt-get" + options + " update --print-uris");
    EXPECT_EQ(0, uris.status) << uris.output;
    expect_has(uris, "'https://deb.volian.org/volian/dists/scar/InRelease'");
    EXPECT_EQ(std::string::npos, uris.output.find("E: ")) << uris.output;
    EXPECT_EQ("", run_sh("apt-cache" + options + " policy 2>&1 >/dev/null").output);
}

// The delivered theme script, run for real against a local theme repository and a fake ESP.
TEST(RealTools, BootManagerThemeScript) {
    REQUIRE_TOOL("git");
    const std::string script = data_dir + "/refind/install.sh";
    if (run_sh("command -v shellcheck").status == 0) {
        EXPECT_EQ("", run_sh("shellcheck " + sh_quote(script)).output);
    }
    ScratchDir root;
    const std::string repo = root / "repo", esp = root / "esp",
                      conf = esp + "/EFI/refind/refind.conf";
    const std::string theme_dir = esp + "/EFI/refind/themes/refind-theme-regular";
    const std::string include = "include themes/refind-theme-regular/theme.conf";
    const std::string p = "themes/refind-theme-regular/icons/128-48/";
    const std::string light = "banner " + p + "bg.png\n#banner " + p +
                              "bg_dark.png\nselection_big " + p +
                              "selection-big.png\n#selection_big " + p + "selection_dark-big.png\n";
    const std::string dark = "#banner " + p + "bg.png\nbanner " + p +
                             "bg_dark.png\n#selection_big " + p +
                             "selection-big.png\nselection_big " + p + "selection_dark-big.png\n";
    ASSERT_TRUE(Velkor::file_write(repo + "/icons/128-48/arrow_right.png", "arrow"));
    ASSERT_TRUE(Velkor::file_write(
        repo + "/theme.conf", Velkor::string_replace(light, "#selection_big", "# selection_big")));
    const std::string commit =
        " && git -c user.name=t -c user.email=t@example.invalid commit -qm x";
    ASSERT_EQ(0, run_sh("cd " + sh_quote(repo) + " && git init -q && git add -A" + commit).status);
    auto install = [&](const std::string& args, const std::string& from) {
        return run_sh("KELVANE_ESP_ROOT=" + sh_quote(esp) + " KELVANE_REFIND_THEME_REPO=" +
                      sh_quote(from) + " bash " + sh_quote(script) + " " + args + " >/dev/null");
    };
    // Failures leave the configuration alone and say why.
    expect_has(install("dark", repo), "no refind.conf");
    ASSERT_TRUE(Velkor::file_write(conf, "  " + include + "\ntimeout 20\n#" + include + "\n" +
                                             include + "  \n#use_nvram false"));
    const std::string conf_text =
        "timeout 20\n#" + include + "\n#use_nvram false\n" + include + "\n";
    for (const auto& [args, from, message] : {std::tuple{"", repo, "usage"},
                                              {"light dark", repo, "usage"},
                                              {"blue", repo, "unknown theme 'blue'"},
                                              {"dark", root / "none", "cannot fetch the theme"}})
        expect_has(install(args, from), message);
    EXPECT_FALSE(Velkor::path_exists(theme_dir));
    EXPECT_EQ(0u, read_file(conf).find("  " + include + "\ntimeout 20\n"));
    // Include lines already there go, a commented one stays, one lands at the end, once.
    for (const auto& [theme, theme_conf] :
         {std::pair{"dark", dark}, {"light", light}, {"dark", dark}}) {
        const auto installed = install(theme, repo);
        ASSERT_EQ(0, installed.status) << installed.output;
        EXPECT_EQ(theme_conf, read_file(theme_dir + "/theme.conf")) << theme;
        EXPECT_EQ(conf_text, read_file(conf)) << theme;
    }
    EXPECT_EQ("arrow", read_file(theme_dir + "/icons/128-48/arrow_right.png"));
    EXPECT_FALSE(Velkor::path_exists(theme_dir + "/.git"));
    ASSERT_EQ(0, run_sh("cd " + sh_quote(repo) + " && git rm -rq icons" + commit).status);
    expect_has(install("dark", repo), "no icons/128-48");
}
