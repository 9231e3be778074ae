// Wizard steps that only touch the user's home, run in-process against a scratch home.
#include <gtest/gtest.h>

#include "app/app_console.h"
#include "test_support.h"
#include "wizard/wizard_texts.h"

using namespace test_support;

namespace {

class WizardSteps : public ::testing::Test {
   protected:
    WizardSteps() : app(AppConsole::SkipStartupChecks{}) {
        std::filesystem::create_directories(home);
        app.user_home = home;
    }
    ScratchDir scratch;
    std::string home = scratch / "home o'k";
    AppConsole app;
};

}  // namespace

// The SSH folder holds keys: its modes are put right on every pass, also when the file stays.
TEST_F(WizardSteps, SshConfigModesOnEveryPass) {
    const std::string config = home + "/.ssh/config";
    {
        CaptureOutput quiet;
        app.update_ssh_config();
    }
    EXPECT_EQ(std::string(ssh_config_block), read_file(config));
    EXPECT_EQ(0600, mode_of(config));
    EXPECT_EQ(0700, mode_of(home + "/.ssh"));
    EXPECT_EQ(0700, mode_of(home + "/.ssh/controlmasters"));

    run_sh("chmod 755 " + sh_quote(home + "/.ssh") + " " + sh_quote(home + "/.ssh/controlmasters"));
    write_file(config, "Host work\n  User me\n", 0644);
    CaptureOutput capture;
    app.update_ssh_config();
    EXPECT_NE(std::string::npos, capture.std_out().find("Updated: " + config + "\n"));
    EXPECT_EQ(ssh_config_with_defaults("Host work\n  User me\n"), read_file(config));
    EXPECT_EQ(0600, mode_of(config));
    EXPECT_EQ(0700, mode_of(home + "/.ssh"));
    EXPECT_EQ(0700, mode_of(home + "/.ssh/controlmasters"));
}

TEST_F(WizardSteps, UnreadableFilesAreLeftUntouched) {
    // A folder where the file should be cannot be read, also when the tests run as root.
    std::filesystem::create_directories(home + "/.bashrc/inside");
    std::filesystem::create_directories(home + "/.ssh/config/inside");
    for (auto step : {&AppConsole::update_bash_prompt, &AppConsole::update_ssh_config}) {
        CaptureOutput capture;
        (app.*step)();
        EXPECT_EQ(0u, capture.std_err().find("E: ")) << capture.std_err();
        EXPECT_EQ(std::string::npos, capture.std_out().find("Updated"));
    }
    EXPECT_TRUE(std::filesystem::is_directory(home + "/.bashrc/inside"));
    EXPECT_TRUE(std::filesystem::is_directory(home + "/.ssh/config/inside"));
}
