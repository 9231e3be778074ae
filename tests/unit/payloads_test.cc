// Settings payloads, the texts merged into the user's files and the boot-manager config edit.
#include <gtest/gtest.h>

#include <map>

#include "actions/boot_manager_data.h"
#include "actions/extensions_data.h"
#include "actions/layout_data.h"
#include "actions/theme_data.h"
#include "lib/files.h"
#include "lib/glib_ptr.h"
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
    const std::tuple<std::string_view, std::string, const char*, const char*> rows[] = {
        {light_theme_payload, interface, "gtk-theme", "'Yaru'"},
        {dark_theme_payload, interface, "gtk-theme", "'Yaru-dark'"},
        {dark_theme_payload, interface, "color-scheme", "'prefer-dark'"},
        {dark_theme_payload, "org/gnome/gedit/preferences/editor", "scheme", "'Yaru-dark'"},
        {extensions_payload, panel, "appicon-padding", "8"},
        {favorites_payload, "org/gnome/shell", "favorite-apps",
         "['google-chrome.desktop', 'org.gnome.Nautilus.desktop', 'org.gnome.gedit.desktop', "
         "'org.gnome.Terminal.desktop', 'libreoffice-writer.desktop', "
         "'libreoffice-calc.desktop', 'gnome-control-center.desktop', 'synaptic.desktop']"},
        {clock_payload_a, interface, "clock-show-seconds", "true"},
        {font_rendering_payload, interface, "font-rendering", "'manual'"},
        {terminal_colors_payload, profile, "background-color", "'rgb(29,29,29)'"},
        {terminal_font_payload, profile, "font", "'Fira Code 11'"},
        {nautilus_payload, "org/gnome/nautilus/preferences", "default-folder-viewer",
         "'list-view'"},
        {gedit_payload, "org/gnome/gedit/preferences/editor", "tabs-size", "uint32 4"},
        {desktop_payload, "org/gnome/desktop/background", "picture-uri",
         "'file:///usr/share/backgrounds/mirovel-T_Qe4QlMIvQ-unsplash.jpg'"},
        {guake_payload, "org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom1",
         "binding", "'F12'"},
    };
    for (const auto& [payload, path, key, value] : rows) {
        EXPECT_EQ('\n', payload.front());
        EXPECT_EQ(value, loaded({payload})[path][key]) << path << " " << key;
    }
    // The font lands over the colours of the same profile, which the wizard loads first.
    EXPECT_EQ("false",
              loaded({terminal_colors_payload, terminal_font_payload})[profile]["use-system-font"]);
}

// The extension settings, the favourites and a layout, in the order the wizard loads them.
TEST(Payloads, LayoutsOverTheExtensionSettings) {
    const std::tuple<const char*, const char*, const char*, const char*, const char*> rows[] = {
        {"minimal", "'{\"0\":\"LEFT\"}'", "false", "false", "]"},
        {"ubuntu", "'{\"0\":\"LEFT\"}'", "true", "true",
         ", 'tophat@fflewddur.github.io', 'transparent-top-bar@ftpix.com', "
         "'apps-menu@gnome-shell-extensions.gcampax.github.com']"},
        {"windows", "'{\"0\":\"BOTTOM\"}'", "false", "false", ", 'tophat@fflewddur.github.io']"},
    };
    for (const auto& [name, positions, keep_top, weekday, enabled_tail] : rows) {
        std::vector<std::string_view> payloads{extensions_payload, favorites_payload};
        for (const auto payload : layout_payloads(name)) payloads.push_back(payload);
        Settings settings = loaded(payloads);
        EXPECT_EQ(positions, settings[panel]["panel-positions"]) << name;
        EXPECT_EQ(keep_top, settings[panel]["stockgs-keep-top-panel"]) << name;
        EXPECT_EQ("6", settings[panel]["appicon-padding"]) << name;
        EXPECT_EQ(weekday, settings[interface]["clock-show-weekday"]) << name;
        EXPECT_EQ(enabled_base + enabled_tail, settings["org/gnome/shell"]["enabled-extensions"]);
    }
    // An extension without a build for the release is not enabled, wherever it stands.
    const std::string_view ubuntu = layout_payloads("ubuntu").front();
    const std::tuple<std::vector<std::string_view>, const char*> left_out_rows[] = {
        {{"transparent-top-bar@ftpix.com"},
         ", 'tophat@fflewddur.github.io', 'apps-menu@gnome-shell-extensions.gcampax.github.com']"},
        {{"tophat@fflewddur.github.io", "apps-menu@gnome-shell-extensions.gcampax.github.com"},
         ", 'transparent-top-bar@ftpix.com']"},
    };
    for (const auto& [left_out, enabled_tail] : left_out_rows) {
        const std::string payload = payload_without_extensions(ubuntu, left_out);
        EXPECT_EQ(enabled_base + enabled_tail,
                  loaded({payload})["org/gnome/shell"]["enabled-extensions"]);
    }
    EXPECT_TRUE(layout_payloads("reset").empty() && !theme_payload("Dark"));
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
