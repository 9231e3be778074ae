#include "ops/package_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_console.h"
#include "test_support.h"

using namespace test_support;

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

TEST(PackageCommands, NamesFromTextAndQueries) {
    EXPECT_EQ((std::vector<std::string>{"curl", "wget\tx"}), package_names("  curl  wget\tx "));
    EXPECT_TRUE(package_names("").empty());
    EXPECT_TRUE(package_names("   ").empty());
    EXPECT_EQ((std::vector<std::string>{"adduser", "apt", "bash"}),
              parse_dpkg_query("adduser\napt\n\n  bash \r\n"));
    EXPECT_TRUE(parse_dpkg_query("").empty());
}

// The operations run against stand-ins for sudo and sync that record what reaches them.
class PackageOps : public testing::Test {
   protected:
    void SetUp() override {
        stubs_.add("sudo", "printf 'sudo ' >> " + sh_quote(log_path_) +
                               "; printf '[%s]' \"$@\" >> " + sh_quote(log_path_) + "; echo >> " +
                               sh_quote(log_path_) + "\nexit $(cat " + sh_quote(dir_ / "status-") +
                               "\"$1\" 2>/dev/null || echo 0)");
        stubs_.add("sync", "echo sync >> " + sh_quote(log_path_));
    }
    std::string log() const { return read_file(log_path_); }
    void clear_log() const { std::filesystem::remove(log_path_); }
    void fail(const std::string& first_argument) const {
        write_file(dir_ / ("status-" + first_argument), "100");
    }

    ScratchDir dir_;
    std::string log_path_ = dir_ / "log";
    StubPath stubs_;
    AppConsole app_{AppConsole::SkipStartupChecks{}};
};

TEST_F(PackageOps, RunOnlyWhenSomethingIsMissingOrInstalled) {
    app_.set_installed_packages({"curl", "wget", "aisleriot"});
    CaptureOutput quiet;
    app_.apt_install("curl wget", true, true);
    app_.apt_install("", true, true);
    app_.apt_remove("gnome-mahjongg gnome-mines");
    app_.apt_install_from_deb("curl", "./debs/curl_*.deb");
    EXPECT_EQ("Nothing to install\nNothing to install\nNothing to remove\n", quiet.std_out());
    EXPECT_EQ("", log());

    // One command for the whole list, letter case counting, then the buffers are flushed.
    app_.apt_install("Curl boxes", true, true);
    app_.apt_install("curl", false, false);
    app_.apt_remove("gnome-mahjongg aisleriot");
    app_.apt_install_from_deb("heif-gdk-pixbuf", "./debs/heif_*.deb");
    EXPECT_EQ(
        "sudo [eatmydata][apt][install][-y][--no-install-recommends][Curl][boxes]\nsync\nsync\n"
        "sudo [apt][install][-y][--no-install-recommends][curl]\nsync\nsync\n"
        "sudo [eatmydata][apt][autoremove][--purge][-y][gnome-mahjongg][aisleriot]\nsync\nsync\n"
        "sudo [eatmydata][apt][install][-y][./debs/heif_*.deb]\nsync\nsync\n",
        log());
}

// A failed package change ends the run with status 1 after flushing; a failed refresh does not.
TEST_F(PackageOps, FailurePolicy) {
    fail("eatmydata");
    EXPECT_EQ(1, exit_status_of([&] { app_.apt_install("boxes", true, true); }));
    EXPECT_EQ(1, exit_status_of([&] { app_.add_ppa("ppa:libreoffice/ppa"); }));
    EXPECT_EQ(1, exit_status_of([&] { app_.deb_get_install("foo"); }));
    EXPECT_EQ(
        "sudo [eatmydata][apt][install][-y][--no-install-recommends][boxes]\nsync\nsync\n"
        "sudo [eatmydata][add-apt-repository][-y][ppa:libreoffice/ppa]\nsync\nsync\n"
        "sudo [eatmydata][deb-get][install][foo]\nsync\nsync\n",
        log());
    clear_log();
    CaptureOutput capture;
    EXPECT_EQ(-1, exit_status_of([&] { app_.apt_update(); }));
    EXPECT_EQ(
        "\n┌┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┐\n┊ Refresh package information ┊\n"
        "└┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┄┘\n",
        capture.std_out());
    EXPECT_EQ("sudo [eatmydata][apt][update]\nsync\nsync\n", log());
}
