// The three menu-only actions run in-process against stub commands: sudo, whiptail, wget and
// efibootmgr come first on PATH, sudo writes every command line to a log and runs the file
// commands for real inside a fake root, so the edits on the "ESP" can be checked.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/app_console.h"
#include "lib/commands.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

// STUB_FAIL: a bash pattern; a matching command line fails with status 1.
const char* const stub_sudo = R"(#!/bin/bash
printf '%s\n' "$*" >>"$STUB_LOG"
if [ -n "${STUB_FAIL:-}" ] && [[ "$*" == $STUB_FAIL ]]; then exit 1; fi
case "$1" in
test | cat | cp | tee | rm)
    args=()
    for arg in "$@"; do
        case "$arg" in
        /boot/* | /etc/* | /usr/share/refind/*) arg=$STUB_ROOT$arg ;;
        esac
        if [[ "$arg" == *'*'* ]]; then
            for match in $arg; do args+=("$match"); done
        else
            args+=("$arg")
        fi
    done
    exec "${args[@]}"
    ;;
dpkg-query) printf '%s\n' $STUB_INSTALLED ;;
./refind/install.sh) KELVANE_ESP_ROOT=$STUB_ROOT/boot/efi exec "$@" ;;
esac
exit 0
)";

// Answers menus from STUB_ANSWERS, one line per dialog; a missing line is a cancel.
const char* const stub_whiptail = R"(#!/bin/bash
printf 'whiptail %s\n' "$*" >>"$STUB_LOG"
case " $* " in *" --msgbox "*) exit 0 ;; esac
count=$(cat "$STUB_ROOT/answer-count" 2>/dev/null || echo 0)
echo $((count + 1)) >"$STUB_ROOT/answer-count"
answer=$(sed -n "$((count + 1))p" "$STUB_ANSWERS")
[ -n "$answer" ] || exit 1
[ "$answer" = "<empty>" ] && answer=
printf '%s' "$answer" >&2
)";

const char* const stub_wget = R"(#!/bin/bash
printf 'wget %s\n' "$*" >>"$STUB_LOG"
echo "KEY"
)";

const std::string refind_conf_text =
    "timeout 20\n"
    "#use_nvram false\n"
    "   # also_scan_dirs boot,ESP2:EFI/linux/kernels\n"
    "#showtools shell, memtest\n"
    "menuentry \"Ubuntu\" {\n"
    "    loader /EFI/ubuntu/grubx64.efi\n"
    "}\n";

const std::string refind_conf_edited =
    "timeout 20\n"
    "use_nvram false\n"
    "also_scan_dirs boot,@/boot,ESP2:EFI/linux/kernels\n"
    "showtools shutdown, reboot, firmware, hidden_tags, mok_tool, bootorder, shell, about\n"
    "menuentry \"Ubuntu\" {\n"
    "loader /EFI/ubuntu/grubx64.efi\n"
    "}\n"
    "include themes/refind-theme-regular/theme.conf\n";

class MenuActions : public ::testing::Test {
   protected:
    void SetUp() override {
        if (temp_dir().empty()) init_tmp("kelvane-test");
        char name[] = "/tmp/menu-actions-test-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(name));
        root_ = name;
        log_ = root_ + "/commands.log";
        const std::string bin = root_ + "/bin";
        ASSERT_TRUE(write_stub(bin + "/sudo", stub_sudo));
        ASSERT_TRUE(write_stub(bin + "/whiptail", stub_whiptail));
        ASSERT_TRUE(write_stub(bin + "/wget", stub_wget));
        ASSERT_TRUE(write_stub(bin + "/efibootmgr", "#!/bin/sh\n"));
        ASSERT_TRUE(file_write(log_, ""));
        ASSERT_TRUE(dir_create(root_ + "/etc/apt/sources.list.d"));
        old_path_ = std::getenv("PATH");
        setenv("PATH", (bin + ":" + old_path_).c_str(), 1);
        setenv("STUB_LOG", log_.c_str(), 1);
        setenv("STUB_ROOT", root_.c_str(), 1);
        setenv("STUB_ANSWERS", (root_ + "/answers").c_str(), 1);
        setenv("STUB_INSTALLED", "bash coreutils", 1);
        unsetenv("STUB_FAIL");
        app_.user_name = "alice";
        app_.cpu_level = 2;
    }

    void TearDown() override {
        setenv("PATH", old_path_.c_str(), 1);
        if (!old_cwd_.empty()) {
            EXPECT_EQ(0, chdir(old_cwd_.c_str()));
        }
        EXPECT_EQ(0, std::system(("rm -rf '" + root_ + "'").c_str()));
    }

    static bool write_stub(const std::string& path, const std::string& text) {
        return file_write(path, text) && ::chmod(path.c_str(), 0755) == 0;
    }

    void answers(const std::string& lines) { ASSERT_TRUE(file_write(root_ + "/answers", lines)); }

    // Runs `action`; the exit status it requested, or -1 when it returned.
    template <class Action>
    int run(Action action) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        int status = -1;
        try {
            action();
        } catch (const AppExit& request) {
            status = request.status;
        }
        out_ = testing::internal::GetCapturedStdout();
        err_ = testing::internal::GetCapturedStderr();
        return status;
    }

    std::string commands() { return file_read(log_).value_or(""); }
    bool ran(const std::string& line) {
        return string_contains("\n" + commands(), "\n" + line + "\n");
    }
    std::string esp(const std::string& path) { return root_ + "/boot/efi/EFI/" + path; }

    // A local theme repository and the delivered script at ./refind/install.sh.
    void prepare_refind() {
        const std::string repo = root_ + "/theme-repo";
        ASSERT_TRUE(file_write(repo + "/icons/128-48/arrow_right.png", "arrow"));
        ASSERT_TRUE(file_write(repo + "/icons/128-48/func_bootorder.png", "bootorder"));
        ASSERT_TRUE(file_write(repo + "/theme.conf", "banner bg.png\n"));
        ASSERT_EQ(0, std::system(("cd '" + repo +
                                  "' && git init -q && git add -A && git -c user.name=t -c "
                                  "user.email=t@example.invalid commit -qm theme")
                                     .c_str()));
        setenv("KELVANE_REFIND_THEME_REPO", repo.c_str(), 1);
        ASSERT_TRUE(dir_create(root_ + "/work/refind"));
        ASSERT_EQ(0, symlink(KELVANE_SOURCE_DIR "/data/refind/install.sh",
                             (root_ + "/work/refind/install.sh").c_str()));
        ASSERT_TRUE(
            file_write(root_ + "/usr/share/refind/refind/drivers_x64/ext4_x64.efi", "ext4"));
        char cwd[4096];
        ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
        old_cwd_ = cwd;
        ASSERT_EQ(0, chdir((root_ + "/work").c_str()));
    }

    AppConsole app_{AppConsole::SkipStartupChecks{}};
    std::string root_, log_, old_path_, old_cwd_, out_, err_;
};

}  // namespace

TEST_F(MenuActions, ExtraSoftwareInstallsInOneCallPerSource) {
    answers("\"steam\" \"vmm\" \"vbox\" \"vscode\"\n");
    EXPECT_EQ(-1, run([&] { app_.get_choice_advanced(); }));
    EXPECT_TRUE(string_contains(out_, "Selected install: steam vmm vbox vscode\n")) << out_;
    EXPECT_FALSE(string_contains(out_, "Nothing to install")) << out_;
    EXPECT_EQ(
        "whiptail --title Install Software --notags --checklist Choose items to install: 30 78 "
        "20 build build-essential dkms git git-extras    OFF vala valac geany meld OFF gimp gimp "
        "inkscape shutter OFF steam steam lutris heroic OFF spotify spotify youtube-music OFF "
        "ffmpeg smplayer mpv ffmpeg sox OFF mailspring mailspring OFF rustdesk rustdesk remmina "
        "OFF vmm virt-manager OFF vbox virtualbox OFF vscode vscode OFF skype webex zoom skype "
        "OFF --cancel-button Exit\n"
        "dpkg-query -W -f ${Package}\n\n"
        "eatmydata apt install -y --no-install-recommends steam virt-manager virtualbox-qt "
        "virtualbox-ext-pack virtualbox-guest-additions-iso\n"
        "eatmydata deb-get install lutris heroic code\n"
        "usermod -aG libvirt alice\n"
        "usermod -aG vboxusers alice\n",
        commands());

    // Nothing ticked: no package command at all.
    ASSERT_TRUE(file_write(log_, ""));
    ASSERT_TRUE(file_write(root_ + "/answer-count", "0"));
    answers("<empty>\n");
    EXPECT_EQ(-1, run([&] { app_.get_choice_advanced(); }));
    EXPECT_TRUE(string_contains(out_, "Selected install: \n")) << out_;
    EXPECT_TRUE(string_contains(out_, "Nothing to install\n")) << out_;
    EXPECT_FALSE(string_contains(commands(), "apt install")) << commands();
    EXPECT_FALSE(string_contains(commands(), "deb-get")) << commands();
}

TEST_F(MenuActions, ExtraSoftwareStopsAtAFailedInstallAndOnCancel) {
    setenv("STUB_FAIL", "eatmydata apt install*", 1);
    answers("\"steam\" \"vmm\"\n");
    EXPECT_EQ(1, run([&] { app_.get_choice_advanced(); }));
    EXPECT_FALSE(string_contains(commands(), "deb-get")) << commands();
    EXPECT_FALSE(string_contains(commands(), "usermod")) << commands();

    // Everything from APT already there: deb-get still runs.
    unsetenv("STUB_FAIL");
    setenv("STUB_INSTALLED", "steam", 1);
    ASSERT_TRUE(file_write(log_, ""));
    app_.selected_install = "steam";
    EXPECT_EQ(-1, run([&] { app_.install_extra_apps(); }));
    EXPECT_TRUE(string_contains(out_, "Nothing to install\n")) << out_;
    EXPECT_TRUE(ran("eatmydata deb-get install lutris heroic")) << commands();

    answers("");  // the checklist is cancelled
    ASSERT_TRUE(file_write(log_, ""));
    EXPECT_EQ(0, run([&] { app_.get_choice_advanced(); }));
    EXPECT_TRUE(string_contains(out_, "Cancelled by user\n")) << out_;
    EXPECT_FALSE(string_contains(commands(), "dpkg-query")) << commands();
}

TEST_F(MenuActions, KernelRefusedThenInstalled) {
    if (file_exists("/etc/apt/sources.list.d/xanmod-kernel.list")) {
        GTEST_SKIP() << "this machine has the kernel source already";
    }
    answers("linux-xanmod-x64v3\nlinux-xanmod-x64v2\n");
    EXPECT_EQ(-1, run([&] { app_.get_choice_xanmod_kernel(); }));
    const std::string log = commands();
    const auto refusal = log.find(
        "whiptail --title Not Supported by CPU --msgbox This CPU doesn't support x86-64 Level 3 "
        "features.\nSelect another kernel type. 20 78\n");
    ASSERT_NE(std::string::npos, refusal) << log;
    // The menu came twice, the refusal between the two.
    const auto first_menu = log.find("whiptail --title XanMod Kernel");
    const auto second_menu = log.find("whiptail --title XanMod Kernel", refusal);
    EXPECT_LT(first_menu, refusal);
    EXPECT_NE(std::string::npos, second_menu);
    // The two sides of the key pipeline run at once, so they may log in either order.
    const auto at = [&](const std::string& line) { return log.find(line + "\n", second_menu); };
    const auto source = at("tee /etc/apt/sources.list.d/xanmod-kernel.list");
    const auto download = at("wget -qO - https://dl.xanmod.org/gpg.key");
    const auto key = at("apt-key --keyring /etc/apt/trusted.gpg.d/xanmod-kernel.gpg add -");
    const auto update = at("eatmydata apt update");
    const auto install = at("eatmydata apt install -y --no-install-recommends linux-xanmod-x64v2");
    ASSERT_NE(std::string::npos, install) << log;
    EXPECT_LT(source, std::min(download, key)) << log;
    EXPECT_LT(std::max(download, key), update) << log;
    EXPECT_LT(update, install) << log;
    EXPECT_EQ("deb http://deb.xanmod.org releases main\n",
              file_read(root_ + "/etc/apt/sources.list.d/xanmod-kernel.list").value_or(""));
    EXPECT_TRUE(string_contains(out_, "Selected xanmod kernel: linux-xanmod-x64v3\n")) << out_;
    EXPECT_TRUE(string_contains(out_, "Selected xanmod kernel: linux-xanmod-x64v2\n")) << out_;
    EXPECT_TRUE(string_contains(out_, "Reboot the system to use the new kernel.")) << out_;
    EXPECT_EQ("linux-xanmod-x64v2", app_.xanmod_kernel);
}

TEST_F(MenuActions, KernelKeyFailureDropsTheSource) {
    if (file_exists("/etc/apt/sources.list.d/xanmod-kernel.list")) {
        GTEST_SKIP() << "this machine has the kernel source already";
    }
    setenv("STUB_FAIL", "apt-key *", 1);
    app_.xanmod_kernel = "linux-xanmod";
    EXPECT_EQ(-1, run([&] { app_.install_xanmod(); }));
    EXPECT_EQ("E: Failed to install public key\n", err_);
    EXPECT_TRUE(ran("rm -f /etc/apt/sources.list.d/xanmod-kernel.list")) << commands();
    EXPECT_FALSE(file_exists(root_ + "/etc/apt/sources.list.d/xanmod-kernel.list"));
    EXPECT_FALSE(string_contains(commands(), "apt install")) << commands();
    EXPECT_FALSE(string_contains(out_, "Reboot the system")) << out_;

    // A source list that cannot be written stops before the key.
    setenv("STUB_FAIL", "tee *", 1);
    ASSERT_TRUE(file_write(log_, ""));
    EXPECT_EQ(-1, run([&] { app_.install_xanmod(); }));
    EXPECT_EQ("E: Failed to install source list\n", err_);
    EXPECT_FALSE(string_contains(commands(), "wget")) << commands();
}

TEST_F(MenuActions, RefindEditsTheConfigurationOnceAndKeepsTheFirstBackup) {
    prepare_refind();
    ASSERT_TRUE(file_write(esp("refind/refind.conf"), refind_conf_text));
    ASSERT_TRUE(dir_create(esp("refind/drivers_x64")));
    answers("dark\n");
    EXPECT_EQ(-1, run([&] { app_.get_choice_refind_theme(); }));
    EXPECT_EQ("", err_);
    EXPECT_TRUE(string_contains(out_, "refind_theme: dark\n")) << out_;
    EXPECT_TRUE(string_contains(out_, "Updated\n")) << out_;
    EXPECT_EQ(refind_conf_edited, file_read(esp("refind/refind.conf")).value_or(""));
    // The backup holds the file as the theme script left it, before our edits.
    EXPECT_EQ(refind_conf_text + "include themes/refind-theme-regular/theme.conf\n",
              file_read(esp("refind/refind.conf.bkup")).value_or(""));
    EXPECT_EQ("arrow", file_read(esp("refind/themes/refind-theme-regular/icons/128-48/"
                                     "func_bootorder.png"))
                           .value_or(""));
    EXPECT_EQ("ext4", file_read(esp("refind/drivers_x64/ext4_x64.efi")).value_or(""));
    const std::string backup_copy =
        "cp -f /boot/efi/EFI/refind/refind.conf /boot/efi/EFI/refind/refind.conf.bkup";
    EXPECT_TRUE(ran(backup_copy)) << commands();
    EXPECT_TRUE(ran("eatmydata add-apt-repository -y ppa:rodsmith/refind")) << commands();
    EXPECT_TRUE(ran("eatmydata apt install -y --no-install-recommends refind git")) << commands();
    EXPECT_TRUE(
        ran("apt-mark hold grub-efi-amd64 grub-efi-amd64-signed grub-common "
            "grub-efi-amd64-bin grub-common grub2-common"))
        << commands();

    // Once more: the file and the backup stay byte for byte as they were.
    const std::string backup = file_read(esp("refind/refind.conf.bkup")).value_or("");
    ASSERT_TRUE(file_write(log_, ""));
    EXPECT_EQ(-1, run([&] { app_.install_refind("dark"); }));
    EXPECT_EQ("", err_);
    EXPECT_EQ(refind_conf_edited, file_read(esp("refind/refind.conf")).value_or(""));
    EXPECT_EQ(backup, file_read(esp("refind/refind.conf.bkup")).value_or(""));
    EXPECT_FALSE(ran(backup_copy)) << commands();
}

TEST_F(MenuActions, RefindUsesTheFallbackFolder) {
    prepare_refind();
    ASSERT_TRUE(file_write(esp("BOOT/refind.conf"), refind_conf_text));
    ASSERT_TRUE(dir_create(esp("BOOT/drivers_x64")));
    EXPECT_EQ(-1, run([&] { app_.install_refind("light"); }));
    EXPECT_EQ("", err_);
    EXPECT_EQ(refind_conf_edited, file_read(esp("BOOT/refind.conf")).value_or(""));
    EXPECT_EQ("ext4", file_read(esp("BOOT/drivers_x64/ext4_x64.efi")).value_or(""));
    EXPECT_FALSE(path_exists(esp("refind")));
}

TEST_F(MenuActions, RefindStopsWithItsErrorLine) {
    prepare_refind();
    const std::string conf = esp("refind/refind.conf");

    // Each case: the failing command, the error line, and whether the theme was installed.
    struct Case {
        const char* fail;
        std::string error;
        bool theme_installed;
    };
    const Case cases[] = {
        {"efibootmgr", "Boot mode is BIOS/Legacy. EFI boot mode is needed to use Refind.", false},
        {"./refind/install.sh *", "Failed to install refind to ESP", false},
        {"apt-mark hold *", "Failed to install refind to ESP", true},
        {"cp -f /usr/share/refind/*", "Failed to install refind to ESP", true},
        {"cat *", "Failed to read: /boot/efi/EFI/refind/refind.conf", true},
        {"cp -f * /boot/efi/EFI/refind/refind.conf",
         "Failed to update: /boot/efi/EFI/refind/refind.conf", true},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(0, std::system(("rm -rf '" + root_ + "/boot'").c_str()));
        ASSERT_TRUE(file_write(conf, refind_conf_text));
        ASSERT_TRUE(dir_create(esp("refind/drivers_x64")));
        setenv("STUB_FAIL", c.fail, 1);
        EXPECT_EQ(-1, run([&] { app_.install_refind("dark"); })) << c.fail;
        EXPECT_EQ("E: " + c.error + "\n", err_) << c.fail;
        // Only the theme script may have touched the file (its include line).
        const std::string expected =
            refind_conf_text +
            (c.theme_installed ? "include themes/refind-theme-regular/theme.conf\n" : "");
        EXPECT_EQ(expected, file_read(conf).value_or("")) << c.fail;
        EXPECT_FALSE(string_contains(out_, "Updated")) << c.fail;
    }

    unsetenv("STUB_FAIL");
    ASSERT_EQ(0, std::system(("rm -rf '" + root_ + "/boot'").c_str()));
    EXPECT_EQ(-1, run([&] { app_.install_refind("dark"); }));
    EXPECT_EQ("E: Refind installation directory not found on ESP\n", err_);

    ASSERT_TRUE(file_write(log_, ""));
    EXPECT_EQ(-1, run([&] { app_.install_refind("dark; reboot"); }));
    EXPECT_EQ("E: Unknown Refind theme: 'dark; reboot'\n", err_);
    EXPECT_EQ("", commands());
}
