// The delivered theme script, run for real against a local theme repository and a fake ESP.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "lib/files.h"

using namespace Velkor;

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

int exit_code(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

size_t count_lines(const std::string& text, const std::string& line) {
    const auto lines = string_split(text, "\n");
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

class RefindInstallScript : public ::testing::Test {
   protected:
    void SetUp() override {
        char name[] = "/tmp/refind-script-test-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(name));
        root_ = name;
        repo_ = root_ + "/theme-repo";
        esp_ = root_ + "/esp";
        ASSERT_TRUE(dir_create(repo_ + "/icons/128-48"));
        ASSERT_TRUE(dir_create(repo_ + "/fonts"));
        for (const char* icon : {"arrow_right", "func_bootorder", "bg", "bg_dark", "os_linux"}) {
            ASSERT_TRUE(file_write(repo_ + "/icons/128-48/" + icon + ".png", icon));
        }
        ASSERT_TRUE(file_write(repo_ + "/fonts/font.png", "font"));
        ASSERT_TRUE(file_write(repo_ + "/theme.conf", theme_conf));
        ASSERT_EQ(0, sh("cd '" + repo_ +
                        "' && git init -q && git add -A && git -c user.name=t "
                        "-c user.email=t@example.invalid commit -qm theme"));
    }

    void TearDown() override { sh("rm -rf '" + root_ + "'"); }

    int sh(const std::string& cmd) { return exit_code(std::system(cmd.c_str())); }

    // Runs the script; its error stream lands in `errors_`.
    int install(const std::string& args, const std::string& repo) {
        const std::string err_path = root_ + "/stderr";
        const int code = sh("KELVANE_ESP_ROOT='" + esp_ + "' KELVANE_REFIND_THEME_REPO='" + repo +
                            "' bash '" + script + "' " + args + " >/dev/null 2>'" + err_path + "'");
        errors_ = file_read(err_path).value_or("");
        return code;
    }
    int install(const std::string& args) { return install(args, repo_); }

    std::string read(const std::string& path) { return file_read(path).value_or("<missing>"); }

    std::string root_, repo_, esp_, errors_;
};

}  // namespace

TEST_F(RefindInstallScript, PassesShellcheck) { EXPECT_EQ(0, sh("shellcheck '" + script + "'")); }

TEST_F(RefindInstallScript, InstallsTheChosenLookAndIncludesItOnce) {
    const std::string dir = esp_ + "/EFI/refind";
    const std::string conf_text = "timeout 20\n#use_nvram false\n";
    ASSERT_TRUE(file_write(dir + "/refind.conf", conf_text));

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

TEST_F(RefindInstallScript, FallbackFolderAndExistingIncludes) {
    // An empty usual folder does not count: the configuration decides.
    ASSERT_TRUE(dir_create(esp_ + "/EFI/refind"));
    const std::string dir = esp_ + "/EFI/BOOT";
    ASSERT_TRUE(file_write(dir + "/refind.conf", "  " + include_line + "\ntimeout 5\n#" +
                                                     include_line + "\n" + include_line +
                                                     "  \nscanfor manual"));
    ASSERT_EQ(0, install("light")) << errors_;
    EXPECT_TRUE(path_exists(dir + "/themes/refind-theme-regular/icons/128-48/bg.png"));
    EXPECT_FALSE(path_exists(esp_ + "/EFI/refind/themes"));
    const std::string conf = read(dir + "/refind.conf");
    EXPECT_EQ("timeout 5\n#" + include_line + "\nscanfor manual\n" + include_line + "\n", conf);
    EXPECT_EQ(1u, count_lines(conf, include_line));
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
    EXPECT_NE(0, install("dark", root_ + "/no-such-repo"));
    EXPECT_NE(std::string::npos, errors_.find("cannot fetch the theme")) << errors_;

    // A repository without the icon folder is not the theme.
    ASSERT_EQ(0, sh("cd '" + repo_ + "' && git rm -rq icons && git -c user.name=t " +
                    "-c user.email=t@example.invalid commit -qm gone"));
    EXPECT_NE(0, install("dark"));
    EXPECT_NE(std::string::npos, errors_.find("no icons/128-48")) << errors_;

    EXPECT_EQ(conf_text, read(conf_path));
    EXPECT_FALSE(path_exists(esp_ + "/EFI/refind/themes"));
}
