// The exact command lines the operations hand to the shell, one table per builder module.
#include <gtest/gtest.h>

#include "actions/boot_manager_data.h"
#include "actions/kernel_data.h"
#include "actions/layout_data.h"
#include "actions/software_data.h"
#include "actions/theme_data.h"
#include "app/main_menu.h"
#include "core/dialogs_data.h"
#include "core/packages_data.h"
#include "lib/commands.h"
#include "wizard/browser_data.h"
#include "wizard/desktop_data.h"
#include "wizard/driver_data.h"
#include "wizard/package_steps_data.h"
#include "wizard/shell_ssh_data.h"

namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

void expect_rows(const Rows& rows) {
    for (const auto& [expected, built] : rows) EXPECT_EQ(expected, built);
}

}  // namespace

TEST(CommandLines, Packages) {
    expect_rows({
        {"sudo eatmydata apt install -y --no-install-recommends curl wget",
         apt_install_command("curl wget", true)},
        {"sudo apt install -y --no-install-recommends curl", apt_install_command("curl", false)},
        {"sudo eatmydata apt autoremove --purge -y gnome-mahjongg aisleriot",
         apt_remove_command("gnome-mahjongg aisleriot")},
        {"sudo eatmydata apt update", apt_update_command()},
        {"sudo eatmydata add-apt-repository -y ppa:libreoffice/ppa",
         add_ppa_command("ppa:libreoffice/ppa")},
        {"sudo eatmydata apt install -y ./debs/webp_*.deb",
         apt_install_deb_command("./debs/webp_*.deb")},
        {"sudo eatmydata deb-get install foo bar", deb_get_install_command("foo bar")},
        {"for f in /etc/apt/sources.list.d/x-ppa-*.list /etc/apt/sources.list.d/x-ppa-*.sources; "
         "do test -f \"$f\" && exit 0; done; exit 1",
         source_added_test_command("x-ppa-*")},
        {"env LC_ALL=C apt-get -s install curl p7zip", apt_simulate_command("curl p7zip")},
        {"sudo mkdir -p '/etc/it'\\''s here'", mkdir_command("sudo", "/etc/it's here")},
        {"mkdir -p '/home/ann/.local'", mkdir_command("", "/home/ann/.local")},
        {"sudo cp -rf ./data/*.conf '/etc/it'\\''s/'",
         copy_command("sudo", "./data/*.conf", "/etc/it's/")},
        {"dconf load -f / < '/tmp/a'\\''b'", dconf_load_command("/tmp/a'b")},
        {"/etc/apt/sources.list.d", copy_target_dir("/etc/apt/sources.list.d/x.list")},
        {"/", copy_target_dir("/x")},
        {"/usr/bin/xdg-open 'https://kelvane.org' &>/dev/null",
         Velkor::xdg_open_command("/usr/bin/xdg-open", "https://kelvane.org", "")},
        {"pkexec --user al env DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY /usr/bin/xdg-open "
         "'/a/it'\\''s.pdf' &>/dev/null",
         Velkor::xdg_open_command("/usr/bin/xdg-open", "/a/it's.pdf", "al")},
        {"#!/bin/bash\npkexec env DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY '/w/it'\\''s/a.sh'\n"
         "if [ -f status ]; then exit $(cat status); else exit 0; fi\n",
         Velkor::admin_wrapper_text("/w/it's/a.sh")},
        {"#!/bin/bash\n\nLANG=C\nLC_ALL=C.UTF-8\n\necho hi\n\n\nexitCode=$?\nexit ${exitCode}\n",
         Velkor::bash_script_text("echo hi", true)},
    });
}

TEST(CommandLines, WizardSteps) {
    const auto zram = zram_commands("/etc/default/zram swap");
    const auto mimeapps = mimeapps_commands("/home/a b/.config/mimeapps.list", "");
    const auto showtime =
        mimeapps_commands("/h/mimeapps.list", "org.gnome.Showtime.desktop").back();
    ASSERT_EQ(3u, zram.size());
    ASSERT_EQ(4u, mimeapps.size());
    expect_rows({
        {"sudo sed -i '/ALGO=/s/.*/ALGO=zstd/' '/etc/default/zram swap'", zram[0]},
        {"sudo sed -i '/PERCENT=/s/.*/PERCENT=50/' '/etc/default/zram swap'", zram[1]},
        {"sudo sed -i '/PRIORITY=/s/.*/PRIORITY=100/' '/etc/default/zram swap'", zram[2]},
        {"cp -f /usr/share/applications/defaults.list '/home/a b/.config/mimeapps.list'",
         mimeapps[0]},
        {"sed -i 's/org.gnome.Showtime.desktop/vlc.desktop/g' '/h/mimeapps.list'", showtime},
        {"wget -O './google-chrome-stable_current_amd64.deb' "
         "'https://dl.google.com/linux/direct/google-chrome-stable_current_amd64.deb'",
         download_command(chrome_download)},
        {"sudo rm -rf '/home/o'\\''neil/snap'",
         home_snap_remove_command("/home/o'neil").value_or("")},
    });
    // An unresolved home never turns into "/snap".
    for (const char* bad : {"", "/", "home/ann"}) EXPECT_FALSE(home_snap_remove_command(bad));
    EXPECT_EQ((std::vector<std::string>{
                  "wget -O '/ws/it'\\''s/installer' "
                  "'https://github.com/brunelli/gnome-shell-extension-installer/raw/master/"
                  "gnome-shell-extension-installer'",
                  "sudo mv -f '/ws/it'\\''s/installer' /usr/bin/",
                  "sudo chown root:root /usr/bin/gnome-shell-extension-installer",
                  "sudo chmod 755 /usr/bin/gnome-shell-extension-installer"}),
              extension_installer_commands("/ws/it's/installer"));
}

TEST(CommandLines, BootManager) {
    expect_rows({
        {"test -f /etc/apt/sources.list.d/rodsmith-*-refind-*.list", refind_source_test_command()},
        {"chmod a+x ./refind/install.sh ; sudo ./refind/install.sh dark",
         refind_theme_command("dark")},
        {"sudo cp -f '/b/E F'/themes/refind-theme-regular/icons/128-48/arrow_right.png "
         "'/b/E F'/themes/refind-theme-regular/icons/128-48/func_bootorder.png",
         refind_icon_command("/b/E F")},
        {"sudo apt-mark hold grub-efi-amd64 grub-efi-amd64-signed grub-common grub-efi-amd64-bin "
         "grub-common grub2-common",
         refind_grub_hold_command()},
        {"sudo cp -f /usr/share/refind/refind/drivers_x64/* '/boot/efi/EFI/refind'/drivers_x64/",
         refind_drivers_command("/boot/efi/EFI/refind")},
        {"sudo cp -f '/x/it'\\''s' '/y/refind.conf'",
         sudo_copy_command("/x/it's", "/y/refind.conf")},
        {"/boot/efi/EFI/refind/refind.conf", refind_conf_path(refind_dir_primary)},
    });
    EXPECT_TRUE(refind_theme_is_known("light") && refind_theme_is_known("dark"));
    EXPECT_FALSE(refind_theme_is_known("dark; reboot") || refind_theme_is_known(""));
}

// Every dialog is one whiptail command; the answer path goes through the quoting.
TEST(CommandLines, Dialogs) {
    const std::string theme =
        "whiptail --title 'GTK Theme' --notags --menu 'Choose theme:' 20 78 10 'light' 'light      "
        "Light theme' 'dark' 'dark       Dark theme'";
    const std::string layout =
        "whiptail --title 'Desktop Layout' --notags --menu 'Choose layout:' 20 78 10 'ubuntu' "
        "'ubuntu      Left Dock with Top Panel' 'windows' 'bottom      Bottom Taskbar' 'minimal' "
        "'left        Left Taskbar'";
    const auto menu_head = [](const std::string& rows) {
        return "whiptail --title 'Choose Action' --cancel-button 'Exit' --notags --menu 'Choose "
               "action:' 20 78 " +
               rows +
               " 'setup' ' Run Setup          Run the post-install wizard again' "
               "'sep1' ' -----------------  -----------------------------------' 'theme' ' Change "
               "Theme       Change the theme (light or dark)' 'layout' ' Change Layout      Change "
               "GNOME shell layout'";
    };
    const std::string refind = " 'refind' ' Install Refind     Install Refind boot manager'";
    const std::string menu_tail =
        " 'xanmod' ' Install XanMod     Install XanMod kernel' 'install' ' Install Software   "
        "Install extra software' 'undo' ' Undo Run           Undo a previous run' 'sep2' ' "
        "-----------------  -----------------------------------' "
        "'website' ' Website            Visit kelvane.org' 'donate' ' Donate             Support "
        "this project' 2> '/w/a'\\''b'";
    expect_rows({
        {theme + " 'back' 'back       -- Go back --' --cancel-button 'Exit'",
         dialog_command(theme_menu_dialog(true), "")},
        {layout + " 'reset' 'default     Ubuntu Desktop (reset settings)' 'back' "
                  "'back        -- Go back --' --cancel-button 'Exit'",
         dialog_command(layout_menu_dialog(true), "")},
        {menu_head("11") + refind + menu_tail, dialog_command(main_menu_dialog(true), "/w/a'b")},
        {menu_head("10") + menu_tail, dialog_command(main_menu_dialog(false), "/w/a'b")},
        {"whiptail --title 'Web Browser' --notags --menu 'Choose web browser' 20 78 10"
         " 'chrome' 'Google Chrome (recommended)' 'firefox' 'Mozilla Firefox'"
         " 'edge' 'Microsoft Edge' 'librewolf' 'LibreWolf' 'vivaldi' 'Vivaldi'"
         " 'opera' 'Opera' 'brave' 'Brave' 2> '/w/a'",
         dialog_command(web_browser_dialog(), "/w/a")},
        {"whiptail --title 'Install Software' --notags --checklist 'Choose items to install:' 30 "
         "78 20 build 'build-essential dkms git git-extras   ' OFF vala 'valac geany meld' OFF "
         "gimp 'gimp inkscape shutter' OFF steam 'steam lutris heroic' OFF spotify 'spotify "
         "youtube-music' OFF ffmpeg 'smplayer mpv ffmpeg sox' OFF mailspring 'mailspring' OFF "
         "rustdesk 'rustdesk remmina' OFF vmm 'virt-manager' OFF vbox 'virtualbox' OFF vscode "
         "'vscode' OFF skype 'webex zoom skype' OFF --cancel-button 'Exit' 2> '/w/a'",
         dialog_command(Dialog{"Install Software", "", checklist_kind("Choose items to install:"),
                               extra_apps_checklist_items(), std::string(cancel_button_exit)},
                        "/w/a")},
    });
    EXPECT_EQ((std::vector<std::string>{" 'light' 'light       Install Refind - Light theme'",
                                        " 'dark' 'dark        Install Refind - Dark theme'",
                                        " 'back' 'back         -- Go back --'"}),
              refind_theme_menu_items());
}

// The kernel menu marks what the CPU can run and refuses the rest.
TEST(CommandLines, KernelMenuByCpuLevel) {
    const std::vector<std::string> items{
        " 'linux-xanmod' 'x86-64v1         Generic, for all CPUs (supported)'",
        " 'linux-xanmod-x64v2' 'x86-64v2         Generic, for CPUs circa 2009 (supported)'",
        " 'linux-xanmod-x64v3' 'x86-64v3         Generic, for CPUs circa 2015'",
        " 'linux-xanmod-rt' 'rt-x86-64v1      Realtime, for all CPUs (supported)'",
        " 'linux-xanmod-rt-x64v2' 'rt-x86-64v2      Realtime, for CPUs circa 2009 (supported)'",
        " 'linux-xanmod-rt-x64v3' 'rt-x86-64v3      Realtime, for CPUs circa 2015'",
        " 'linux-xanmod-lts' 'lts              Long-term support (LTS) kernel (supported)'",
        " 'back' 'back             -- Go back --'"};
    EXPECT_EQ(items, xanmod_menu_items(2));
    // Level 0 (unknown) marks and refuses nothing beyond the level-1 kernels.
    const int needs[] = {1, 2, 3, 1, 2, 3, 1};
    for (int level = 0; level <= 4; ++level) {
        const auto shown = xanmod_menu_items(level);
        for (size_t i = 0; i < 7; ++i) {
            const bool runs = level >= needs[i] || (level == 0 && i % 6 == 0);
            EXPECT_EQ(runs, shown[i].find(" (supported)'") != std::string::npos) << shown[i];
            const std::string kernel = items[i].substr(2, items[i].find('\'', 2) - 2);
            EXPECT_EQ(level == 0 || level >= needs[i]
                          ? ""
                          : "This CPU doesn't support x86-64 Level " + std::to_string(needs[i]) +
                                " features.\nSelect another kernel type.",
                      xanmod_refusal(kernel, level).value_or(""))
                << kernel << " at level " << level;
        }
    }
}
