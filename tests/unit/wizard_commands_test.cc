#include "wizard/wizard_commands.h"

#include <gtest/gtest.h>

#include "app/dialog.h"
#include "wizard_test_support.h"

using namespace wizard_test;

TEST(WizardCommands, BrowserMenuAndItsAnswers) {
    EXPECT_EQ(
        "whiptail --title 'Web Browser' --notags --menu 'Choose web browser' 20 78 10"
        " 'chrome' 'Google Chrome (recommended)' 'firefox' 'Mozilla Firefox'"
        " 'edge' 'Microsoft Edge' 'librewolf' 'LibreWolf' 'vivaldi' 'Vivaldi'"
        " 'opera' 'Opera' 'brave' 'Brave' 2> '/tmp/x/answer'",
        dialog_command(web_browser_dialog(), "/tmp/x/answer"));

    EXPECT_EQ("microsoft-edge-stable", deb_get_browser_package("edge").value_or("?"));
    EXPECT_EQ("librewolf", deb_get_browser_package("librewolf").value_or("?"));
    EXPECT_EQ("vivaldi-stable", deb_get_browser_package("vivaldi").value_or("?"));
    EXPECT_EQ("opera-stable", deb_get_browser_package("opera").value_or("?"));
    EXPECT_EQ("brave-browser", deb_get_browser_package("brave").value_or("?"));
    for (const char* other : {"chrome", "firefox", "Edge", "", "edge\n"}) {
        EXPECT_FALSE(deb_get_browser_package(other)) << other;
    }
}

TEST(WizardCommands, DefaultAppsRemovalList) {
    EXPECT_FALSE(snap_list_has_snaps(""));
    EXPECT_FALSE(snap_list_has_snaps("Name  Version  Rev  Tracking  Publisher  Notes\n"));
    EXPECT_TRUE(snap_list_has_snaps("Name  Version\ncore20  20230207\n"));
    EXPECT_EQ(
        "snapd thunderbird simple-scan deja-dup gnome-text-editor remmina aisleriot "
        "gnome-mahjongg gnome-mines gnome-sudoku rhythmbox totem",
        default_apps_removal_list(true));
    EXPECT_EQ(
        " thunderbird simple-scan deja-dup gnome-text-editor remmina aisleriot "
        "gnome-mahjongg gnome-mines gnome-sudoku rhythmbox totem",
        default_apps_removal_list(false));
}

TEST(WizardCommands, HomeSnapFolderRemovalNeverLeavesTheHome) {
    EXPECT_EQ("sudo rm -rf '/home/ann/snap'", home_snap_remove_command("/home/ann").value_or(""));
    EXPECT_EQ("sudo rm -rf '/home/o'\\''neil/snap'",
              home_snap_remove_command("/home/o'neil").value_or(""));
    for (const char* bad : {"", "/", "home/ann"}) EXPECT_FALSE(home_snap_remove_command(bad));
}

TEST(WizardCommands, SnapTransitionalPackage) {
    EXPECT_TRUE(is_snap_transitional_version("1:1snap1-0ubuntu2"));
    EXPECT_FALSE(is_snap_transitional_version("121.0~b1+build1-0ubuntu0.22.04.1~mt1"));
    EXPECT_FALSE(is_snap_transitional_version(""));
}

// The three edits run with the real sed on a file whose keys are all commented out, as the
// package ships it; other lines must survive untouched.
TEST(WizardCommands, ZramEditsTurnCommentedKeysOn) {
    WIZARD_REQUIRE_TOOL("sed");
    ScratchDir dir;
    const std::string path = dir.path() + "/zram swap";
    write_file(path,
               "# Compression algorithm selection\n"
               "#ALGO=lz4\n"
               "\n"
               "# Specifies the amount of RAM that should be used for zram\n"
               "#PERCENT=50\n"
               "\n"
               "#SIZE=256\n"
               "\n"
               "# Specifies the priority for the swap devices, see swapon(2)\n"
               "# PRIORITY=100\n");
    const auto commands = zram_commands(path);
    ASSERT_EQ(3u, commands.size());
    EXPECT_EQ("sudo sed -i '/ALGO=/s/.*/ALGO=zstd/' '" + path + "'", commands[0]);
    EXPECT_EQ("sudo sed -i '/PERCENT=/s/.*/PERCENT=50/' '" + path + "'", commands[1]);
    EXPECT_EQ("sudo sed -i '/PRIORITY=/s/.*/PRIORITY=100/' '" + path + "'", commands[2]);
    for (const auto& cmd : commands) {
        ASSERT_EQ(0u, cmd.find("sudo "));
        EXPECT_EQ(0, run_sh(cmd.substr(5)).status) << cmd;
    }
    EXPECT_EQ(
        "# Compression algorithm selection\n"
        "ALGO=zstd\n"
        "\n"
        "# Specifies the amount of RAM that should be used for zram\n"
        "PERCENT=50\n"
        "\n"
        "#SIZE=256\n"
        "\n"
        "# Specifies the priority for the swap devices, see swapon(2)\n"
        "PRIORITY=100\n",
        read_file(path));
}

// A second pass must replace the link, not follow it and leave a link inside the folder.
TEST(WizardCommands, VarietyLinkTwiceStaysOneLink) {
    ScratchDir dir;
    const std::string home = dir.path() + "/my home";
    const std::string link = home + "/Pictures/Wallpapers/Variety";
    ASSERT_EQ(0, run_sh("mkdir -p " + sh_quote(home + "/.config/variety/Favorites") + " " +
                        sh_quote(home + "/Pictures/Wallpapers"))
                     .status);
    const std::string cmd = variety_link_command(link);
    EXPECT_EQ("ln -sfn ~/.config/variety/Favorites '" + link + "'", cmd);
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(0, run_sh("HOME=" + sh_quote(home) + " sh -c " + sh_quote(cmd)).status);
    }
    EXPECT_EQ(home + "/.config/variety/Favorites\n", run_sh("readlink " + sh_quote(link)).output);
    EXPECT_EQ("", run_sh("ls -A " + sh_quote(home + "/.config/variety/Favorites")).output);
}

// The installer runs from a stub curl; a failed download must fail the command.
TEST(WizardCommands, DebGetInstallerReportsAFailedDownload) {
    ScratchDir dir;
    const std::string bin = dir.path() + "/bin";
    ASSERT_EQ(0, run_sh("mkdir " + sh_quote(bin)).status);
    write_file(bin + "/sudo", "#!/bin/sh\n[ \"$1\" = -E ] && shift\nexec \"$@\"\n");
    const std::string run = "PATH=" + sh_quote(bin) + ":\"$PATH\" sh -c " +
                            sh_quote(std::string(deb_get_installer_command));

    write_file(bin + "/curl", "#!/bin/sh\necho 'echo partial'\nexit 22\n");
    ASSERT_EQ(0, run_sh("chmod +x " + sh_quote(bin) + "/*").status);
    const auto failed = run_sh(run);
    EXPECT_NE(0, failed.status);
    EXPECT_EQ("", failed.output);

    write_file(bin + "/curl", "#!/bin/sh\necho \"echo ran: \\$*; echo url: $*\"\n");
    const auto installed = run_sh(run);
    EXPECT_EQ(0, installed.status);
    EXPECT_EQ(
        "ran: install deb-get\n"
        "url: -fsSL https://raw.githubusercontent.com/wimpysworld/deb-get/main/deb-get\n",
        installed.output);
}

TEST(WizardCommands, DownloadsNameTheirFile) {
    EXPECT_EQ(
        "wget -O './google-chrome-stable_current_amd64.deb' "
        "'https://dl.google.com/linux/direct/google-chrome-stable_current_amd64.deb'",
        download_command(chrome_download));
    EXPECT_EQ(
        "wget -O './appimagelauncher_2.2.0-travis995.0f91801.bionic_amd64.deb' "
        "'https://github.com/TheAssassin/AppImageLauncher/releases/download/v2.2.0/"
        "appimagelauncher_2.2.0-travis995.0f91801.bionic_amd64.deb'",
        download_command(appimagelauncher_download));
    EXPECT_EQ("touch '/h/o'\\''k/.cache/m'", touch_command("/h/o'k/.cache/m"));
}

// The default-applications edits on a copy made by the first command's own cp.
TEST(WizardCommands, MimeappsEditsRenameTheHandlers) {
    const auto commands = mimeapps_commands("/home/a b/.config/mimeapps.list");
    ASSERT_EQ(4u, commands.size());
    EXPECT_EQ("cp -f /usr/share/applications/defaults.list '/home/a b/.config/mimeapps.list'",
              commands[0]);

    ScratchDir dir;
    const std::string path = dir.path() + "/mimeapps.list";
    write_file(path,
               "[Default Applications]\n"
               "text/plain=org.gnome.TextEditor.desktop\n"
               "audio/mpeg=rhythmbox.desktop\n"
               "video/mp4=org.gnome.Totem.desktop\n"
               "image/png=org.gnome.eog.desktop\n");
    for (size_t i = 1; i < commands.size(); ++i) {
        const auto local = mimeapps_commands(path);
        EXPECT_EQ(0, run_sh(local[i]).status) << local[i];
    }
    EXPECT_EQ(
        "[Default Applications]\n"
        "text/plain=org.gnome.gedit.desktop\n"
        "audio/mpeg=vlc.desktop\n"
        "video/mp4=vlc.desktop\n"
        "image/png=org.gnome.eog.desktop\n",
        read_file(path));
}
