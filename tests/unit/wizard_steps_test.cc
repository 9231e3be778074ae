// Wizard steps that only touch the user's home, run in-process against a scratch home.
#include <gtest/gtest.h>

#include "app/app_console.h"
#include "wizard/wizard_texts.h"
#include "wizard_test_support.h"

using namespace wizard_test;

namespace {

struct Output {
    std::string out;
    std::string err;
};

template <class Step>
Output capture(Step step) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    step();
    return {::testing::internal::GetCapturedStdout(), ::testing::internal::GetCapturedStderr()};
}

class WizardSteps : public ::testing::Test {
   protected:
    WizardSteps() : app(AppConsole::SkipStartupChecks{}) {
        home = scratch.path() + "/home o'k";
        run_sh("mkdir -p " + sh_quote(home));
        app.user_home = home;
    }
    ScratchDir scratch;
    std::string home;
    AppConsole app;
};

}  // namespace

TEST_F(WizardSteps, BashPromptCreatedAppendedOrLeftAlone) {
    const std::string rc = home + "/.bashrc";
    auto created = capture([&] { app.update_bash_prompt(); });
    EXPECT_NE(std::string::npos, created.out.find("File not found: " + rc + "\nCreated: " + rc));
    EXPECT_EQ(std::string(bash_prompt_block), read_file(rc));
    EXPECT_EQ(0700, file_mode(rc) & 0733);  // u+rwx on, go-wx off, whatever the umask

    // The word anywhere, even in a comment, means the prompt is there.
    write_file(rc, "# PROMPT_COMMAND is set elsewhere\n");
    auto kept = capture([&] { app.update_bash_prompt(); });
    EXPECT_NE(std::string::npos, kept.out.find("Already up-to-date\n"));
    EXPECT_EQ("# PROMPT_COMMAND is set elsewhere\n", read_file(rc));

    write_file(rc, "alias x='y'\n");
    auto updated = capture([&] { app.update_bash_prompt(); });
    EXPECT_NE(std::string::npos, updated.out.find("Updated: " + rc + "\n"));
    EXPECT_EQ(bashrc_with_prompt("alias x='y'\n"), read_file(rc));
}

TEST_F(WizardSteps, UnreadableFilesAreLeftUntouched) {
    // A folder where the file should be cannot be read, also when the tests run as root.
    run_sh("mkdir -p " + sh_quote(home + "/.bashrc/inside") + " " +
           sh_quote(home + "/.ssh/config/inside"));
    auto bash = capture([&] { app.update_bash_prompt(); });
    EXPECT_EQ(0u, bash.err.find("E: ")) << bash.err;
    EXPECT_EQ(std::string::npos, bash.out.find("Updated"));
    auto ssh = capture([&] { app.update_ssh_config(); });
    EXPECT_EQ(0u, ssh.err.find("E: ")) << ssh.err;
    EXPECT_EQ(std::string::npos, ssh.out.find("Updated"));
    EXPECT_EQ("inside\n", run_sh("ls " + sh_quote(home + "/.bashrc")).output);
    EXPECT_EQ("inside\n", run_sh("ls " + sh_quote(home + "/.ssh/config")).output);
}

TEST_F(WizardSteps, SshConfigCreatedPrefixedOrLeftAlone) {
    const std::string config = home + "/.ssh/config";
    auto created = capture([&] { app.update_ssh_config(); });
    EXPECT_NE(std::string::npos,
              created.out.find("File not found: " + config + "\nCreated: " + config));
    EXPECT_EQ(std::string(ssh_config_block), read_file(config));
    EXPECT_EQ(0600, file_mode(config));
    EXPECT_EQ(0700, file_mode(home + "/.ssh"));
    EXPECT_EQ(0700, file_mode(home + "/.ssh/controlmasters"));

    // Modes are put right on every pass, also when the file stays as it is.
    run_sh("chmod 755 " + sh_quote(home + "/.ssh") + " " + sh_quote(home + "/.ssh/controlmasters"));
    auto kept = capture([&] { app.update_ssh_config(); });
    EXPECT_NE(std::string::npos, kept.out.find("Already up-to-date\n"));
    EXPECT_EQ(0700, file_mode(home + "/.ssh"));
    EXPECT_EQ(0700, file_mode(home + "/.ssh/controlmasters"));

    write_file(config, "Host work\n  User me\n");
    run_sh("chmod 644 " + sh_quote(config));
    auto updated = capture([&] { app.update_ssh_config(); });
    EXPECT_NE(std::string::npos, updated.out.find("Updated: " + config + "\n"));
    EXPECT_EQ(ssh_config_with_defaults("Host work\n  User me\n"), read_file(config));
    EXPECT_EQ(0600, file_mode(config));
}

TEST_F(WizardSteps, FishPromptRewrittenEveryPass) {
    const std::string prompt = home + "/.config/fish/functions/fish_prompt.fish";
    auto created = capture([&] { app.update_fish_prompt(); });
    EXPECT_NE(std::string::npos, created.out.find("Created: " + prompt + "\n"));
    EXPECT_EQ(0700, file_mode(prompt) & 0733);

    write_file(prompt, "function fish_prompt; echo old; end\n");
    auto updated = capture([&] { app.update_fish_prompt(); });
    EXPECT_NE(std::string::npos, updated.out.find("Updated: " + prompt + "\n"));
    EXPECT_EQ(std::string::npos, updated.out.find("File not found"));
    EXPECT_EQ(std::string(fish_prompt_block), read_file(prompt));
}
