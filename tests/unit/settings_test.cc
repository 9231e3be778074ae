// Settings payloads read and written back, the lines of the settings check, and the run's view
// of the settings: a dry run's previews, the schemas installed during the run.
#include "core/settings.h"

#include <gtest/gtest.h>

#include "core/app_console.h"
#include "core/settings_data.h"
#include "lib/commands.h"
#include "test_support.h"

using Values = std::vector<std::pair<std::string, std::string>>;

TEST(Settings, PayloadReadAndWrittenBack) {
    const std::pair<const char*, Values> texts[] = {
        {"", {}},
        {"a=1\n", {}},  // no folder yet
        {"[org/gnome/x]\na=1\n# c=2\n\n b = 'v=w'\n[/]\nroot=true\n",
         {{"/org/gnome/x/a", "1"}, {"/org/gnome/x/b", "'v=w'"}, {"/root", "true"}}},
        {"[/org/gnome/y/]\nnot a key\n=3\nk=[1, 2]\n", {{"/org/gnome/y/k", "[1, 2]"}}},
        // dconf load keeps the last value of a key named twice.
        {"[org/x]\na=1\n[org/y]\nb=2\n[org/x/]\na=3\n", {{"/org/x/a", "3"}, {"/org/y/b", "2"}}},
    };
    for (const auto& [text, values] : texts) {
        const SettingsPayload payload = parse_settings_payload(text);
        EXPECT_EQ(values, settings_values(payload)) << text;
        EXPECT_EQ(values, settings_values(parse_settings_payload(settings_payload_text(payload))));
    }
    const SettingsPayload saved = settings_from_values(
        {{"/org/gnome/x/a", "1"}, {"/org/b/c", "'t'"}, {"/org/gnome/x/d", "2"}});
    EXPECT_EQ("\n[org/gnome/x]\na=1\nd=2\n\n[org/b]\nc='t'\n", settings_payload_text(saved));
}

TEST(Settings, LeftOutLines) {
    using Velkor::SchemaFit;
    const std::pair<KeyCheck, const char*> checks[] = {
        {{"/org/gnome/shell/extensions/dash-to-panel/show-appmenu", "false", SchemaFit::no_such_key,
          ""},
         "GNOME 46 has no setting dash-to-panel show-appmenu; left out"},
        {{"/org/gnome/shell/extensions/dash-to-panel/primary-monitor", "0", SchemaFit::wrong_type,
          "s"},
         "GNOME 46 has no setting dash-to-panel primary-monitor that takes 0 (its type is s); "
         "left out"},
        {{"/org/gnome/gedit/preferences/editor/wrap-mode", "'x'", SchemaFit::out_of_range, ""},
         "GNOME 46 has no setting gedit preferences editor wrap-mode that takes 'x' (outside its "
         "range or choices); left out"},
    };
    for (const auto& [check, line] : checks) EXPECT_EQ(line, left_out_line(46, check));
}

// A dry run shows what would change: numbers as dconf stores them are the same value.
TEST(Settings, ChangeLinesAgainstTheCurrentValues) {
    const SettingsPayload payload =
        parse_settings_payload("[org/x]\na='b'\nc = 2\nd=[1, 2]\ne=0.9\nf=uint32 4\n");
    const std::map<std::string, std::string> current{{"/org/x/a", "'a'"},
                                                     {"/org/x/c", "2"},
                                                     {"/org/x/e", "0.90000000000000002"},
                                                     {"/org/x/f", "4"}};
    EXPECT_EQ(settings_change_lines(payload, current),
              (std::vector<std::string>{"Would set /org/x/a: 'a' → 'b'",
                                        "Would set /org/x/d: (not set) → [1, 2]",
                                        "Would set /org/x/f: 4 → uint32 4"}));
}

// A dry run that sets a key twice previews the second load from the value the first would have
// left, not from the machine's "(not set)"; a load that would change nothing shows nothing.
TEST(Settings, DryRunPreviewsStartFromWhatItWouldHaveSet) {
    const test_support::ScratchDir home;
    // The dry run reads the settings with "dconf dump": those of a scratch user, not the machine's.
    ::setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", home.path().c_str(), 1);
    AppConsole app;
    app.user_home = home.path();
    app.release = *find_release("22.04");
    Velkor::set_dry_run(true);
    testing::internal::CaptureStdout();
    for (const char* value : {"true", "false", "false"})
        dconf_load(app, parse_settings_payload(std::string("[org/kelvane-test]\nclock=") + value));
    const std::string shown = testing::internal::GetCapturedStdout();
    Velkor::set_dry_run(false);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(
        "Would set /org/kelvane-test/clock: (not set) → true\n"
        "Would set /org/kelvane-test/clock: true → false\n",
        shown);
}

// A schema that a package of the run installs (Guake's) is seen by the checks after the install:
// the schemas are read again once the installed packages changed, and only then.
TEST(Settings, SchemasInstalledByTheRunAreSeen) {
    const test_support::ScratchDir home;
    const test_support::ScratchDir schemas;
    ::setenv("GSETTINGS_SCHEMA_DIR", schemas.path().c_str(), 1);
    AppConsole app;
    app.user_home = home.path();
    app.release = *find_release("24.04");
    app.packages.replace({"gedit"});
    EXPECT_EQ("/org/guake/", guake_settings_folder(app));  // the release's until installed
    std::filesystem::copy_file(std::string(KELVANE_SOURCE_DIR) +
                                   "/tests/fixtures/schemas/gnome42/guake/org.guake.gschema.xml",
                               schemas / "org.guake.gschema.xml");
    ASSERT_EQ(0, test_support::run_sh("glib-compile-schemas " + schemas.path()).status);
    EXPECT_EQ("/org/guake/", guake_settings_folder(app));
    app.packages.replace({"gedit", "guake"});
    EXPECT_EQ("/apps/guake/", guake_settings_folder(app));
    ::unsetenv("GSETTINGS_SCHEMA_DIR");
}
