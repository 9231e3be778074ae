// Parsers and decisions that take text: os-release, cpuinfo, dpkg-query, answers, options.
#include <gtest/gtest.h>

#include <algorithm>

#include "actions/layout_data.h"
#include "actions/software_data.h"
#include "app/options.h"
#include "app/startup_data.h"
#include "core/addresses_data.h"
#include "core/app_console.h"
#include "core/packages_data.h"
#include "core/preflight_data.h"
#include "core/release_data.h"
#include "core/sources_data.h"
#include "lib/files.h"
#include "test_support.h"
#include "wizard/browser_data.h"
#include "wizard/desktop_data.h"
#include "wizard/download_hosts_data.h"
#include "wizard/driver_data.h"
#include "wizard/package_steps_data.h"
#include "wizard/shell_ssh_data.h"

using namespace test_support;
using Strings = std::vector<std::string>;

namespace {

const Strings supported = supported_versions();

std::string fixture(const std::string& relative_path) {
    return read_file(std::string(KELVANE_SOURCE_DIR) + "/tests/fixtures/" + relative_path);
}

bool supported_text(const std::string& text) {
    return distribution_supported(parse_os_release(text), supported);
}

}  // namespace

TEST(OsRelease, RealFilesAndTheSupportDecision) {
    const std::tuple<const char*, const char*, const char*, bool> cases[] = {
        {"ubuntu-22.04", "22.04", "Ubuntu 22.04.3 LTS", true},
        {"ubuntu-22.10", "22.10", "Ubuntu 22.10", true},
        {"ubuntu-24.04", "24.04", "Ubuntu 24.04.1 LTS", true},
        {"ubuntu-26.04", "26.04", "Ubuntu 26.04 LTS", true},
        {"ubuntu-22.04.1", "22.04.1", "Ubuntu 22.04.1 LTS", false},
        {"ubuntu-20.04", "20.04", "Ubuntu 20.04.6 LTS", false},
        {"debian-12", "12", "Debian GNU/Linux 12 (bookworm)", false},
        {"derivative-22.04", "22.04", "Corvid Desktop 22.04", false},  // ID is ubuntu, NAME not
    };
    for (const auto& [file, version_id, pretty_name, is_supported] : cases) {
        const OsRelease release = parse_os_release(fixture(std::string("os-release/") + file));
        EXPECT_EQ(version_id, release.version_id) << file;
        EXPECT_EQ(pretty_name, release.pretty_name) << file;
        EXPECT_EQ(is_supported, distribution_supported(release, supported)) << file;
    }
    // Letter case of ID and NAME does not matter, of keys it does; blanks around key and value
    // go, but not inside quotes; single quotes stay and so fail; the last line wins.
    const std::pair<std::string, bool> texts[] = {
        {"ID=UBUNTU\nNAME=\"uBuNtU\"\nVERSION_ID=\"22.10\"", true},
        {"  ID =  ubuntu \r\nNAME\t=Ubuntu\r\nVERSION_ID= 22.04\r\n", true},
        {"ID=ubuntu\nNAME=Ubuntu\nversion_id=22.04\n", false},
        {"ID='ubuntu'\nNAME=Ubuntu\nVERSION_ID=22.04\n", false},
        {"ID=ubuntu\nNAME=Ubuntu\nVERSION_ID=\"22.04 \"\n", false},
        {"ID=ubuntu\nNAME=Ubuntu\nVERSION_ID=22\n", false},
        {"ID=ubuntu\nNAME=Ubuntu\nVERSION_ID=22.04\nID=debian\n", false},
        {"ID=\nNAME=Ubuntu\nVERSION_ID=22.04\n", false},
        {"", false},
        {"==\n=\n", false},
        {std::string("\0\xff\xfe=", 4), false},
    };
    for (const auto& [text, expected] : texts) EXPECT_EQ(expected, supported_text(text)) << text;
    EXPECT_EQ("Release", parse_os_release("PRETTY_NAME=\"Release=2\"").pretty_name);
}

TEST(CpuLevel, RealCpuinfoFilesAndTheFlagsLine) {
    for (const auto& [file, level] :
         {std::pair{"v1", 1}, {"v2", 2}, {"v3", 3}, {"v4", 4}, {"v3-missing-v2-flag", 1}}) {
        const std::string flags = cpuinfo_flags(fixture(std::string("cpuinfo/") + file));
        EXPECT_EQ(level, x86_64_level(cpu_flag_set(flags))) << file;
    }
    // Only the "flags" line counts, not "vmx flags" or "bugs".
    const std::string v4_flags = cpuinfo_flags(fixture("cpuinfo/v4"));
    EXPECT_EQ(std::string::npos, v4_flags.find("preemption_timer"));
    EXPECT_EQ("arch_capabilities", v4_flags.substr(v4_flags.size() - 17));
    EXPECT_EQ("", cpuinfo_flags("processor\t: 0\nflags without colon\n"));
    EXPECT_EQ("cx16 lahf_lm",
              cpuinfo_flags("flags\nFlags\t: avx\nflags\t\t:  cx16 lahf_lm \nflags\t: avx\n"));
    EXPECT_EQ(1u, cpu_flag_set("SSE4_1  sse4_1\t").count("sse4_1"));
}

// A v4 CPU's registers, and one thing taken away each time; the knob takes one digit.
TEST(CpuLevel, FromCpuidAsTheLoaderDecides) {
    const CpuidRegisters v4{0x3cd83201, 0xd0030128, 0x21, 0xe6};
    const std::pair<CpuidRegisters, int> rows[] = {
        {v4, 4},
        {{v4.leaf1_ecx, v4.leaf7_ebx, v4.extended1_ecx, 0x06}, 3},             // no ZMM state saved
        {{v4.leaf1_ecx & ~(1u << 27), v4.leaf7_ebx, v4.extended1_ecx, 0}, 2},  // no OSXSAVE
        {{v4.leaf1_ecx, v4.leaf7_ebx, 0x01, v4.xcr0}, 2},                      // no LZCNT
        {{v4.leaf1_ecx, v4.leaf7_ebx, 0x20, v4.xcr0}, 1},                      // no LAHF
    };
    for (const auto& [registers, level] : rows) {
        EXPECT_EQ(level, x86_64_level_from_cpuid(registers)) << level;
    }
    EXPECT_EQ(2, cpu_level_knob("2"));
    for (const char* bad : {"0", "5", "22", "x", ""}) EXPECT_EQ(std::nullopt, cpu_level_knob(bad));
}

TEST(Packages, NamesQueriesAndWhatIsMissing) {
    EXPECT_EQ((Strings{"curl", "wget\tx"}), package_names("  curl  wget\tx "));
    EXPECT_EQ((Strings{"adduser", "apt", "bash"}), parse_dpkg_query("adduser\napt\n\n  bash \r\n"));

    // Letter case counts: "Curl" is not installed when "curl" is.
    const auto installed = [](std::string_view name) { return name == "curl" || name == "wget"; };
    const std::tuple<const char*, std::optional<std::string>, std::optional<std::string>> rows[] = {
        {"curl wget", std::nullopt, "curl"},
        {"", std::nullopt, std::nullopt},
        {" Curl  boxes", "Curl", std::nullopt},
        {"boxes wget", "boxes", "wget"}};
    for (const auto& [packages, missing, present] : rows) {
        EXPECT_EQ(missing, first_missing_package(packages, installed)) << packages;
        EXPECT_EQ(present, first_installed_package(packages, installed)) << packages;
    }
}

// What the checks before the first change read: fuser, the package sources, df, curl's list.
TEST(Preflight, LockHoldersSourcesFreeSpaceAndHosts) {
    EXPECT_EQ((std::vector<int>{1234, 77}), parse_lock_holders("  1234  77c\n"));
    EXPECT_TRUE(parse_lock_holders("").empty());
    EXPECT_EQ("Waiting for another package manager (unattended-upgr, pid 1234) to finish… 2 min",
              lock_wait_text("unattended-upgr", 1234, 2));
    // A holder that ended before its name was read.
    EXPECT_EQ("Waiting for another package manager (pid 77) to finish… 0 min",
              lock_wait_text("", 77, 0));

    // Both formats; options before the URI, comments, cdrom and a second URI of a known host.
    const std::string sources_list =
        "# deb http://old.example.org/ubuntu jammy main\n"
        "deb [arch=amd64 signed-by=/k.gpg] http://de.archive.ubuntu.com/ubuntu/ jammy main\n"
        "deb-src http://src.example.org/ubuntu jammy main\n"
        "deb cdrom:[Ubuntu 22.04]/ jammy main\n"
        "deb http://de.archive.ubuntu.com/ubuntu/ jammy-updates main\n";
    const std::string deb822 =
        "Types: deb\nURIs: http://archive.ubuntu.com/ubuntu/\nSuites: noble\n\n"
        "Types: deb\nURIs:\thttp://security.ubuntu.com/ubuntu/ file:/media/x\n";
    EXPECT_EQ((Strings{"http://de.archive.ubuntu.com/ubuntu/", "http://archive.ubuntu.com/ubuntu/",
                       "http://security.ubuntu.com/ubuntu/"}),
              archive_urls(sources_list, deb822));
    EXPECT_EQ("a.org", url_host("https://a.org:8080/x"));
    EXPECT_EQ("", url_host("cdrom:/x"));

    EXPECT_EQ(std::optional<std::uint64_t>(5368709120), parse_free_space("   Avail\n5368709120\n"));
    EXPECT_EQ(std::nullopt, parse_free_space("df: /nowhere: No such file or directory\n"));
    EXPECT_EQ("4.9 GiB", size_text(5300000000));
    EXPECT_EQ("300 MiB", size_text(kernel_free_bytes));

    const std::vector<HostCheck> checks{{"the archive", "http://a.org/u/"},
                                        {"the web browser", "https://b.org/x"}};
    const auto failed = failed_hosts(checks, "b.org\n");
    ASSERT_EQ(1u, failed.size());
    EXPECT_EQ("the web browser", failed[0].role);
}

// Every address in the command lines of a pass, on every release with every browser, has its
// host asked before the first change; the archive comes first, each host once.
TEST(Preflight, EveryDownloadOfAPassHasItsHostChecked) {
    AppConsole app;
    for (const auto& release : release_profiles()) {
        for (const auto& [tag, address] : browser_addresses) {
            app.release = release;
            app.web_browser = tag;
            Strings hosts;
            for (const auto& check : one_per_host(wizard_host_checks(app, {"http://a.org/u/"})))
                hosts.push_back(url_host(check.url));
            EXPECT_EQ("a.org", hosts.front());
            Strings texts{extension_installer_commands("/w").front(), deb_get_installer_command(),
                          flathub_remote_command()};
            if (release.appimagelauncher_installs)
                texts.push_back(download_command("/w", appimagelauncher_download.url));
            // Firefox comes from the team PPA, or where the release says so its maker's own.
            if (tag != "firefox") texts.emplace_back(find_browser(tag)->download_url);
            if (tag == "firefox" && release.firefox_source == FirefoxSource::maker_repository)
                texts.push_back(keyring_install_command(firefox_maker_source));
            for (const auto& text : texts) {
                const auto url = Velkor::regex_match("https?://[^' ]+", text, false);
                ASSERT_TRUE(url) << text;
                EXPECT_EQ(1, std::count(hosts.begin(), hosts.end(), url_host((*url)[0])))
                    << release.version << " " << tag << ": " << (*url)[0];
            }
        }
    }
    // A skipped step's hosts are not asked: Chrome's without LibreOffice needs no Launchpad.
    app.release = *find_release("22.04");
    app.web_browser = "chrome";
    app.preset.skip = {"libreoffice", "browser", "flatpak"};
    Strings hosts;
    for (const auto& check : one_per_host(wizard_host_checks(app, {})))
        hosts.push_back(url_host(check.url));
    EXPECT_EQ((Strings{"github.com", "raw.githubusercontent.com"}), hosts);
}

// apt's own words: unknown names (a dotted name is retried as a pattern), no candidate in both
// of apt's spellings, and an error that is no name's.
TEST(Packages, AptSimulationAndAnEmptyCache) {
    const AptSimulation found = parse_apt_simulation(
        "Reading package lists...\n"
        "E: Unable to locate package libappindicator1\n"
        "E: Unable to locate package gir1.2-clutter-1.0\n"
        "E: Couldn't find any package by glob 'gir1.2-clutter-1.0'\n"
        "E: Couldn't find any package by regex 'gir1.2-clutter-1.0'\n"
        "Package neofetch is not available, but is referred to by another package.\n"
        "Package neofetch has no installation candidate\n"
        "E: Package 'neofetch' has no installation candidate\n"
        "E: Package 'p7zip-rar' has no installation candidate\n"
        "E: Unable to correct problems, you have held broken packages.\n");
    EXPECT_EQ((Strings{"libappindicator1", "gir1.2-clutter-1.0", "neofetch", "p7zip-rar"}),
              found.missing);
    EXPECT_EQ((Strings{"Unable to correct problems, you have held broken packages."}),
              found.other_errors);
    EXPECT_TRUE(
        parse_apt_simulation("Inst curl (8.5.0 Ubuntu:24.04/noble [amd64])\n").missing.empty());

    EXPECT_TRUE(
        apt_policy_has_no_lists("Package files:\n 100 /var/lib/dpkg/status\n"
                                "     release a=now\nPinned packages:\n"));
    EXPECT_FALSE(apt_policy_has_no_lists(
        "Package files:\n 100 /var/lib/dpkg/status\n"
        " 500 http://archive.ubuntu.com/ubuntu noble/main amd64 Packages\r\n"));
}

// apt 3's prefixes and a terminal's progress lines; a PPA's source names its address with a
// slash that apt leaves out; a sibling address and a failure of the network are no fault of it.
TEST(Sources, WhatAptUpdateSaysOfASource) {
    const AptUpdateReport report = parse_apt_update(
        "0% [Working]\rHit:1 http://archive.ubuntu.com/ubuntu noble InRelease\r\n"
        "Error: The repository 'https://ppa.launchpadcontent.net/lo/ppa/ubuntu noble Release' "
        "does not have a Release file.\n"
        "Warning: Failed to fetch http://x.org/u/dists/noble/InRelease  Temporary failure "
        "resolving 'x.org'\n");
    EXPECT_TRUE(report.reached_a_repository);
    const Strings ppa = source_file_uris(
        "deb https://ppa.launchpadcontent.net/lo/ppa/ubuntu/ noble main\n"
        "# deb-src https://ppa.launchpadcontent.net/lo/ppa/ubuntu/ noble main\n");
    EXPECT_EQ(FetchFailure::no_release_file, source_failure(ppa, report.errors));
    EXPECT_EQ(std::nullopt,
              source_failure({"https://ppa.launchpadcontent.net/lo/pp"}, report.errors));
    EXPECT_EQ(std::nullopt, source_failure({"http://x.org/u"}, report.errors));
    EXPECT_EQ((Strings{"https://a.org/x", "http://b.org/y"}),
              source_file_uris("Types: deb\nURIs: https://a.org/x http://b.org/y\nSuites: s\n"));
}

// Every list apt is given on a release holds no name that release lacks; 22.04's lists are
// the program's own, byte for byte.
TEST(Releases, PackageListsHoldNoNameTheReleaseLacks) {
    const std::tuple<const char*, Strings, Strings> rows[] = {
        {"22.04", {}, {"libappindicator1", "neofetch", "p7zip-rar"}},
        {"22.10", {}, {"libappindicator1", "gir1.2-clutter-1.0"}},
        {"24.04", {"libappindicator1"}, {"gir1.2-gtk-3.0", "neofetch", "p7zip-rar", "nala"}},
        {"26.04",
         {"libappindicator1", "neofetch", "p7zip", "p7zip-full", "p7zip-rar"},
         {"fastfetch", "7zip", "7zip-rar", "gnome-terminal", "nala"}},
    };
    for (const auto& [version, lacks, holds] : rows) {
        const ReleaseProfile release = find_release(version).value();
        Strings names;
        for (const auto& list : package_check_plan(release, "firefox").lists) {
            EXPECT_EQ(std::string::npos, list.find("  ")) << version << ": " << list;
            for (auto& name : package_names(list)) names.push_back(std::move(name));
        }
        for (const auto& name : lacks)
            EXPECT_EQ(0, std::count(names.begin(), names.end(), name)) << version << " " << name;
        for (const auto& name : holds)
            EXPECT_NE(0, std::count(names.begin(), names.end(), name)) << version << " " << name;
    }
    const ReleaseProfile jammy = find_release("22.04").value();
    // A skipped step's packages are not asked for.
    const auto skipping = package_check_plan(jammy, "firefox", {"apps", "variety", "guake"});
    EXPECT_EQ(2u, skipping.lists.size());
    EXPECT_EQ(std::string::npos, skipping.lists.back().find("guake"));
    EXPECT_EQ(std::string::npos, skipping.lists.back().find("variety"));
    EXPECT_EQ(dependency_packages, release_dependency_packages(jammy));
    EXPECT_EQ(application_packages, release_application_packages(jammy));
}

TEST(Answers, ChecklistToInstallListsInTheAnswersOrder) {
    EXPECT_EQ("steam vmm vscode", clean_checklist_answer("\"steam\" \"vmm\" \"vscode\""));
    EXPECT_EQ("", clean_checklist_answer(""));
    // Answer, apt list, deb-get list, group commands. Stray blanks and unknown tags add nothing.
    const std::tuple<const char*, const char*, const char*, const char*> rows[] = {
        {"", "", "", ""},
        {"steam vmm vbox vscode",
         " steam virt-manager virtualbox-qt virtualbox-ext-pack virtualbox-guest-additions-iso",
         " lutris heroic code",
         "sudo usermod -aG libvirt alice ; sudo usermod -aG vboxusers alice ; "},
        {"vscode skype spotify mailspring rustdesk meet", " remmina",
         " code spotify-client youtube-music mailspring rustdesk webex zoom", ""},
        {" vbox  onlyoffice softmaker ure\tvscode ",
         " virtualbox-qt virtualbox-ext-pack virtualbox-guest-additions-iso", "",
         "sudo usermod -aG vboxusers alice ; "},
    };
    for (const auto& [answer, apt, deb_get, groups] : rows) {
        const auto lists = extra_apps_lists(answer, "alice");
        EXPECT_EQ(apt, lists.apt_packages) << answer;
        EXPECT_EQ(deb_get, lists.deb_get_packages) << answer;
        EXPECT_EQ(groups, lists.group_commands) << answer;
    }
    // Rows joined into one list keep a blank between them: as many names as the rows alone.
    std::string every_tag;
    size_t names_alone = 0;
    const auto names_of = [](const ExtraAppsLists& lists) {
        return package_names(lists.apt_packages).size() +
               package_names(lists.deb_get_packages).size();
    };
    for (const char* tag : {"build", "vala", "gimp", "steam", "spotify", "ffmpeg", "mailspring",
                            "rustdesk", "vmm", "vbox", "vscode", "meet"}) {
        every_tag += std::string(tag) + " ";
        names_alone += names_of(extra_apps_lists(tag, "alice"));
    }
    EXPECT_EQ(names_alone, names_of(extra_apps_lists(every_tag, "alice")));
    // Steam's installer needs i386 added once; dpkg lists one architecture per line.
    const std::tuple<const char*, const char*, bool> i386_rows[] = {
        {" steam-installer virt-manager", "", true},
        {" steam-installer", "armhf\ni386\n", false},
        {" steam-installer", "i386x\n", true},
        {" steam virt-manager", "", false},
    };
    for (const auto& [apt, architectures, needed] : i386_rows) {
        EXPECT_EQ(needed, i386_architecture_needed(apt, architectures)) << apt << architectures;
    }
    // The user name reaches a root shell: an odd name arrives as one word, unexpanded.
    EXPECT_EQ("j.doe-2_x", shell_word("j.doe-2_x"));
    for (const std::string name : {"a b", "x;touch /tmp/pwned", "it's", "$(id)", "", "*"})
        EXPECT_EQ(name, run_sh("printf %s " + shell_word(name)).output) << name;
}

TEST(Answers, BrowsersSnapsAndRemovals) {
    const std::pair<const char*, std::optional<std::string>> browsers[] = {
        {"edge", "microsoft-edge-stable"},
        {"librewolf", "librewolf"},
        {"vivaldi", "vivaldi-stable"},
        {"opera", "opera-stable"},
        {"brave", "brave-browser"},
        {"chrome", std::nullopt},
        {"Edge", std::nullopt}};
    for (const auto& [tag, package] : browsers) EXPECT_EQ(package, deb_get_browser_package(tag));
    EXPECT_FALSE(snap_list_has_snaps(""));
    EXPECT_FALSE(snap_list_has_snaps("Name  Version  Rev  Tracking  Publisher  Notes\n"));
    EXPECT_TRUE(snap_list_has_snaps("Name  Version\ncore20  20230207\n"));
    const std::string removals =
        " thunderbird simple-scan deja-dup gnome-text-editor remmina aisleriot gnome-mahjongg "
        "gnome-mines gnome-sudoku rhythmbox totem";
    EXPECT_EQ("snapd" + removals, default_apps_removal_list(true, false));
    EXPECT_EQ(removals, default_apps_removal_list(false, false));
    EXPECT_EQ(" simple-scan" + removals.substr(removals.find(" deja-dup")),
              default_apps_removal_list(false, true));
    const char* snaps = "Name         Version  Rev\nthunderbird-x  1  2\nthunderbird  128.5  600\n";
    EXPECT_TRUE(snap_list_has(snaps, "thunderbird") && !snap_list_has(snaps, "firefox"));
    EXPECT_TRUE(is_snap_transitional_version("1:1snap1-0ubuntu2") &&
                !is_snap_transitional_version("121.0~b1+build1"));
}

TEST(Options, RebootOptionsAndTheVersion) {
    for (const char* yes :
         {"--noreboot", "--no-reboot", "--skip-reboot", "--No-Reboot", "--NOREBOOT",
          "--sKiP-rEbOoT", "--s\u212Aip-reboot"})  // KELVIN SIGN lower-cases to "k"
        EXPECT_TRUE(is_noreboot_option(yes)) << yes;
    for (const char* no : {"-noreboot", "--noreboot=1", "noreboot", "--noreboot ", " --noreboot",
                           "--no_reboot", "--noreboots", "--reboot", "", "--skip_reboot"})
        EXPECT_FALSE(is_noreboot_option(no)) << "'" << no << "'";

    // Usage errors name the argument and a spelling within two edits; nothing else may pass
    // for an option or a value.
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
        {{"--no_reboot"}, "kelvane: unknown option '--no_reboot'; did you mean '--noreboot'?"},
        {{"-noreboot"}, "kelvane: unknown option '-noreboot'; did you mean '--noreboot'?"},
        {{"--noreboot=1"}, "kelvane: unknown option '--noreboot=1'; did you mean '--noreboot'?"},
        {{"--DRY-RNU"}, "kelvane: unknown option '--DRY-RNU'; did you mean '--dry-run'?"},
        {{"--reboot-never"}, "kelvane: unknown option '--reboot-never'"},
        {{"--layout=botom"},
         "kelvane: invalid value 'botom' for --layout (choose ubuntu, windows (bottom) or "
         "minimal (left)); did you mean 'bottom'?"},
        {{"--browsr=edge"},
         "kelvane: unknown option '--browsr=edge'; did you mean '--browser=NAME'?"},
        {{"layout", "right"},
         "kelvane: invalid value 'right' for layout (choose ubuntu, windows (bottom), minimal "
         "(left) or reset (default))"},
        {{"kernel"},
         "kelvane: kernel takes one value (choose x64v2 (x86-64v2), x64v3 (x86-64v3), lts-x64v2 "
         "(lts-x86-64v2), lts-x64v3 (lts-x86-64v3), lts, rt-x64v2 (rt-x86-64v2), rt-x64v3 "
         "(rt-x86-64v3), edge-x64v2 (edge-x86-64v2) or edge-x64v3 (edge-x86-64v3))"},
        {{"software", "steam", "skype"},
         "kelvane: invalid value 'skype' for software (choose build, vala, gimp, steam, spotify, "
         "ffmpeg, mailspring, rustdesk, vmm, vbox, vscode or meet)"},
        {{"software", "stema"},
         "kelvane: invalid value 'stema' for software (choose build, vala, gimp, steam, spotify, "
         "ffmpeg, mailspring, rustdesk, vmm, vbox, vscode or meet); did you mean 'steam'?"},
        {{"frobnicate"}, "kelvane: unknown command 'frobnicate'"},
        {{"udno"}, "kelvane: unknown command 'udno'; did you mean 'undo'?"},
    };
    for (const auto& [args, message] : refused) {
        std::string error;
        EXPECT_FALSE(parse_options(args, error)) << args[0];
        EXPECT_EQ(message, error);
    }
    std::string error;
    const auto options = parse_options({"--NoReboot", "--browser=brave", "--theme=dark", "-h",
                                        "--yes", "--dry-run", "theme", "light"},
                                       error);
    ASSERT_TRUE(options) << error;
    EXPECT_TRUE(!options->reboot && options->help && options->yes && options->dry_run);
    EXPECT_EQ("brave", options->browser.value_or(""));
    EXPECT_EQ("dark", options->theme.value_or(""));
    EXPECT_EQ((std::vector<std::string>{"theme", "light"}), options->verb);
    // The dialogs' words stand for the verbs' own.
    for (const auto& [args, verb] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"layout", "bottom"}, "layout windows"},
             {{"layout", "left"}, "layout minimal"},
             {{"layout", "default"}, "layout reset"},
             {{"kernel", "rt-x86-64v3"}, "kernel rt-x64v3"},
             {{"kernel", "x64v2"}, "kernel x64v2"}}) {
        const auto parsed = parse_options(args, error);
        ASSERT_TRUE(parsed) << error;
        EXPECT_EQ(verb, Velkor::string_join(parsed->verb, " "));
    }
    EXPECT_EQ("minimal", parse_options({"--layout=left"}, error)->layout.value_or(""));
    EXPECT_EQ(3u, Velkor::string_edit_distance("kitten", "sitting"));
    EXPECT_EQ(0u, Velkor::string_edit_distance("", ""));
}
