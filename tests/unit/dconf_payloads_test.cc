// Loads the settings payloads into a real, private dconf database and reads them back.
#include <glib.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <map>
#include <optional>
#include <thread>

#include "app/app_console.h"
#include "menu_test_support.h"
#include "ops/extension_payloads.h"
#include "ops/layout_payloads.h"
#include "ops/theme_payloads.h"

extern char** environ;

using namespace Velkor;
using namespace menu_test;

namespace {

using Section = std::map<std::string, std::string>;
using Settings = std::map<std::string, Section>;

// Keyfile text as dconf writes and reads it: "[path]" headers and "key=value" lines.
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
    GError* raw = nullptr;
    GVariant* parsed = g_variant_parse(nullptr, value.c_str(), nullptr, nullptr, &raw);
    if (!parsed) {
        std::string message = raw->message;
        g_error_free(raw);
        return "<unparsable: " + message + ">";
    }
    gchar* text = g_variant_print(parsed, TRUE);
    std::string result = text;
    g_free(text);
    g_variant_unref(parsed);
    return result;
}

// panel-element-positions written out from its table: element, visible, position.
std::string element_positions(bool clock_and_system_menu_visible) {
    const struct {
        const char* element;
        bool visible;
        const char* position;
    } rows[] = {
        {"showAppsButton", true, "stackedTL"},
        {"activitiesButton", false, "stackedTL"},
        {"leftBox", true, "stackedTL"},
        {"taskbar", true, "stackedTL"},
        {"centerBox", true, "stackedBR"},
        {"rightBox", true, "stackedBR"},
        {"dateMenu", clock_and_system_menu_visible, "stackedBR"},
        {"systemMenu", clock_and_system_menu_visible, "stackedBR"},
        {"desktopButton", true, "stackedBR"},
    };
    std::string json = "'{\"0\":[";
    for (const auto& row : rows) {
        if (json.back() == '}') json += ",";
        json += std::string("{\"element\":\"") + row.element +
                "\",\"visible\":" + (row.visible ? "true" : "false") + ",\"position\":\"" +
                row.position + "\"}";
    }
    return json + "]}'";
}

const std::string six_extensions =
    "['dash-to-panel@jderose9.github.com', 'ubuntu-appindicators@ubuntu.com', "
    "'user-theme@gnome-shell-extensions.gcampax.github.com', 'caffeine@patapon.info', "
    "'custom-hot-corners-extended@G-dH.github.com', 'impatience@gfxmonk.net'";

constexpr const char* dash_to_panel = "org/gnome/shell/extensions/dash-to-panel";
constexpr const char* dash_to_dock = "org/gnome/shell/extensions/dash-to-dock";
constexpr const char* interface = "org/gnome/desktop/interface";
constexpr const char* hot_corners_misc =
    "org/gnome/shell/extensions/custom-hot-corners-extended/misc";

std::optional<std::string> value_of(const Settings& settings, const std::string& section,
                                    const std::string& key) {
    const auto s = settings.find(section);
    if (s == settings.end()) return std::nullopt;
    const auto k = s->second.find(key);
    if (k == s->second.end()) return std::nullopt;
    return k->second;
}

class PrivateDconf : public MenuStubs {
   protected:
    void SetUp() override {
        if (get_cmd_path("dbus-run-session").empty() || get_cmd_path("dconf").empty()) {
            std::printf("skipped: dbus-run-session or dconf is not installed\n");
            GTEST_SKIP() << "dbus-run-session or dconf is not installed";
        }
        MenuStubs::SetUp();
        // The real dconf this time; gnome-session-quit stays a recording stand-in.
        ASSERT_TRUE(file_delete(bin + "/dconf"));

        // Everything dconf keeps lives in the scratch folder, not in the user's database.
        const std::string home = root + "/home";
        ASSERT_TRUE(dir_create(home + "/.config"));
        ASSERT_TRUE(dir_create(root + "/run"));
        ASSERT_EQ(0, ::chmod((root + "/run").c_str(), 0700));
        override_env("HOME", home);
        override_env("XDG_CONFIG_HOME", home + "/.config");
        override_env("XDG_RUNTIME_DIR", root + "/run");

        // The session keeps running until the sleeping child is stopped in TearDown.
        const std::string address_file = root + "/bus";
        const std::string script = "printf '%s\\n%s\\n' \"$DBUS_SESSION_BUS_ADDRESS\" $$ > '" +
                                   address_file + ".new' && mv '" + address_file + ".new' '" +
                                   address_file + "' && exec sleep 600";
        const char* argv[] = {"dbus-run-session", "--", "sh", "-c", script.c_str(), nullptr};
        ASSERT_EQ(0, posix_spawnp(&session_pid, "dbus-run-session", nullptr, nullptr,
                                  const_cast<char**>(argv), environ));
        for (int i = 0; i < 200 && !file_exists(address_file); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        const auto lines = string_split(file_read(address_file).value_or(""), "\n");
        ASSERT_GE(lines.size(), 2u) << "the private session bus did not start";
        sleeper_pid = static_cast<pid_t>(parse_leading_long(lines[1]));
        override_env("DBUS_SESSION_BUS_ADDRESS", lines[0]);
    }

    void TearDown() override {
        if (sleeper_pid > 0) kill(sleeper_pid, SIGTERM);
        if (session_pid > 0) waitpid(session_pid, nullptr, 0);
        for (const auto& [name, value] : saved_env) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        if (!root.empty()) MenuStubs::TearDown();
    }

    void override_env(const std::string& name, const std::string& value) {
        const char* old = getenv(name.c_str());
        saved_env.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }

    Settings dump() {
        ExecOutput output;
        EXPECT_EQ(0, exec_sync("dconf dump /", &output));
        Settings settings;
        merge_keyfile(settings, output.std_out.value_or(""));
        return settings;
    }

    // What the payloads say the database holds after loading them in order, as dconf prints it.
    static Settings expected_after(const std::vector<std::string_view>& payloads) {
        Settings settings;
        for (const auto payload : payloads) merge_keyfile(settings, payload);
        for (auto& [path, keys] : settings) {
            for (auto& [key, value] : keys) value = printed(value);
        }
        return settings;
    }

    AppConsole app{AppConsole::SkipStartupChecks{}};
    pid_t session_pid = -1;
    pid_t sleeper_pid = -1;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_env;
};

}  // namespace

TEST_F(PrivateDconf, LayoutsAsTheWizardLoadsThem) {
    for (const std::string name : {"minimal", "ubuntu", "windows"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(0, exec_sync("dconf reset -f /"));
        {
            StdoutCapture quiet;
            app.update_config_gnome_extensions(true);
            app.apply_layout(name);
        }
        const Settings settings = dump();

        std::vector<std::string_view> loaded{extensions_payload, favorites_payload};
        for (const auto payload : layout_payloads(name)) loaded.push_back(payload);
        EXPECT_EQ(expected_after(loaded), settings);
        EXPECT_EQ(26u, settings.size());

        const bool ubuntu = name == "ubuntu";
        const bool windows = name == "windows";
        EXPECT_EQ(windows ? "'{\"0\":\"BOTTOM\"}'" : "'{\"0\":\"LEFT\"}'",
                  value_of(settings, dash_to_panel, "panel-positions"));
        EXPECT_EQ(windows ? "'{\"0\":46}'" : "'{\"0\":40}'",
                  value_of(settings, dash_to_panel, "panel-sizes"));
        EXPECT_EQ(windows ? "'BOTTOM'" : "'LEFT'",
                  value_of(settings, dash_to_dock, "dock-position"));
        EXPECT_EQ(windows ? "true" : "false", value_of(settings, dash_to_dock, "show-apps-at-top"));
        EXPECT_EQ(ubuntu ? "true" : "false",
                  value_of(settings, dash_to_panel, "stockgs-keep-top-panel"));
        EXPECT_EQ(ubuntu ? "true" : "false", value_of(settings, dash_to_panel, "show-appmenu"));
        // The layouts narrow the icons that the extension settings pad by 8.
        EXPECT_EQ("6", value_of(settings, dash_to_panel, "appicon-padding"));
        EXPECT_EQ(element_positions(!ubuntu),
                  value_of(settings, dash_to_panel, "panel-element-positions"));
        EXPECT_EQ(windows ? std::nullopt : std::optional<std::string>("false"),
                  value_of(settings, dash_to_panel, "animate-appicon-hover"));

        EXPECT_EQ("false", value_of(settings, interface, "clock-show-seconds"));
        EXPECT_EQ(ubuntu ? "true" : "false", value_of(settings, interface, "clock-show-weekday"));

        const std::string extensions =
            six_extensions +
            (ubuntu    ? ", 'tophat@fflewddur.github.io', 'transparent-top-bar@ftpix.com', "
                         "'apps-menu@gnome-shell-extensions.gcampax.github.com']"
             : windows ? ", 'tophat@fflewddur.github.io']"
                       : "]");
        EXPECT_EQ(extensions, value_of(settings, "org/gnome/shell", "enabled-extensions"));
        EXPECT_EQ("false", value_of(settings, "org/gnome/shell", "disable-user-extensions"));
        EXPECT_EQ(ubuntu ? "@as []" : "['ArcMenu']",
                  value_of(settings, hot_corners_misc, "supported-active-extensions"));
        EXPECT_EQ(
            "['google-chrome.desktop', 'org.gnome.Nautilus.desktop', 'org.gnome.gedit.desktop', "
            "'org.gnome.Terminal.desktop', 'libreoffice-writer.desktop', "
            "'libreoffice-calc.desktop', 'gnome-control-center.desktop', 'synaptic.desktop']",
            value_of(settings, "org/gnome/shell", "favorite-apps"));
        const std::string pinned =
            value_of(settings, "org/gnome/shell/extensions/arcmenu", "pinned-app-list")
                .value_or("");
        const std::string ninth = ", 'gnome-extensions prefs arcmenu@arcmenu.com']";
        EXPECT_EQ(ninth, pinned.substr(pinned.size() - std::min(pinned.size(), ninth.size())));
    }
}

TEST_F(PrivateDconf, ResetKeepsOnlySettingsOutsideGnome) {
    StdoutCapture quiet;
    app.update_config_gnome_extensions(false);
    EXPECT_EQ(25u, dump().size());
    app.apply_layout("reset");
    const Settings settings = dump();
    EXPECT_EQ((Settings{{"com/ftpix/transparentbar", {{"transparency", "70"}}}}), settings);
    EXPECT_TRUE(Contains(read("commands.log"), "gnome-session-quit --no-prompt\n"));
}

TEST_F(PrivateDconf, ThemesSwitchBothWays) {
    StdoutCapture quiet;
    app.apply_theme("dark");
    Settings settings = dump();
    EXPECT_EQ((Section{{"color-scheme", "'prefer-dark'"},
                       {"font-hinting", "'slight'"},
                       {"gtk-theme", "'Yaru-dark'"},
                       {"icon-theme", "'TelaBudgie-dark'"}}),
              settings[interface]);
    EXPECT_EQ((Section{{"scheme", "'Yaru-dark'"}}), settings["org/gnome/gedit/preferences/editor"]);

    app.apply_theme("light");
    app.apply_theme("Dark");
    settings = dump();
    EXPECT_EQ((Section{{"color-scheme", "'default'"},
                       {"font-hinting", "'slight'"},
                       {"gtk-theme", "'Yaru'"},
                       {"icon-theme", "'TelaBudgie'"}}),
              settings[interface]);
    EXPECT_EQ((Section{{"scheme", "'Yaru'"}}), settings["org/gnome/gedit/preferences/editor"]);
    EXPECT_EQ(2u, settings.size());
}
