#include "wizard/wizard_texts.h"

#include <gtest/gtest.h>

#include "wizard_test_support.h"

using namespace wizard_test;

TEST(WizardTexts, BashrcAppendLeavesNoLineBreakAtEitherEnd) {
    const std::string merged = bashrc_with_prompt("\n\n# user settings\nalias x='y'\n");
    EXPECT_EQ(0u, merged.find("# user settings\nalias x='y'\n\nPROMPT_COMMAND=__prompt_command\n"));
    EXPECT_NE('\n', merged.back());
    EXPECT_EQ("export HISTCONTROL=ignoredups:erasedups", merged.substr(merged.rfind('\n') + 1));

    // A file without a final line break must not glue its last line to the block.
    EXPECT_EQ(0u, bashrc_with_prompt("fi").find("fi\nPROMPT_COMMAND=__prompt_command\n"));
    EXPECT_EQ(0u, bashrc_with_prompt("").find("PROMPT_COMMAND=__prompt_command\n"));
    // Only the ends are trimmed: blank lines inside the user's file survive.
    EXPECT_EQ(0u, bashrc_with_prompt("a\n\n\nb\r\n").find("a\n\n\nb\r\n\nPROMPT_COMMAND"));
}

TEST(WizardTexts, SshBlockGoesInFrontOfTheOldConfig) {
    EXPECT_EQ(
        "Host *\n"
        "  ServerAliveInterval 60\n"
        "  ControlPath ~/.ssh/controlmasters/%r@%h:%p\n"
        "  ControlMaster auto\n"
        "  ControlPersist 10m\n"
        "  Compression yes\n"
        "Host work\n"
        "  User me",
        ssh_config_with_defaults("Host work\n  User me\n\n"));
    // Leading blank lines of the old text stay where they were, after the block.
    EXPECT_EQ("  Compression yes\n\n\nHost a",
              ssh_config_with_defaults("\n\nHost a")
                  .substr(ssh_config_with_defaults("\n\nHost a").find("  Compression yes")));
    EXPECT_EQ(0u, ssh_config_with_defaults("").find("Host *\n"));
    EXPECT_NE('\n', ssh_config_with_defaults("").back());
}

TEST(WizardTexts, DialogTextsLineByLine) {
    EXPECT_EQ("Kelvane ~ kelvane.org", welcome_title());
    EXPECT_EQ(
        "This wizard will execute some common post-install tasks.\n\nSystem will reboot after "
        "installation is complete.\nSave your work and close any open applications.\n\nPress "
        "Enter to continue...\n",
        welcome_text);
    EXPECT_EQ(
        "By downloading Google Chrome, you agree to the Google Terms of Service\n"
        "and Chrome and Chrome OS Additional Terms of Service.\n"
        " - https://policies.google.com/terms\n"
        " - https://www.google.com/chrome/terms/\n"
        " \n"
        "Do you agree to the Google Chrome EULA ?\n",
        chrome_eula_text);
}

// bash itself parses the block and runs the prompt function after a failing and a
// succeeding command.
TEST(WizardTexts, BashBlockRunsInBash) {
    WIZARD_REQUIRE_TOOL("bash");
    ScratchDir dir;
    const std::string rc = dir.path() + "/bashrc";
    write_file(rc, std::string(bash_prompt_block));
    EXPECT_EQ(0, run_sh("bash -n " + sh_quote(rc)).status);

    const std::string prefix = "TERM=dumb bash -c 'source \"$0\"; ";
    const auto failed =
        run_sh(prefix + "false; eval \"$PROMPT_COMMAND\"; printf %s \"$PS1\"' " + sh_quote(rc));
    ASSERT_EQ(0, failed.status) << failed.output;
    EXPECT_EQ(
        "\\n\\[\\]\\[\\033[38;5;179m\\]\\T\\[\\e[0m\\] \\[\\033[38;5;11m\\]\\u\\[\\e[0m\\]"
        "\\[\\033[38;5;11m\\]@\\[\\e[0m\\]\\[\\033[38;5;11m\\]\\h\\[\\e[0m\\] "
        "\\[\\033[38;5;14m\\]\\w\\[\\e[0m\\]\\n\\[\\033[38;5;9m\\]❯ \\[\\e[0m\\]",
        failed.output);

    const auto passed =
        run_sh(prefix + "true; __prompt_command; printf %s \"$PS1\"' " + sh_quote(rc));
    EXPECT_NE(std::string::npos, passed.output.find("\\[\\033[38;5;10m\\]❯ ")) << passed.output;

    const auto settings = run_sh(prefix + "alias ni add-ppa ll; echo \"$GOPATH|$HISTSIZE|" +
                                 "$HISTCONTROL|$PROMPT_COMMAND\"' " + sh_quote(rc));
    EXPECT_EQ(
        "alias ni='sudo nala install'\nalias add-ppa='sudo add-apt-repository -y'\n"
        "alias ll='ls -la'\n" +
            std::string(getenv("HOME") ? getenv("HOME") : "") +
            "/go|1000|ignoredups:erasedups|__prompt_command\n",
        settings.output);
}

TEST(WizardTexts, FishBlockParsesAndShowsHomeAsTilde) {
    WIZARD_REQUIRE_TOOL("fish");
    ScratchDir dir;
    const std::string home = dir.path() + "/home with blank";
    const std::string prompt = dir.path() + "/fish_prompt.fish";
    write_file(prompt, std::string(fish_prompt_block));
    ASSERT_EQ(0, run_sh("mkdir -p " + sh_quote(home + "/src") + " " + sh_quote(home + "x")).status);
    EXPECT_EQ(0, run_sh("fish -n " + sh_quote(prompt)).status);

    const std::string fish = "HOME=" + sh_quote(home) + " TERM=dumb fish -N -c ";
    const std::string source = "source " + sh_quote(prompt) + "; ";
    const auto in_sub = run_sh(fish + sh_quote(source + "cd ~/src; fish_prompt"));
    EXPECT_NE(std::string::npos, in_sub.output.find(" ~/src\n❯ ")) << in_sub.output;
    EXPECT_EQ('\n', in_sub.output.front());
    // fish sets $USER itself from the account; the host follows the at sign.
    EXPECT_NE(std::string::npos, in_sub.output.find("@")) << in_sub.output;

    // A sibling folder that only starts with the home's name is not inside it.
    const auto sibling =
        run_sh(fish + sh_quote(source + "cd ~/../\"home with blankx\"; fish_prompt"));
    EXPECT_NE(std::string::npos, sibling.output.find(" " + home + "x\n❯ ")) << sibling.output;

    const auto aliases =
        run_sh(fish + sh_quote(source + "functions -q ni ll add-ppa; echo $status"));
    EXPECT_EQ("0\n", aliases.output);
}

TEST(WizardTexts, SshConfigAcceptedBySsh) {
    WIZARD_REQUIRE_TOOL("ssh");
    ScratchDir dir;
    const std::string fresh = dir.path() + "/fresh";
    const std::string merged = dir.path() + "/merged";
    write_file(fresh, std::string(ssh_config_block));
    write_file(merged, ssh_config_with_defaults("Host work\n  User someone\n  Port 2222\n"));
    chmod(fresh.c_str(), 0600);
    chmod(merged.c_str(), 0600);
    for (const auto& config : {fresh, merged}) {
        const auto shown = run_sh("ssh -G somehost -F " + sh_quote(config));
        ASSERT_EQ(0, shown.status) << shown.output;
        for (const char* line :
             {"\ncontrolmaster auto\n", "\ncontrolpersist 600\n", "\ncompression yes\n",
              "\nserveraliveinterval 60\n", "@somehost:22\n"}) {
            EXPECT_NE(std::string::npos, shown.output.find(line)) << config << ": " << line;
        }
    }
    const auto work = run_sh("ssh -G work -F " + sh_quote(merged));
    EXPECT_NE(std::string::npos, work.output.find("\nuser someone\n")) << work.output;
    EXPECT_NE(std::string::npos, work.output.find("\nport 2222\n")) << work.output;
}

TEST(WizardTexts, GuakeAutostartEntryValidates) {
    WIZARD_REQUIRE_TOOL("desktop-file-validate");
    ScratchDir dir;
    const std::string entry = dir.path() + "/guake.desktop";
    write_file(entry, std::string(guake_autostart_entry));
    const auto checked = run_sh("desktop-file-validate " + sh_quote(entry));
    EXPECT_EQ(0, checked.status) << checked.output;
    // Hints (such as the two main categories the packaged entry has) are not complaints.
    EXPECT_EQ(std::string::npos, checked.output.find("error:")) << checked.output;
    EXPECT_EQ(std::string::npos, checked.output.find("warning:")) << checked.output;
}
