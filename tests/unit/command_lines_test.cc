// The exact command lines the operations hand to the shell, one table per builder module.
#include <gtest/gtest.h>

#include <algorithm>

#include "actions/boot_manager_data.h"
#include "actions/kernel_data.h"
#include "actions/layout_data.h"
#include "actions/software_data.h"
#include "actions/theme_data.h"
#include "app/main_menu.h"
#include "core/dialogs_data.h"
#include "core/packages_data.h"
#include "core/preflight_data.h"
#include "core/release_data.h"
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
    const std::string unattended = "sudo env DEBIAN_FRONTEND=noninteractive NEEDRESTART_MODE=a ";
    const std::string lock = " -o DPkg::Lock::Timeout=1200";
    const std::string keep =
        " -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold";
    expect_rows({
        {unattended + "eatmydata apt install -y" + lock + keep +
             " --no-install-recommends curl wget",
         apt_install_command("curl wget", true)},
        {unattended + "apt install -y" + lock + keep + " --no-install-recommends curl",
         apt_install_command("curl", false)},
        // The extra-software menu lets apt and dpkg ask.
        {"sudo eatmydata apt install -y" + lock + " --no-install-recommends virtualbox",
         apt_install_command("virtualbox", true, Questions::asked)},
        {unattended + "eatmydata apt autoremove --purge -y" + lock + " gnome-mahjongg aisleriot",
         apt_remove_command("gnome-mahjongg aisleriot")},
        {unattended + "LC_ALL=C eatmydata apt update" + lock, apt_update_command()},
        {unattended + "eatmydata apt upgrade -y" + lock + keep, apt_upgrade_command(false)},
        {unattended + "eatmydata apt full-upgrade -y" + lock + keep, apt_upgrade_command(true)},
        {"sudo eatmydata add-apt-repository -y -n ppa:libreoffice/ppa",
         add_ppa_command("ppa:libreoffice/ppa")},
        {unattended + "eatmydata apt install -y" + lock + keep + " ./debs/webp_*.deb",
         apt_install_deb_command("./debs/webp_*.deb")},
        {unattended + "eatmydata deb-get install foo bar",
         deb_get_install_command("foo bar", Questions::unattended, false)},
        // The token is expanded by the shell: it never stands in the command line or the log.
        {unattended + "DEBGET_TOKEN=\"$DEBGET_TOKEN\" eatmydata deb-get install foo",
         deb_get_install_command("foo", Questions::unattended, true)},
        {"sudo env DEBGET_TOKEN=\"$DEBGET_TOKEN\" eatmydata deb-get install foo",
         deb_get_install_command("foo", Questions::asked, true)},
        {"sudo eatmydata deb-get install foo",
         deb_get_install_command("foo", Questions::asked, false)},
        {"sh -c '(timeout 15 curl -fsSI --max-time 10 '\\''https://a.org/x y'\\'' >/dev/null "
         "2>&1 || echo '\\''a.org'\\'') & wait'",
         host_check_command({{"the archive", "https://a.org/x y"}})},
        {"df -B1 --output=avail '/boot'", free_space_command("/boot")},
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
        {"wget -O '/ws/1/google-chrome-stable_current_amd64.deb' "
         "'https://dl.google.com/linux/direct/google-chrome-stable_current_amd64.deb'",
         download_command("/ws/1/" + std::string(chrome_download.file), chrome_download.url)},
        {"/home/o'neil/snap/firefox", home_snap_data_dir("/home/o'neil", "firefox").value_or("")},
    });
    // An unresolved home never turns into "/snap".
    for (const char* bad : {"", "/", "home/ann"}) EXPECT_FALSE(home_snap_data_dir(bad, "firefox"));
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
        {"for f in /etc/apt/sources.list.d/rodsmith-*-refind-*.list "
         "/etc/apt/sources.list.d/rodsmith-*-refind-*.sources; do test -f \"$f\" && exit 0; "
         "done; exit 1",
         refind_source_test_command()},
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
    // Every option stands before the "--" that ends them.
    const std::string theme =
        "whiptail --title 'GTK Theme' --cancel-button 'Exit' --notags --menu -- 'Choose theme:' "
        "20 78 10 'light' 'light      Light theme' 'dark' 'dark       Dark theme'";
    const std::string layout =
        "whiptail --title 'Desktop Layout' --cancel-button 'Exit' --notags --menu -- 'Choose "
        "layout:' 20 78 10 'ubuntu' 'ubuntu      Left Dock with Top Panel' 'windows' 'bottom      "
        "Bottom Taskbar' 'minimal' 'left        Left Taskbar'";
    const auto menu_head = [](const std::string& rows) {
        return "whiptail --title 'Choose Action' --cancel-button 'Exit' --notags --menu -- "
               "'Choose action:' 20 78 " +
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
        {theme + " 'back' 'back       -- Go back --'", dialog_command(theme_menu_dialog(true), "")},
        {layout + " 'reset' 'default     Ubuntu Desktop (reset settings)' 'back' "
                  "'back        -- Go back --'",
         dialog_command(layout_menu_dialog(true), "")},
        {menu_head("11") + refind + menu_tail, dialog_command(main_menu_dialog(true), "/w/a'b")},
        {menu_head("10") + menu_tail, dialog_command(main_menu_dialog(false), "/w/a'b")},
        {"whiptail --title 'Web Browser' --notags --menu -- 'Choose web browser' 20 78 10"
         " 'chrome' 'Google Chrome (recommended)' 'firefox' 'Mozilla Firefox'"
         " 'edge' 'Microsoft Edge' 'librewolf' 'LibreWolf' 'vivaldi' 'Vivaldi'"
         " 'opera' 'Opera' 'brave' 'Brave' 2> '/w/a'",
         dialog_command(web_browser_dialog(true), "/w/a")},
        {"whiptail --title 'Web Browser' --notags --menu -- 'Choose web browser' 20 78 10"
         " 'chrome' 'Google Chrome (recommended)' 'firefox' 'Mozilla Firefox'"
         " 'edge' 'Microsoft Edge' 'vivaldi' 'Vivaldi' 'opera' 'Opera' 'brave' 'Brave'",
         dialog_command(web_browser_dialog(false), "")},
        {"whiptail --title 'Install Software' --cancel-button 'Exit' --notags --checklist -- "
         "'Choose items to install:' 30 78 20 build 'build-essential dkms git git-extras   ' OFF "
         "vala 'valac geany meld' OFF gimp 'gimp inkscape shutter imagemagick' OFF steam "
         "'steam lutris heroic' OFF spotify 'spotify youtube-music' OFF "
         "ffmpeg 'smplayer mpv ffmpeg sox' OFF "
         "mailspring 'mailspring' OFF rustdesk 'rustdesk remmina' OFF vmm 'virt-manager' OFF "
         "vbox 'virtualbox' OFF vscode 'vscode' OFF meet 'webex zoom' OFF 2> '/w/a'",
         dialog_command(extra_apps_dialog(), "/w/a")},
    });
    EXPECT_EQ((std::vector<std::string>{" 'light' 'light       Install Refind - Light theme'",
                                        " 'dark' 'dark        Install Refind - Dark theme'",
                                        " 'back' 'back         -- Go back --'"}),
              refind_theme_menu_items());
}

// The kernel menu offers what the CPU runs; the verb's names map to the same packages.
TEST(CommandLines, KernelsByCpuLevelAndRelease) {
    const std::vector<std::string> v2{
        " 'linux-xanmod-x64v2' 'x86-64v2         Generic, for CPUs circa 2009'",
        " 'linux-xanmod-lts-x64v2' 'lts-x86-64v2     Long-term support, for CPUs circa 2009'",
        " 'linux-xanmod-rt-x64v2' 'rt-x86-64v2      Realtime, for CPUs circa 2009'",
        " 'linux-xanmod-edge-x64v2' 'edge-x86-64v2    Newest features, for CPUs circa 2009'",
        " 'back' 'back             -- Go back --'"};
    EXPECT_EQ(v2, xanmod_menu_items(2));
    EXPECT_EQ(9u, xanmod_menu_items(3).size());
    EXPECT_EQ(xanmod_menu_items(3), xanmod_menu_items(4));
    EXPECT_EQ(xanmod_menu_items(3), xanmod_menu_items(0));
    EXPECT_EQ(1u, xanmod_menu_items(1).size());
    const std::tuple<const char*, const char*, int> names[] = {
        {"x64v3", "linux-xanmod-x64v3", 3},
        {"lts", "linux-xanmod-lts-x64v3", 3},
        {"rt-x64v2", "linux-xanmod-rt-x64v2", 2},
        {"edge-x64v3", "linux-xanmod-edge-x64v3", 3},
        {"lts-x64v2", "linux-xanmod-lts-x64v2", 2}};
    for (const auto& [name, package, level] : names) {
        EXPECT_EQ(package, xanmod_package(name).value_or("")) << name;
        // Offered from its level on, refused below it; level 0 (unknown) refuses nothing.
        for (int cpu_level = 0; cpu_level <= 4; ++cpu_level) {
            const bool offered = cpu_level == 0 || cpu_level >= level;
            const auto items = xanmod_menu_items(cpu_level);
            EXPECT_EQ(offered, std::any_of(items.begin(), items.end(), [&](const auto& item) {
                          return item.starts_with(" '" + std::string(package) + "' ");
                      }));
            EXPECT_EQ(offered ? ""
                              : "This CPU doesn't support x86-64 Level " + std::to_string(level) +
                                    " features.\nSelect another kernel type.",
                      xanmod_refusal(package, cpu_level).value_or(""));
        }
    }
    for (const char* gone : {"x64v1", "rt-x64v1", "linux-xanmod", ""}) {
        EXPECT_FALSE(xanmod_package(gone)) << gone;
    }
    const auto jammy = find_release("22.04").value();
    const auto noble = find_release("24.04").value();
    EXPECT_EQ("XanMod no longer publishes kernels for Ubuntu 22.04 (jammy).",
              xanmod_unavailable(jammy, 3).value_or(""));
    EXPECT_EQ("XanMod publishes no kernel for this CPU: its builds need x86-64 Level 2 features.",
              xanmod_unavailable(noble, 1).value_or(""));
    EXPECT_FALSE(xanmod_unavailable(noble, 2) || xanmod_unavailable(noble, 0));
}

// A third-party key goes into a keyring of its own that only its deb822 source trusts.
TEST(CommandLines, SignedSources) {
    const auto noble = find_release("24.04").value();
    expect_rows({
        {"sudo install -d -m 0755 /etc/apt/keyrings && key=$(wget -qO - "
         "'https://dl.xanmod.org/archive.key') && printf '%s\\n' \"$key\" | sudo gpg --dearmor "
         "--yes -o '/etc/apt/keyrings/xanmod-archive-keyring.gpg'",
         keyring_install_command(xanmod_source(noble))},
        {"printf '%s' 'Types: deb\nURIs: http://deb.xanmod.org\nSuites: noble\nComponents: "
         "main\nSigned-By: /etc/apt/keyrings/xanmod-archive-keyring.gpg\n' | sudo tee "
         "'/etc/apt/sources.list.d/xanmod-kernel.sources' >/dev/null",
         sudo_write_command(signed_source_text(xanmod_source(noble)),
                            xanmod_source(noble).source_path)},
        {"sudo install -d -m 0755 /etc/apt/keyrings && key=$(wget -qO - "
         "'https://packages.mozilla.org/apt/repo-signing-key.gpg') && printf '%s\\n' \"$key\" | "
         "sudo gpg --dearmor --yes -o '/etc/apt/keyrings/packages.mozilla.org.gpg'",
         keyring_install_command(firefox_maker_source)},
        {"Types: deb\nURIs: https://packages.mozilla.org/apt\nSuites: mozilla\nComponents: "
         "main\nSigned-By: /etc/apt/keyrings/packages.mozilla.org.gpg\n",
         signed_source_text(firefox_maker_source)},
        {"/etc/apt/sources.list.d/mozilla.sources", std::string(firefox_maker_source.source_path)},
        {"for f in /etc/apt/sources.list.d/xanmod-*.list /etc/apt/sources.list.d/xanmod-*.sources; "
         "do test -f \"$f\" && exit 0; done; exit 1",
         xanmod_source_test_command()},
        {"sudo rm -f '/etc/apt/sources.list.d/xanmod-kernel.sources' "
         "'/etc/apt/keyrings/xanmod-archive-keyring.gpg'",
         xanmod_source_remove_command()},
        {"sudo rm -f '/etc/apt/sources.list.d/xanmod-kernel.list' "
         "'/etc/apt/trusted.gpg.d/xanmod-kernel.gpg'",
         xanmod_retired_source_remove_command()},
    });
}
