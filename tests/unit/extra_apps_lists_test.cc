#include "app/extra_apps_lists.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/dialog.h"

TEST(ExtraAppsLists, ChecklistCommandLine) {
    const Dialog checklist{"Install Software", "", checklist_kind("Choose items to install:"),
                           extra_apps_checklist_items(), std::string(cancel_button_exit)};
    EXPECT_EQ(
        "whiptail --title 'Install Software' --notags --checklist 'Choose items to install:' 30 "
        "78 20 build 'build-essential dkms git git-extras   ' OFF vala 'valac geany meld' OFF "
        "gimp 'gimp inkscape shutter' OFF steam 'steam lutris heroic' OFF spotify 'spotify "
        "youtube-music' OFF ffmpeg 'smplayer mpv ffmpeg sox' OFF mailspring 'mailspring' OFF "
        "rustdesk 'rustdesk remmina' OFF vmm 'virt-manager' OFF vbox 'virtualbox' OFF vscode "
        "'vscode' OFF skype 'webex zoom skype' OFF --cancel-button 'Exit' 2> '/tmp/a'\\''b'",
        dialog_command(checklist, "/tmp/a'b"));
}

TEST(ExtraAppsLists, AnswerIsCleanedOfQuotes) {
    EXPECT_EQ("steam vmm vscode", clean_checklist_answer("\"steam\" \"vmm\" \"vscode\""));
    EXPECT_EQ("", clean_checklist_answer(""));
    EXPECT_EQ("vbox", clean_checklist_answer("\"vbox\""));
}

TEST(ExtraAppsLists, SingleTicks) {
    auto lists = extra_apps_lists("vscode", "alice");
    EXPECT_EQ("", lists.apt_packages);
    EXPECT_EQ(" code", lists.deb_get_packages);
    EXPECT_EQ("", lists.group_commands);

    lists = extra_apps_lists("steam", "alice");
    EXPECT_EQ(" steam", lists.apt_packages);
    EXPECT_EQ(" lutris heroic", lists.deb_get_packages);

    lists = extra_apps_lists("build", "alice");
    EXPECT_EQ(
        " build-essential dkms git git-extras python3-pip pkgconf autotools-dev dh-make cmake "
        "fakeroot",
        lists.apt_packages);
    EXPECT_EQ("", lists.deb_get_packages);

    lists = extra_apps_lists("vmm", "alice");
    EXPECT_EQ(" virt-manager", lists.apt_packages);
    EXPECT_EQ("sudo usermod -aG libvirt alice ; ", lists.group_commands);

    lists = extra_apps_lists("", "alice");
    EXPECT_EQ("", lists.apt_packages);
    EXPECT_EQ("", lists.deb_get_packages);
    EXPECT_EQ("", lists.group_commands);
}

TEST(ExtraAppsLists, CombinedTicksFollowTheAnswerOrder) {
    auto lists = extra_apps_lists("steam vmm vbox vscode", "alice");
    EXPECT_EQ(
        " steam virt-manager virtualbox-qt virtualbox-ext-pack virtualbox-guest-additions-iso",
        lists.apt_packages);
    EXPECT_EQ(" lutris heroic code", lists.deb_get_packages);
    EXPECT_EQ("sudo usermod -aG libvirt alice ; sudo usermod -aG vboxusers alice ; ",
              lists.group_commands);

    // The lists follow the answer, not the table.
    lists = extra_apps_lists("vscode skype spotify mailspring rustdesk", "bob");
    EXPECT_EQ("", lists.apt_packages);
    EXPECT_EQ(" code skypeforlinux spotify-client youtube-music mailspring rustdesk",
              lists.deb_get_packages);

    lists = extra_apps_lists("gimp ffmpeg vala", "bob");
    EXPECT_EQ(
        " gimp inkscape shutter imagemagick smplayer mpv ffmpeg sox valac geany geany-plugins "
        "meld libgtk2.0-dev libgtk-3-dev libgee-0.8-dev libsoup2.4-dev libjson-glib-dev "
        "libxml2-dev libvte-2.91-dev libsecret-1-dev libayatana-appindicator3-dev aptly",
        lists.apt_packages);

    // Empty pieces, stray blanks and tags without a row add nothing; the rows the checklist
    // never offers are gone.
    lists = extra_apps_lists(" vbox  onlyoffice softmaker ure\tvscode ", "bob");
    EXPECT_EQ(" virtualbox-qt virtualbox-ext-pack virtualbox-guest-additions-iso",
              lists.apt_packages);
    EXPECT_EQ("", lists.deb_get_packages);
    EXPECT_EQ("sudo usermod -aG vboxusers bob ; ", lists.group_commands);
}

// The user name reaches a root shell: an odd name must arrive as one word, unexpanded.
TEST(ExtraAppsLists, UserNameStaysOneShellWord) {
    EXPECT_EQ("alice", shell_word("alice"));
    EXPECT_EQ("j.doe-2_x", shell_word("j.doe-2_x"));
    for (const std::string name : {"a b", "x;touch /tmp/pwned", "it's", "$(id)", "", "*"}) {
        const std::string cmd = "printf %s " + shell_word(name);
        FILE* pipe = popen(cmd.c_str(), "r");
        ASSERT_NE(nullptr, pipe);
        std::string printed;
        char buffer[256];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) printed.append(buffer, n);
        EXPECT_EQ(0, pclose(pipe)) << cmd;
        EXPECT_EQ(name, printed) << cmd;
    }
    EXPECT_EQ("sudo usermod -aG libvirt 'a b' ; ", extra_apps_lists("vmm", "a b").group_commands);
}
