// Settings payloads, the texts merged into the user's files and the boot-manager config edit.
#include <gtest/gtest.h>

#include <map>

#include "app/refind_config.h"
#include "lib/files.h"
#include "lib/glib_ptr.h"
#include "ops/extension_payloads.h"
#include "ops/layout_payloads.h"
#include "ops/theme_payloads.h"
#include "wizard/wizard_payloads.h"
#include "wizard/wizard_texts.h"

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
        EXPECT_TRUE(!path.empty() && path.front() != '/' && path.back() != '/' &&
                    path.find("//") == std::string::npos)
            << path;
        const Velkor::GStrvPtr keys(g_key_file_get_keys(file.get(), *group, nullptr, nullptr));
        for (gchar** key = keys.get(); *key; ++key) {
            const Velkor::GCharPtr value(g_key_file_get_value(file.get(), *group, *key, nullptr));
            GVariant* parsed = g_variant_parse(nullptr, value.get(), nullptr, nullptr, &raw);
            if (parsed)
                g_variant_unref(parsed);
            else
                ADD_FAILURE() << path << " " << *key << ": " << Velkor::GErrorPtr(raw)->message;
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
        {light_theme_payload, "org/gnome/gedit/preferences/editor", "scheme", "'Yaru'"},
        {dark_theme_payload, interface, "gtk-theme", "'Yaru-dark'"},
        {dark_theme_payload, interface, "color-scheme", "'prefer-dark'"},
        {dark_theme_payload, "org/gnome/gedit/preferences/editor", "scheme", "'Yaru-dark'"},
        {extensions_payload, panel, "appicon-padding", "8"},
        {extensions_payload, "com/ftpix/transparentbar", "transparency", "70"},
        {favorites_payload, "org/gnome/shell", "favorite-apps",
         "['google-chrome.desktop', 'org.gnome.Nautilus.desktop', 'org.gnome.gedit.desktop', "
         "'org.gnome.Terminal.desktop', 'libreoffice-writer.desktop', "
         "'libreoffice-calc.desktop', 'gnome-control-center.desktop', 'synaptic.desktop']"},
        {clock_payload_a, interface, "clock-show-seconds", "true"},
        {clock_payload_b, interface, "clock-show-seconds", "false"},
        {terminal_colors_payload, profile, "background-color", "'rgb(29,29,29)'"},
        {terminal_font_payload, profile, "font", "'Fira Code 11'"},
        {nautilus_payload, "org/gnome/nautilus/preferences", "default-folder-viewer",
         "'list-view'"},
        {gedit_payload, "org/gnome/gedit/preferences/editor", "tabs-size", "uint32 4"},
        {desktop_payload, "org/gnome/desktop/background", "picture-uri",
         "'file:///usr/share/backgrounds/mirovel-T_Qe4QlMIvQ-unsplash.jpg'"},
        {guake_payload, "apps/guake/general", "copy-on-select", "true"},
        {guake_payload, "org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom1",
         "binding", "'F12'"},
    };
    for (const auto& [payload, path, key, value] : rows) {
        EXPECT_EQ('\n', payload.front());
        EXPECT_EQ(value, loaded({payload})[path][key]) << path << " " << key;
    }
    // Either theme overwrites every key the other one set.
    Settings light = loaded({light_theme_payload}), dark = loaded({dark_theme_payload});
    for (auto& [path, keys] : dark) {
        for (auto& [key, value] : keys) EXPECT_EQ(1u, light[path].count(key)) << path << key;
    }
    EXPECT_EQ(38u, loaded({guake_payload})["apps/guake/general"].size());
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
        EXPECT_EQ("false", settings[interface]["clock-show-seconds"]) << name;
        EXPECT_EQ(enabled_base + enabled_tail, settings["org/gnome/shell"]["enabled-extensions"]);
    }
    EXPECT_TRUE(layout_payloads("reset").empty() && !theme_payload("Dark"));
}

TEST(UserFiles, BlocksMergeWithoutGluingOrGrowingLines) {
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
    const std::string ssh_block =
        "Host *\n  ServerAliveInterval 60\n  ControlPath ~/.ssh/controlmasters/%r@%h:%p\n"
        "  ControlMaster auto\n  ControlPersist 10m\n  Compression yes";
    EXPECT_EQ(ssh_block + "\nHost work\n  User me",
              ssh_config_with_defaults("Host work\n  User me\n\n"));
    EXPECT_EQ(ssh_block + "\n\n\nHost a", ssh_config_with_defaults("\n\nHost a"));
    EXPECT_EQ(ssh_block, ssh_config_with_defaults(""));
}

namespace {

const std::string nvram = "use_nvram false";
const std::string scan_dirs = "also_scan_dirs boot,@/boot,ESP2:EFI/linux/kernels";
const std::string showtools =
    "showtools shutdown, reboot, firmware, hidden_tags, mok_tool, bootorder, shell, about";

// The edit as the patterns describe it, judged by the platform's regular expressions.
std::string edited_by_regex(const std::string& line) {
    const std::string trimmed = Velkor::string_strip(line);
    for (const auto& [option, replacement] :
         {std::pair{"use_nvram", nvram}, {"also_scan_dirs", scan_dirs}, {"showtools", showtools}}) {
        if (Velkor::regex_match("^\\s*[#]*\\s*" + std::string(option) + " .*$", trimmed, false))
            return replacement;
    }
    return trimmed;
}

}  // namespace

// An option line is replaced when its name follows only blanks and "#" and is followed by a
// blank; other lines are only trimmed.
TEST(RefindConfig, LineEditAgreesWithThePatterns) {
    const std::string lines =  // one line per "|"-separated piece
        "  ##  use_nvram  true  |  #use_nvram  |use_nvramx false|#dont_use_nvram true|"
        "; use_nvram false|# # use_nvram false|    loader /EFI/ubuntu/grubx64.efi  \r|   |"
        "use_nvram false|  # use_nvram x|###use_nvram  |use_nvram|use_nvram\ttrue|"
        "xuse_nvram true|also_scan_dirs boot|#also_scan_dirs|## also_scan_dirs a,b|"
        "also_scan_dirsx y|showtools shell|#  showtools |showtools|# #showtools shell|"
        "menuentry \"Ubuntu\" {||#|\t#\tshowtools\tshell|#\tuse_nvram false|"
        " # \t also_scan_dirs  boot |use_nvram é|show tools x";
    for (const auto& line : Velkor::string_split(lines, "|"))
        EXPECT_EQ(edited_by_regex(line), refind_config_line(line)) << "line: '" << line << "'";
}

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
