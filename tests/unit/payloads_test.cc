// Settings payloads, the texts merged into the user's files and the boot-manager config edit.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "actions/boot_manager_data.h"
#include "actions/extensions_data.h"
#include "actions/layout_data.h"
#include "actions/theme_data.h"
#include "core/release_data.h"
#include "lib/files.h"
#include "lib/glib_ptr.h"
#include "test_support.h"
#include "wizard/browser_data.h"
#include "wizard/desktop_data.h"
#include "wizard/shell_ssh_data.h"

namespace {

using Section = std::map<std::string, std::string>;
using Settings = std::map<std::string, Section>;

// Reads a payload the way "dconf load" does: a key file whose groups are paths and whose
// values are GVariant texts. Later payloads overwrite the keys they name.
void load(Settings& settings, std::string_view payload) {
    std::unique_ptr<GKeyFile, Velkor::GDeleter<g_key_file_free>> file(g_key_file_new());
    GError* raw = nullptr;
    if (!g_key_file_load_from_data(file.get(), payload.data(), payload.size(), G_KEY_FILE_NONE,
                                   &raw)) {
        ADD_FAILURE() << Velkor::GErrorPtr(raw)->message << "\n" << payload;
        return;
    }
    const Velkor::GStrvPtr groups(g_key_file_get_groups(file.get(), nullptr));
    for (gchar** group = groups.get(); *group; ++group) {
        const std::string path = *group;
        EXPECT_EQ(std::string::npos, ("/" + path + "/").find("//")) << path;
        const Velkor::GStrvPtr keys(g_key_file_get_keys(file.get(), *group, nullptr, nullptr));
        for (gchar** key = keys.get(); *key; ++key) {
            const Velkor::GCharPtr value(g_key_file_get_value(file.get(), *group, *key, nullptr));
            GVariant* parsed = g_variant_parse(nullptr, value.get(), nullptr, nullptr, nullptr);
            EXPECT_TRUE(parsed) << path << " " << *key << "=" << value.get();
            if (parsed) g_variant_unref(parsed);
            settings[path][*key] = value.get();
        }
    }
}

Settings loaded(const std::vector<std::string_view>& payloads) {
    Settings settings;
    for (const auto payload : payloads) load(settings, payload);
    return settings;
}

const std::string interface = "org/gnome/desktop/interface";
const std::string panel = "org/gnome/shell/extensions/dash-to-panel";
const std::string profile =
    "org/gnome/terminal/legacy/profiles:/:b1dcc9dd-5262-4d8d-a863-c897e6d979b9";
const std::string enabled_base =
    "['dash-to-panel@jderose9.github.com', 'ubuntu-appindicators@ubuntu.com', "
    "'user-theme@gnome-shell-extensions.gcampax.github.com', 'caffeine@patapon.info', "
    "'custom-hot-corners-extended@G-dH.github.com', 'impatience@gfxmonk.net'";

}  // namespace

// A few keys of every payload, each payload read alone.
TEST(Payloads, KeysOfEveryPayload) {
    const ReleaseProfile jammy = *find_release("22.04");
    const ReleaseProfile resolute = *find_release("26.04");
    const auto text = [](const std::optional<SettingsPayload>& payload) {
        return settings_payload_text(*payload);
    };
    const std::string editor = "org/gnome/gedit/preferences/editor";
    const std::tuple<std::string, std::string, const char*, const char*> rows[] = {
        {text(theme_payload("light", jammy)), interface, "gtk-theme", "'Yaru'"},
        {text(theme_payload("dark", jammy)), interface, "gtk-theme", "'Yaru-dark'"},
        {text(theme_payload("dark", jammy)), interface, "color-scheme", "'prefer-dark'"},
        {text(theme_payload("dark", jammy)), editor, "scheme", "'Yaru-dark'"},
        {text(theme_payload("light", resolute)), interface, "font-rendering", "'manual'"},
        {text(theme_payload("light", resolute)), editor, "style-scheme-for-dark-theme-variant",
         "'Yaru-dark'"},
        {std::string(extensions_payload), panel, "trans-panel-opacity", "0.80000000000000004"},
        {std::string(clock_payload), interface, "clock-show-seconds", "false"},
        {std::string(terminal_colors_payload), profile, "background-color", "'rgb(29,29,29)'"},
        {std::string(terminal_font_payload), profile, "font", "'Fira Code 11'"},
        {std::string(nautilus_payload), "org/gnome/nautilus/preferences", "default-folder-viewer",
         "'list-view'"},
        {std::string(gedit_payload), editor, "tabs-size", "uint32 4"},
        {std::string(desktop_payload), "org/gnome/desktop/background", "picture-uri",
         "'file:///usr/share/backgrounds/mirovel-T_Qe4QlMIvQ-unsplash.jpg'"},
        {settings_payload_text(guake_payload("/org/guake/")), "org/guake/general", "use-popup",
         "true"},
        {settings_payload_text(guake_payload("/org/guake/")),
         "org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom1", "binding",
         "'F12'"},
    };
    for (const auto& [payload, path, key, value] : rows) {
        EXPECT_EQ('\n', payload.front());
        EXPECT_EQ(value, loaded({payload})[path][key]) << path << " " << key;
    }
    // The dock pins the browser that was chosen (and installed), and no other.
    const std::pair<const char*, std::string> favorites[] = {
        {"chrome", "'google-chrome.desktop', "},   {"firefox", "'firefox.desktop', "},
        {"edge", "'microsoft-edge.desktop', "},    {"librewolf", "'librewolf.desktop', "},
        {"vivaldi", "'vivaldi-stable.desktop', "}, {"opera", "'opera.desktop', "},
        {"brave", "'brave-browser.desktop', "},    {"", ""}};
    for (const auto& [browser, pinned] : favorites) {
        EXPECT_EQ("[" + pinned +
                      "'org.gnome.Nautilus.desktop', 'org.gnome.gedit.desktop', "
                      "'org.gnome.Terminal.desktop', 'libreoffice-writer.desktop', "
                      "'libreoffice-calc.desktop', 'org.gnome.Settings.desktop', "
                      "'synaptic.desktop']",
                  loaded({favorites_payload(browser)})["org/gnome/shell"]["favorite-apps"])
            << browser;
    }
    // The font lands over the colours of the same profile, which the wizard loads first.
    EXPECT_EQ("false",
              loaded({terminal_colors_payload, terminal_font_payload})[profile]["use-system-font"]);
}

// The extension settings, the favourites and a layout, in the order the wizard loads them.
TEST(Payloads, LayoutsOverTheExtensionSettings) {
    const ReleaseProfile jammy = *find_release("22.04");
    const std::tuple<const char*, const char*, const char*, const char*, const char*> rows[] = {
        {"minimal", "'{\"0\":\"LEFT\"}'", "false", "false", "]"},
        {"ubuntu", "'{\"0\":\"LEFT\"}'", "true", "true",
         ", 'tophat@fflewddur.github.io', 'transparent-top-bar@ftpix.com', "
         "'apps-menu@gnome-shell-extensions.gcampax.github.com']"},
        {"windows", "'{\"0\":\"BOTTOM\"}'", "false", "false", ", 'tophat@fflewddur.github.io']"},
    };
    for (const auto& [name, positions, keep_top, weekday, enabled_tail] : rows) {
        std::vector<std::string> payloads{std::string(extensions_payload),
                                          favorites_payload("brave")};
        for (const auto& payload : layout_payloads(name, jammy))
            payloads.push_back(settings_payload_text(payload));
        Settings settings = loaded({payloads.begin(), payloads.end()});
        EXPECT_EQ(positions, settings[panel]["panel-positions"]) << name;
        EXPECT_EQ(keep_top, settings[panel]["stockgs-keep-top-panel"]) << name;
        EXPECT_EQ("6", settings[panel]["appicon-padding"]) << name;
        EXPECT_EQ(weekday, settings[interface]["clock-show-weekday"]) << name;
        EXPECT_EQ(enabled_base + enabled_tail, settings["org/gnome/shell"]["enabled-extensions"]);
    }
    // An extension without a build for the release is not enabled, wherever it stands.
    const std::tuple<std::vector<std::string_view>, const char*> left_out_rows[] = {
        {{"transparent-top-bar@ftpix.com"},
         ", 'tophat@fflewddur.github.io', 'apps-menu@gnome-shell-extensions.gcampax.github.com']"},
        {{"tophat@fflewddur.github.io", "apps-menu@gnome-shell-extensions.gcampax.github.com"},
         ", 'transparent-top-bar@ftpix.com']"},
    };
    for (const auto& [left_out, enabled_tail] : left_out_rows) {
        ReleaseProfile release = jammy;
        release.extensions_without_build = left_out;
        const std::string payload = settings_payload_text(layout_payloads("ubuntu", release)[0]);
        EXPECT_EQ(enabled_base + enabled_tail,
                  loaded({payload})["org/gnome/shell"]["enabled-extensions"]);
    }
    EXPECT_TRUE(layout_payloads("reset", jammy).empty() && !theme_payload("Dark", jammy));
}

TEST(UserFiles, BashrcBlockNeitherGluesNorGrowsLines) {
    const std::pair<const char*, const char*> bashrcs[] = {
        {"\n\n# user settings\nalias x='y'\n", "# user settings\nalias x='y'\n\nPROMPT_COMMAND"},
        {"fi", "fi\nPROMPT_COMMAND"},  // a last line without its line break stays apart
        {"", "PROMPT_COMMAND"},
        {"a\n\n\nb\r\n", "a\n\n\nb\r\n\nPROMPT_COMMAND"}};
    for (const auto& [bashrc, start] : bashrcs) {
        const std::string merged = bashrc_with_prompt(bashrc);
        EXPECT_EQ(0u, merged.find(start)) << bashrc;
        EXPECT_EQ("\nexport HISTCONTROL=ignoredups:erasedups", merged.substr(merged.rfind('\n')));
    }
}

namespace {

const std::string nvram = "use_nvram false";
const std::string scan_dirs = "also_scan_dirs boot,@/boot,ESP2:EFI/linux/kernels";
const std::string showtools =
    "showtools shutdown, reboot, firmware, hidden_tags, mok_tool, bootorder, shell, about";

}  // namespace

// Each run used to add one empty line at the end of the file: a second edit changes nothing.
TEST(RefindConfig, WholeFileEditKeepsItsLineBreaks) {
    EXPECT_EQ("timeout 20\n" + nvram + "\n" + scan_dirs + "\n" + showtools +
                  "\nuse_nvram\nmenuentry \"Ubuntu\" {\nloader /EFI/ubuntu/grubx64.efi\n}\n",
              refind_config_edit("timeout 20\n#use_nvram false\n   # also_scan_dirs boot,ESP2:x\n"
                                 "# showtools shell, gdisk\nuse_nvram\nmenuentry \"Ubuntu\" {\n"
                                 "    loader /EFI/ubuntu/grubx64.efi\n}\n"));
    for (const std::string text :
         {"timeout 20\n", "timeout 20", "timeout 20\n\n\n", "\ntimeout 20\n", "a\n\nb\n", "\n", "",
          "use_nvram true\nshowtools x", "timeout 20  \n", "use_nvram true\r\n#showtools x"}) {
        const std::string once = refind_config_edit(text);
        EXPECT_EQ(Velkor::string_split(text, "\n").size(), Velkor::string_split(once, "\n").size())
            << "text: '" << text << "'";
        EXPECT_EQ(once, refind_config_edit(once)) << "text: '" << text << "'";
    }
    EXPECT_EQ("timeout 20\n\n\n", refind_config_edit("timeout 20\n  \n\t\n"));
}

// Every Firefox pin puts its source at 1000 or more, so that its deb replaces the archive's snap
// transitional package despite a lower version, and keeps the archive's firefox below 0.
TEST(DataFiles, FirefoxPinsBeatTheArchive) {
    const std::map<std::string, std::string> source_pin{
        {std::string(firefox_preferences.src), "release o=LP-PPA-mozillateam-firefox-next"},
        {std::string(firefox_maker_preferences.src), "origin packages.mozilla.org"}};
    size_t files = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(KELVANE_SOURCE_DIR) + "/data/firefox")) {
        if (entry.path().extension() != ".pref") continue;
        ++files;
        const std::string src = "./firefox/" + entry.path().filename().string();
        ASSERT_TRUE(source_pin.count(src)) << src << " is copied by no step";
        std::map<std::string, int> priority_of;
        for (const auto& stanza :
             Velkor::string_split(test_support::read_file(entry.path()), "\n\n")) {
            std::string pin;
            for (const auto& line : Velkor::string_split(stanza, "\n")) {
                if (line.starts_with("Pin: ")) pin = line.substr(5);
                if (line.starts_with("Pin-Priority: "))
                    priority_of[pin] = std::stoi(line.substr(14));
            }
        }
        EXPECT_TRUE(priority_of.count(source_pin.at(src)) &&
                    priority_of[source_pin.at(src)] >= 1000)
            << src;
        EXPECT_TRUE(priority_of.count("release o=Ubuntu") && priority_of["release o=Ubuntu"] < 0)
            << src;
    }
    EXPECT_EQ(source_pin.size(), files);
}
