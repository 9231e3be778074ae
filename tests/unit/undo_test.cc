// The backup's manifest, undo's settings lines and the commands that undo packages.
#include <gtest/gtest.h>

#include "actions/undo_data.h"
#include "core/backup_data.h"
#include "lib/files.h"

TEST(Undo, ManifestRoundTripKeepsEveryEntry) {
    Manifest manifest;
    manifest.choices = "wizard: browser brave, layout windows, theme dark";
    manifest.files = {{"/home/a b/it's \\odd\nname", false, true, 0600, 1000, "file-1", "ab12"},
                      {"/etc/default/zramswap", true, false, 0, 0, "-", "absent"}};
    manifest.dconf_saves = {"dconf-2"};
    manifest.dconf_resets = {"/org/gnome/x/y"};
    manifest.dconf_dumps = {{"dconf-3", "/org/gnome/"}};
    manifest.installed = {"nala", "guake"};
    manifest.removed = {"thunderbird"};
    manifest.sources = {"/etc/apt/sources.list.d/x y.list"};
    manifest.taken_out = {"/etc/apt/sources.list.d/dead.list", "/etc/apt/trusted.gpg.d/dead.gpg"};
    manifest.snaps_removed = {"firefox"};
    manifest.flatpak_remotes = {"flathub"};
    manifest.extensions = {"/home/u/.local/share/gnome-shell/extensions/dash@x"};
    manifest.created = {"/home/u/Applications"};
    manifest.moved = {{"moved-4", "/home/u/snap/fire fox"}};
    manifest.finished = true;

    std::string error;
    const auto parsed = parse_manifest(manifest_text(manifest), error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(manifest_text(*parsed), manifest_text(manifest));
    EXPECT_EQ(parsed->files[0].path, manifest.files[0].path);
    EXPECT_EQ(parsed->files[0].mode, 0600u);
    EXPECT_TRUE(parsed->files[1].system);
    EXPECT_FALSE(parsed->files[1].existed);
    EXPECT_EQ(manifest_change_count(*parsed), 14u);
}

TEST(Undo, ManifestOfAnotherFormatOrWithABadLineIsRefused) {
    for (const char* text :
         {"", "kelvane-backup 2\n", "kelvane-backup 1\nfile home yes 9 0 f - /x\n",
          "kelvane-backup 1\nsource\n", "kelvane-backup 1\nwhatever x\n"}) {
        std::string error;
        EXPECT_FALSE(parse_manifest(text, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(Undo, SettingsGroupedByFolder) {
    EXPECT_EQ(grouped_settings_lines("Would reset", {"/org/x/a", "/org/y/b", "/org/x/c", "/k"}),
              (std::vector<std::string>{"Would reset /org/x/: a, c", "Would reset /org/y/: b",
                                        "Would reset /: k"}));
}

TEST(Undo, ReversePackageCommands) {
    Manifest manifest;
    EXPECT_TRUE(reverse_package_commands(manifest).empty());
    manifest.installed = {"nala", "guake"};
    manifest.removed = {"thunderbird"};
    manifest.snaps_removed = {"firefox", "thunderbird"};
    EXPECT_EQ(
        reverse_package_commands(manifest),
        (std::vector<std::string>{
            "sudo apt install -y 'thunderbird'", "sudo apt autoremove --purge -y 'nala' 'guake'",
            "sudo snap install 'firefox'", "sudo snap install 'thunderbird'"}));
}

// A long list in the undo question: its first names and "… and N more" for the rest, within
// the box (the real whiptail shows that it fits).
TEST(Undo, PackageQuestionCutsALongList) {
    Manifest manifest;
    manifest.removed = {"thunderbird"};
    for (int i = 0; i < 300; ++i) manifest.installed.push_back("pkg-" + std::to_string(i));
    const auto text = package_question_text(reverse_package_commands(manifest));
    const auto at = text.find("… and ");
    ASSERT_NE(std::string::npos, at) << text;
    size_t names = 0;
    for (const auto& word : Velkor::string_split(Velkor::string_replace(text, "\n", " "), " "))
        names += word.starts_with("'pkg-");
    EXPECT_EQ(300u, names + std::stoul(text.substr(at + 8))) << text;
    EXPECT_NE(std::string::npos, text.find("\nsudo apt install -y 'thunderbird'\n")) << text;
}
