#include "ops/package_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unordered_set>

#include "app/app_console.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "test_support.h"

using namespace Velkor;

TEST(PackageCommands, ExactCommandLines) {
    EXPECT_EQ("sudo eatmydata apt install -y --no-install-recommends curl wget eatmydata boxes",
              apt_install_command("curl wget eatmydata boxes", true));
    EXPECT_EQ("sudo  apt install -y --no-install-recommends curl eatmydata",
              apt_install_command("curl eatmydata", false));
    EXPECT_EQ("sudo eatmydata apt install -y --no-install-recommends ",
              apt_install_command("", true));
    EXPECT_EQ("sudo eatmydata apt autoremove --purge -y gnome-mahjongg aisleriot",
              apt_remove_command("gnome-mahjongg aisleriot"));
    EXPECT_EQ("sudo eatmydata apt update", apt_update_command());
    EXPECT_EQ("sudo eatmydata add-apt-repository -y ppa:libreoffice/ppa",
              add_ppa_command("ppa:libreoffice/ppa"));
    EXPECT_EQ("sudo eatmydata apt install -y ./debs/webp-pixbuf-loader_*.deb",
              apt_install_deb_command("./debs/webp-pixbuf-loader_*.deb"));
    EXPECT_EQ("sudo eatmydata deb-get install foo bar", deb_get_install_command("foo bar"));
    EXPECT_EQ("sudo mkdir -p '/etc/it'\\''s here'", mkdir_command("sudo", "/etc/it's here"));
    EXPECT_EQ(" mkdir -p '/home/ann/.local'", mkdir_command("", "/home/ann/.local"));
    EXPECT_EQ("sudo cp -rf ./data/*.conf '/etc/it'\\''s/'",
              copy_command("sudo", "./data/*.conf", "/etc/it's/"));
    EXPECT_EQ(
        " cp -rf ./extensions_22.04/* '/home/ann/.local/share/gnome-shell/extensions/'",
        copy_command("", "./extensions_22.04/*", "/home/ann/.local/share/gnome-shell/extensions/"));
    EXPECT_EQ("dconf load -f / < '/tmp/kelvane_x/1/2'", dconf_load_command("/tmp/kelvane_x/1/2"));
    EXPECT_EQ("dconf load -f / < '/tmp/a'\\''b'", dconf_load_command("/tmp/a'b"));

    EXPECT_EQ("/etc/apt/sources.list.d/", copy_target_dir("/etc/apt/sources.list.d/"));
    EXPECT_EQ("/etc/apt/sources.list.d", copy_target_dir("/etc/apt/sources.list.d/x.list"));
    EXPECT_EQ("/", copy_target_dir("/x"));
    EXPECT_EQ("/", copy_target_dir("/"));
}

TEST(PackageCommands, NamesAndSkipDecisions) {
    EXPECT_EQ((std::vector<std::string>{"curl", "wget\tx"}), package_names("  curl  wget\tx "));
    EXPECT_TRUE(package_names("").empty());
    EXPECT_TRUE(package_names("   ").empty());
    EXPECT_EQ((std::vector<std::string>{"adduser", "apt", "bash"}),
              parse_dpkg_query("adduser\napt\n\n  bash \r\n"));
    EXPECT_TRUE(parse_dpkg_query("").empty());

    const std::unordered_set<std::string> installed{"curl", "wget"};
    auto is_installed = [&](std::string_view name) {
        return installed.count(std::string(name)) > 0;
    };
    // "Nothing to install" exactly when no name is missing, including the empty list.
    EXPECT_EQ(std::nullopt, first_missing_package("curl wget", is_installed));
    EXPECT_EQ(std::nullopt, first_missing_package("", is_installed));
    EXPECT_EQ("boxes", first_missing_package("curl boxes wget zsh", is_installed));
    EXPECT_EQ("Curl", first_missing_package("Curl", is_installed));
    // "Nothing to remove" exactly when no name is installed.
    EXPECT_EQ(std::nullopt, first_installed_package("boxes zsh", is_installed));
    EXPECT_EQ(std::nullopt, first_installed_package("", is_installed));
    EXPECT_EQ("wget", first_installed_package("boxes wget curl", is_installed));
}

// The operations run against stand-ins for sudo, sync and dconf that record what reaches them.
class PackageOps : public testing::Test {
   protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.path().empty());
        const std::string record =
            "printf '[%s]' \"$@\" >> '" + log_path() + "'; echo >> '" + log_path() + "'\n";
        write_executable(dir_.file("sudo"),
                         "#!/bin/sh\nprintf 'sudo ' >> '" + log_path() + "'\n" + record +
                             "if [ \"$1\" = dpkg-query ] && [ -f '" + dir_.file("dpkg-output") +
                             "' ]; then cat '" + dir_.file("dpkg-output") +
                             "'; fi\n"
                             "exit $(cat \"" +
                             dir_.path() + "/status-$1\" 2>/dev/null || echo 0)\n");
        write_executable(dir_.file("sync"), "#!/bin/sh\necho sync >> '" + log_path() + "'\n");
        write_executable(dir_.file("dconf"), "#!/bin/sh\nprintf 'dconf ' >> '" + log_path() +
                                                 "'\n" + record + "cat >> '" + log_path() +
                                                 "'\nexit $(cat '" + dir_.path() +
                                                 "/status-dconf' 2>/dev/null || echo 0)\n");
        path_.emplace("PATH", dir_.path() + ":" + std::getenv("PATH"));
    }

    std::string log_path() const { return dir_.file("log"); }
    std::string log() const { return read_text_file(log_path()); }
    void clear_log() const { std::filesystem::remove(log_path()); }
    void fail(const std::string& first_argument, int status) const {
        write_text_file(dir_.file("status-" + first_argument), std::to_string(status));
    }

    // Runs `operation` and returns the exit status it ended the process with, or -1.
    template <class F>
    int exit_status_of(F operation) {
        try {
            operation();
        } catch (const AppExit& request) {
            return request.status;
        }
        return -1;
    }

    TempDir dir_;
    std::optional<ScopedEnv> path_;
    AppConsole app_{AppConsole::SkipStartupChecks{}};
};

TEST_F(PackageOps, InstallRunsOnlyWhenSomethingIsMissing) {
    app_.set_installed_packages({"curl", "wget"});
    testing::internal::CaptureStdout();
    app_.apt_install("curl wget", true, true);
    app_.apt_install("", true, true);
    EXPECT_EQ("Nothing to install\nNothing to install\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ("", log());

    // One command for the whole list, then the buffers are flushed.
    log_debug_enabled = true;
    testing::internal::CaptureStdout();
    app_.apt_install("curl boxes", true, true);
    log_debug_enabled = false;
    const std::string debug = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, debug.find(" D: not_installed: 'boxes'\n")) << debug;
    EXPECT_NE(std::string::npos,
              debug.find(" D: sudo eatmydata apt install -y --no-install-recommends curl boxes\n"))
        << debug;
    EXPECT_EQ(
        "sudo [eatmydata][apt][install][-y][--no-install-recommends][curl][boxes]\nsync\nsync\n",
        log());

    clear_log();
    app_.apt_install("curl", false, false);
    app_.apt_install("", true, false);
    EXPECT_EQ(
        "sudo [apt][install][-y][--no-install-recommends][curl]\nsync\nsync\n"
        "sudo [eatmydata][apt][install][-y][--no-install-recommends]\nsync\nsync\n",
        log());

    // Letter case matters: "Curl" is not the installed "curl".
    clear_log();
    app_.apt_install("Curl", true, true);
    EXPECT_EQ("sudo [eatmydata][apt][install][-y][--no-install-recommends][Curl]\nsync\nsync\n",
              log());
}

TEST_F(PackageOps, FailingPackageCommandsEndTheRunAfterSync) {
    fail("eatmydata", 100);
    EXPECT_EQ(1, exit_status_of([&] { app_.apt_install("boxes", true, true); }));
    EXPECT_EQ("sudo [eatmydata][apt][install][-y][--no-install-recommends][boxes]\nsync\nsync\n",
              log());

    clear_log();
    EXPECT_EQ(1, exit_status_of([&] { app_.add_ppa("ppa:libreoffice/ppa"); }));
    EXPECT_EQ("sudo [eatmydata][add-apt-repository][-y][ppa:libreoffice/ppa]\nsync\nsync\n", log());

    clear_log();
    EXPECT_EQ(1, exit_status_of([&] { app_.deb_get_install("foo"); }));
    EXPECT_EQ(1, exit_status_of([&] { app_.apt_install_from_deb("webp", "./debs/w_*.deb"); }));
    app_.set_installed_packages({"gnome-mahjongg"});
    EXPECT_EQ(1, exit_status_of([&] { app_.apt_remove("gnome-mahjongg"); }));
    EXPECT_EQ(
        "sudo [eatmydata][deb-get][install][foo]\nsync\nsync\n"
        "sudo [eatmydata][apt][install][-y][./debs/w_*.deb]\nsync\nsync\n"
        "sudo [eatmydata][apt][autoremove][--purge][-y][gnome-mahjongg]\nsync\nsync\n",
        log());

    // A failed refresh is not fatal.
    clear_log();
    testing::internal::CaptureStdout();
    EXPECT_EQ(-1, exit_status_of([&] { app_.apt_update(); }));
    EXPECT_EQ(
        "\n┌┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┐\n┊ Refresh package information ┊\n"
        "└┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┘\n",
        testing::internal::GetCapturedStdout());
    EXPECT_EQ("sudo [eatmydata][apt][update]\nsync\nsync\n", log());
}

TEST_F(PackageOps, RemoveAndLocalPackages) {
    app_.set_installed_packages({"aisleriot", "webp-pixbuf-loader"});
    testing::internal::CaptureStdout();
    app_.apt_remove("gnome-mahjongg gnome-mines");
    app_.apt_install_from_deb("webp-pixbuf-loader", "./debs/webp-pixbuf-loader_*.deb");
    EXPECT_EQ("Nothing to remove\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ("", log());

    app_.apt_remove("gnome-mahjongg aisleriot");
    app_.apt_install_from_deb("heif-gdk-pixbuf", "./debs/heif_*.deb");
    app_.deb_get_install("foo bar");
    EXPECT_EQ(
        "sudo [eatmydata][apt][autoremove][--purge][-y][gnome-mahjongg][aisleriot]\nsync\nsync\n"
        "sudo [eatmydata][apt][install][-y][./debs/heif_*.deb]\nsync\nsync\n"
        "sudo [eatmydata][deb-get][install][foo][bar]\nsync\nsync\n",
        log());
}

TEST_F(PackageOps, InstalledPackageList) {
    write_text_file(dir_.file("dpkg-output"), "adduser\napt\nbash\n");
    const auto names = app_.check_installed_packages();
    EXPECT_EQ((std::vector<std::string>{"adduser", "apt", "bash"}), names);
    EXPECT_EQ(names, app_.installed_packages);
    EXPECT_TRUE(app_.installed("apt"));
    EXPECT_FALSE(app_.installed("ap"));
    // The format argument reaches dpkg-query as one word ending in a line feed.
    EXPECT_EQ("sudo [dpkg-query][-W][-f][${Package}\n]\n", log());

    // A failing query keeps the previous list.
    fail("dpkg-query", 2);
    write_text_file(dir_.file("dpkg-output"), "zsh\n");
    EXPECT_TRUE(app_.check_installed_packages().empty());
    EXPECT_EQ(names, app_.installed_packages);
    EXPECT_TRUE(app_.installed("bash"));

    // pkg_is_installed queries only while the list is empty, and then answers from it.
    std::filesystem::remove(dir_.file("status-dpkg-query"));
    clear_log();
    EXPECT_FALSE(app_.pkg_is_installed("zsh"));
    EXPECT_EQ("", log());
    app_.set_installed_packages({});
    EXPECT_TRUE(app_.pkg_is_installed("zsh"));
    EXPECT_FALSE(app_.pkg_is_installed("bash"));
    EXPECT_EQ("sudo [dpkg-query][-W][-f][${Package}\n]\n", log());
}

TEST_F(PackageOps, BootModeInstallsItsToolFirst) {
    if (cmd_exists("efibootmgr")) GTEST_SKIP() << "efibootmgr is installed here";
    fail("efibootmgr", 1);
    EXPECT_FALSE(app_.boot_mode_is_efi());
    EXPECT_EQ(
        "sudo [eatmydata][apt][install][-y][--no-install-recommends][efibootmgr]\nsync\nsync\n"
        "sudo [efibootmgr]\n",
        log());
    std::filesystem::remove(dir_.file("status-efibootmgr"));
    EXPECT_TRUE(app_.boot_mode_is_efi());
}

TEST_F(PackageOps, CopyFileWithTheRealShell) {
    const std::string source = dir_.file("source");
    std::filesystem::create_directory(source);
    write_text_file(source + "/a.conf", "a");
    write_text_file(source + "/b.conf", "b");
    // The destination folder is created, quote and blank included; the source pattern is
    // expanded by the shell.
    const std::string target = dir_.file("it's a target/sub/");
    EXPECT_EQ(0, app_.copy_file(source + "/*.conf", target, false));
    EXPECT_EQ("a", read_text_file(target + "a.conf"));
    EXPECT_EQ("b", read_text_file(target + "b.conf"));
    // A file destination gets only its parent created.
    const std::string file_target = dir_.file("other dir/copy.conf");
    EXPECT_EQ(0, app_.copy_file(source + "/a.conf", file_target, false));
    EXPECT_EQ("a", read_text_file(file_target));
    EXPECT_NE(0, app_.copy_file(dir_.file("absent/*"), dir_.file("x/"), false));
    EXPECT_EQ("", log());
}

TEST_F(PackageOps, DconfLoadHandsThePayloadOver) {
    const bool own_workspace = temp_dir().empty();
    if (own_workspace) {
        ScopedEnv tmpdir("TMPDIR", dir_.path());
        init_tmp("kelvane");
    }
    const std::string payload = "\n[org/gnome/desktop/interface]\ncolor-scheme='prefer-dark'\n";
    app_.dconf_load(payload);
    const std::string recorded = log();
    ASSERT_EQ(0u, recorded.rfind("dconf [load][-f][/]\n", 0)) << recorded;
    EXPECT_EQ(payload, recorded.substr(20));

    clear_log();
    fail("dconf", 1);
    EXPECT_EQ(1, exit_status_of([&] { app_.dconf_load(payload); }));
    EXPECT_EQ("dconf [load][-f][/]\n" + payload, log());  // and no sync
}
