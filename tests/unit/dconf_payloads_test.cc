// Every settings payload loaded by the real dconf into a private database and read back.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "lib/files.h"
#include "lib/glib_ptr.h"
#include "ops/extension_payloads.h"
#include "ops/layout_payloads.h"
#include "ops/theme_payloads.h"
#include "test_support.h"
#include "wizard/wizard_payloads.h"

using namespace test_support;
using Velkor::string_split;

namespace {

using Section = std::map<std::string, std::string>;
using Settings = std::map<std::string, Section>;

// Keyfile text as dconf reads and dumps it: "[path]" headers and "key=value" lines.
void merge_keyfile(Settings& settings, std::string_view text) {
    std::string section;
    for (const auto& line : string_split(text, "\n")) {
        if (line.empty()) continue;
        if (line.front() == '[') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const auto eq = line.find('=');
        ASSERT_NE(std::string::npos, eq) << line;
        settings[section][line.substr(0, eq)] = line.substr(eq + 1);
    }
}

// The value as GVariant prints it, which is how dconf dump shows what it stored
// (0.9 comes back as 0.90000000000000002).
std::string printed(const std::string& value) {
    GError* raw_error = nullptr;
    const std::unique_ptr<GVariant, Velkor::GDeleter<g_variant_unref>> parsed(
        g_variant_parse(nullptr, value.c_str(), nullptr, nullptr, &raw_error));
    const Velkor::GErrorPtr error(raw_error);
    if (!parsed) return "<unparsable: " + std::string(error->message) + ">";
    return Velkor::GCharPtr(g_variant_print(parsed.get(), TRUE)).get();
}

// What the payloads say the database holds after loading them in order, as dconf prints it.
Settings expected_after(const std::vector<std::string_view>& payloads) {
    Settings settings;
    for (const auto payload : payloads) merge_keyfile(settings, payload);
    for (auto& [path, keys] : settings) {
        for (auto& [key, value] : keys) value = printed(value);
    }
    return settings;
}

constexpr const char* dash_to_panel = "org/gnome/shell/extensions/dash-to-panel";
constexpr const char* interface = "org/gnome/desktop/interface";

class PrivateDconf : public ::testing::Test {
   protected:
    void SetUp() override {
        if (!session_.usable()) GTEST_SKIP() << "no private dconf session (dbus-daemon, dconf)";
    }
    // Empties the database, loads `payloads` in order and returns the dump.
    Settings load(const std::vector<std::string_view>& payloads) {
        EXPECT_EQ(0, run_sh("dconf reset -f /").status);
        const std::string file = session_.home() + "/payload";
        for (const auto payload : payloads) {
            write_file(file, payload);
            const auto loaded = run_sh("dconf load -f / < " + sh_quote(file));
            EXPECT_EQ(0, loaded.status) << loaded.output << payload;
        }
        Settings settings;
        merge_keyfile(settings, session_.dump());
        return settings;
    }
    DconfSession session_;
};

}  // namespace

TEST_F(PrivateDconf, LayoutsAsTheWizardLoadsThem) {
    for (const std::string name : {"minimal", "ubuntu", "windows"}) {
        SCOPED_TRACE(name);
        std::vector<std::string_view> payloads{extensions_payload, favorites_payload};
        for (const auto payload : layout_payloads(name)) payloads.push_back(payload);
        Settings settings = load(payloads);
        EXPECT_EQ(expected_after(payloads), settings);
        EXPECT_EQ(26u, settings.size());
        Section& panel = settings[dash_to_panel];

        const bool ubuntu = name == "ubuntu";
        const bool windows = name == "windows";
        EXPECT_EQ(windows ? "'{\"0\":\"BOTTOM\"}'" : "'{\"0\":\"LEFT\"}'",
                  panel["panel-positions"]);
        EXPECT_EQ(ubuntu ? "true" : "false", panel["stockgs-keep-top-panel"]);
        // The layouts narrow the icons that the extension settings pad by 8.
        EXPECT_EQ("6", panel["appicon-padding"]);
        // The clock and the system menu sit on the panel unless the top bar stays.
        const std::string positions = panel["panel-element-positions"];
        for (const char* element : {"dateMenu", "systemMenu"}) {
            EXPECT_TRUE(Velkor::string_contains(
                positions, "{\"element\":\"" + std::string(element) + "\",\"visible\":" +
                               (ubuntu ? "false" : "true") + ",\"position\":\"stackedBR\"}"))
                << positions;
        }
        EXPECT_EQ(windows ? 0u : 1u, panel.count("animate-appicon-hover"));
        EXPECT_EQ(ubuntu ? "true" : "false", settings[interface]["clock-show-weekday"]);
        EXPECT_EQ(
            "['dash-to-panel@jderose9.github.com', 'ubuntu-appindicators@ubuntu.com', "
            "'user-theme@gnome-shell-extensions.gcampax.github.com', 'caffeine@patapon.info', "
            "'custom-hot-corners-extended@G-dH.github.com', 'impatience@gfxmonk.net'" +
                std::string(ubuntu    ? ", 'tophat@fflewddur.github.io', "
                                        "'transparent-top-bar@ftpix.com', "
                                        "'apps-menu@gnome-shell-extensions.gcampax.github.com']"
                            : windows ? ", 'tophat@fflewddur.github.io']"
                                      : "]"),
            settings["org/gnome/shell"]["enabled-extensions"]);
    }
}

TEST_F(PrivateDconf, ThemesSwitchBothWays) {
    Settings settings = load({theme_payload("dark").value_or("")});
    EXPECT_EQ((Section{{"color-scheme", "'prefer-dark'"},
                       {"font-hinting", "'slight'"},
                       {"gtk-theme", "'Yaru-dark'"},
                       {"icon-theme", "'TelaBudgie-dark'"}}),
              settings[interface]);
    EXPECT_EQ((Section{{"scheme", "'Yaru-dark'"}}), settings["org/gnome/gedit/preferences/editor"]);
    settings = load({theme_payload("dark").value_or(""), theme_payload("light").value_or("")});
    EXPECT_EQ((Section{{"color-scheme", "'default'"},
                       {"font-hinting", "'slight'"},
                       {"gtk-theme", "'Yaru'"},
                       {"icon-theme", "'TelaBudgie'"}}),
              settings[interface]);
    EXPECT_EQ((Section{{"scheme", "'Yaru'"}}), settings["org/gnome/gedit/preferences/editor"]);
    EXPECT_EQ(2u, settings.size());
}

// In the wizard's order, so the font lands over the colours of the same profile.
TEST_F(PrivateDconf, WizardPayloadsReadBackUnchanged) {
    const std::vector<std::string_view> payloads{terminal_colors_payload, nautilus_payload,
                                                 gedit_payload,           desktop_payload,
                                                 guake_payload,           terminal_font_payload};
    for (const auto payload : payloads)
        EXPECT_EQ("\n\n", std::string(1, payload.front()) + payload.back());
    const Settings settings = load(payloads);
    EXPECT_EQ(expected_after(payloads), settings);
    const auto& profile =
        settings.at("org/gnome/terminal/legacy/profiles:/:b1dcc9dd-5262-4d8d-a863-c897e6d979b9");
    EXPECT_EQ("'Fira Code 11'", profile.at("font"));
    EXPECT_EQ("false", profile.at("use-system-font"));
    EXPECT_EQ("'rgb(29,29,29)'", profile.at("background-color"));
    EXPECT_EQ(38u, settings.at("apps/guake/general").size());
    EXPECT_EQ("uint32 4", settings.at("org/gnome/gedit/preferences/editor").at("tabs-size"));
}
