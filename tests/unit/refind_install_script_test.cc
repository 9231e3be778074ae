// The delivered theme script, run for real against a local theme repository and a fake ESP.
#include <gtest/gtest.h>

#include <string>

#include "lib/files.h"
#include "test_support.h"

using namespace Velkor;
using namespace test_support;

namespace {

const std::string script = std::string(KELVANE_SOURCE_DIR) + "/data/refind/install.sh";
const std::string include_line = "include themes/refind-theme-regular/theme.conf";

const std::string theme_conf =
    "hideui singleuser,hints\n"
    "banner themes/refind-theme-regular/icons/128-48/bg.png\n"
    "#banner themes/refind-theme-regular/icons/128-48/bg_dark.png\n"
    "selection_big themes/refind-theme-regular/icons/128-48/selection-big.png\n"
    "# selection_big themes/refind-theme-regular/icons/128-48/selection_dark-big.png\n"
    "selection_small themes/refind-theme-regular/icons/128-48/selection-small.png\n"
    "#selection_small themes/refind-theme-regular/icons/128-48/selection_dark-small.png\n";

// The script writes the lines of the look not chosen with one "#" and no blank.
const std::string light_theme_conf =
    string_replace(theme_conf, "# selection_big", "#selection_big");

const std::string dark_theme_conf =
    "hideui singleuser,hints\n"
    "#banner themes/refind-theme-regular/icons/128-48/bg.png\n"
    "banner themes/refind-theme-regular/icons/128-48/bg_dark.png\n"
    "#selection_big themes/refind-theme-regular/icons/128-48/selection-big.png\n"
    "selection_big themes/refind-theme-regular/icons/128-48/selection_dark-big.png\n"
    "#selection_small themes/refind-theme-regular/icons/128-48/selection-small.png\n"
    "selection_small themes/refind-theme-regular/icons/128-48/selection_dark-small.png\n";

class RefindInstallScript : public ::testing::Test {
   protected:
    void SetUp() override {
        ASSERT_TRUE(dir_create(repo_ + "/icons/128-48"));
        ASSERT_TRUE(dir_create(repo_ + "/fonts"));
        for (const char* icon : {"arrow_right", "func_bootorder", "bg", "bg_dark", "os_linux"}) {
            ASSERT_TRUE(file_write(repo_ + "/icons/128-48/" + icon + ".png", icon));
        }
        ASSERT_TRUE(file_write(repo_ + "/fonts/font.png", "font"));
        ASSERT_TRUE(file_write(repo_ + "/theme.conf", theme_conf));
        ASSERT_EQ(0, sh("cd " + sh_quote(repo_) +
                        " && git init -q && git add -A && git -c user.name=t "
                        "-c user.email=t@example.invalid commit -qm theme"));
    }

    int sh(const std::string& cmd) { return run_sh(cmd).status; }

    // Runs the script; its error stream lands in `errors_`.
    int install(const std::string& args, const std::string& repo) {
        const auto result = run_sh("KELVANE_ESP_ROOT=" + sh_quote(esp_) +
                                   " KELVANE_REFIND_THEME_REPO=" + sh_quote(repo) + " bash " +
                                   sh_quote(script) + " " + args + " >/dev/null");
        errors_ = result.output;
        return result.status;
    }
    int install(const std::string& args) { return install(args, repo_); }

    std::string read(const std::string& path) { return file_read(path).value_or("<missing>"); }

    ScratchDir root_;
    std::string repo_ = root_ / "theme-repo", esp_ = root_ / "esp", errors_;
};

}  // namespace

TEST_F(RefindInstallScript, PassesShellcheck) {
    REQUIRE_TOOL("shellcheck");
    const auto checked = run_sh("shellcheck " + sh_quote(script));
    EXPECT_EQ(0, checked.status) << checked.output;
}

TEST_F(RefindInstallScript, InstallsTheChosenLookAndIncludesItOnce) {
    // Include lines already there go, a commented one stays, and one lands at the end.
    const std::string dir = esp_ + "/EFI/refind";
    ASSERT_TRUE(file_write(dir + "/refind.conf", "  " + include_line + "\ntimeout 20\n#" +
                                                     include_line + "\n" + include_line +
                                                     "  \n#use_nvram false"));
    const std::string conf_text = "timeout 20\n#" + include_line + "\n#use_nvram false\n";

    ASSERT_EQ(0, install("dark")) << errors_;
    const std::string theme_dir = dir + "/themes/refind-theme-regular";
    EXPECT_EQ("arrow_right", read(theme_dir + "/icons/128-48/arrow_right.png"));
    EXPECT_EQ("font", read(theme_dir + "/fonts/font.png"));
    EXPECT_FALSE(path_exists(theme_dir + "/.git"));
    EXPECT_EQ(dark_theme_conf, read(theme_dir + "/theme.conf"));
    EXPECT_EQ(conf_text + include_line + "\n", read(dir + "/refind.conf"));
    EXPECT_EQ((std::vector<std::string>{"refind-theme-regular"}),
              dir_list_names(dir + "/themes", false));

    // Again with the other look: the configuration stays as the first run left it.
    ASSERT_EQ(0, install("light")) << errors_;
    EXPECT_EQ(light_theme_conf, read(theme_dir + "/theme.conf"));
    EXPECT_EQ(conf_text + include_line + "\n", read(dir + "/refind.conf"));
    ASSERT_EQ(0, install("dark")) << errors_;
    EXPECT_EQ(dark_theme_conf, read(theme_dir + "/theme.conf"));
    EXPECT_EQ(conf_text + include_line + "\n", read(dir + "/refind.conf"));
}

TEST_F(RefindInstallScript, FailuresLeaveTheConfigurationAlone) {
    const std::string conf_path = esp_ + "/EFI/refind/refind.conf";
    const std::string conf_text = "timeout 20\n";

    // Nothing to install into.
    EXPECT_NE(0, install("dark"));
    EXPECT_NE(std::string::npos, errors_.find("no refind.conf")) << errors_;

    ASSERT_TRUE(file_write(conf_path, conf_text));
    EXPECT_NE(0, install(""));
    EXPECT_NE(std::string::npos, errors_.find("usage")) << errors_;
    EXPECT_NE(0, install("light dark"));
    EXPECT_NE(0, install("blue"));
    EXPECT_NE(std::string::npos, errors_.find("unknown theme 'blue'")) << errors_;
    EXPECT_NE(0, install("dark", root_ / "no-such-repo"));
    EXPECT_NE(std::string::npos, errors_.find("cannot fetch the theme")) << errors_;

    // A repository without the icon folder is not the theme.
    ASSERT_EQ(0, sh("cd " + sh_quote(repo_) + " && git rm -rq icons && git -c user.name=t " +
                    "-c user.email=t@example.invalid commit -qm gone"));
    EXPECT_NE(0, install("dark"));
    EXPECT_NE(std::string::npos, errors_.find("no icons/128-48")) << errors_;

    EXPECT_EQ(conf_text, read(conf_path));
    EXPECT_FALSE(path_exists(esp_ + "/EFI/refind/themes"));
}
