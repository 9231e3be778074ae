// Every settings payload the program builds, checked by the run's own settings check against
// the upstream schemas of each release's GNOME and of the extension builds for it
// (tests/fixtures/schemas, compiled here with glib-compile-schemas).
#include <gtest/gtest.h>

#include <set>

#include "actions/extensions_data.h"
#include "actions/layout_data.h"
#include "actions/theme_data.h"
#include "core/release_data.h"
#include "core/settings.h"
#include "test_support.h"
#include "wizard/desktop_data.h"

namespace {

// The schemas of fixture set `set`, compiled in `scratch` as a distribution compiles its own.
Velkor::SchemaSource compiled_schemas(const std::string& set,
                                      const test_support::ScratchDir& scratch) {
    const std::string fixtures = std::string(KELVANE_SOURCE_DIR) + "/tests/fixtures/schemas/" + set;
    const auto compiled =
        test_support::run_sh("cp " + fixtures + "/*/*.xml " + scratch.path() +
                             " && glib-compile-schemas --strict " + scratch.path());
    EXPECT_EQ(0, compiled.status) << set << ": " << compiled.output;
    std::vector<std::string> problems;
    Velkor::SchemaSource source({scratch.path()}, problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    return source;
}

// Every payload a pass or a menu action loads on `release`, named for the messages.
std::vector<std::pair<std::string, SettingsPayload>> every_payload(const ReleaseProfile& release) {
    std::vector<std::pair<std::string, SettingsPayload>> payloads{
        {"terminal colours", parse_settings_payload(terminal_colors_payload)},
        {"terminal font", parse_settings_payload(terminal_font_payload)},
        {"nautilus", parse_settings_payload(nautilus_payload)},
        {"gedit", parse_settings_payload(gedit_payload)},
        {"extensions", parse_settings_payload(extensions_payload)},
        {"desktop", parse_settings_payload(desktop_payload)},
        {"guake", guake_payload(release.guake_settings_folder)},
    };
    payloads.emplace_back("favourites", parse_settings_payload(favorites_payload("chrome")));
    for (const char* layout : {"ubuntu", "windows", "minimal"}) {
        for (auto& payload : layout_payloads(layout, release))
            payloads.emplace_back(std::string("layout ") + layout, std::move(payload));
    }
    for (const char* theme : {"light", "dark"})
        payloads.emplace_back(std::string("theme ") + theme, *theme_payload(theme, release));
    return payloads;
}

}  // namespace

// No key left out on any release: the payloads leave out what the release's GNOME lacks, and
// the folders no schema owns are those of the extensions without schemas here (ArcMenu,
// Desktop Icons NG and the ones the layouts do not enable) or without a build for the release.
TEST(RealSchemas, EveryPayloadTakesEffectOnEachRelease) {
    const std::set<std::string> unowned_everywhere{
        "/org/gnome/shell/extensions/arcmenu/",
        "/org/gnome/shell/extensions/com/github/hermes83/compiz-windows-effect/",
        "/org/gnome/shell/extensions/ding/",
        "/org/gnome/shell/extensions/netspeedsimplified/",
        "/org/gnome/shell/extensions/order-icons/",
        "/org/gnome/shell/extensions/status-area-horizontal-spacing/",
    };
    const struct {
        const char* version;
        const char* set;
        std::set<std::string> also_unowned;
    } rows[] = {
        {"22.04", "gnome42", {"/org/gnome/gedit/plugins/metagedit/"}},
        {"22.10", "gnome43", {"/org/gnome/gedit/plugins/metagedit/"}},
        {"24.04", "gnome46", {"/com/ftpix/transparentbar/"}},
        {"26.04", "gnome50", {"/org/gnome/shell/extensions/tophat/"}},
    };
    for (const auto& row : rows) {
        const ReleaseProfile release = *find_release(row.version);
        const test_support::ScratchDir scratch;
        const Velkor::SchemaSource schemas = compiled_schemas(row.set, scratch);
        std::set<std::string> unowned;
        std::map<std::string, std::string> loaded;
        for (const auto& [name, payload] : every_payload(release)) {
            const SettingsCheck check = check_settings(schemas, release, payload);
            for (const auto& key : check.left_out) {
                ADD_FAILURE() << row.version << " " << name << ": "
                              << left_out_line(release.gnome_shell, key);
            }
            unowned.insert(check.unchecked.begin(), check.unchecked.end());
            for (auto& [key, value] : settings_values(check.kept)) loaded[key] = value;
        }
        std::set<std::string> expected = unowned_everywhere;
        expected.insert(row.also_unowned.begin(), row.also_unowned.end());
        EXPECT_EQ(expected, unowned) << row.version;
        // Caffeine keeps its state over a login only with restore-state.
        EXPECT_EQ("true", loaded["/org/gnome/shell/extensions/caffeine/restore-state"])
            << row.version;
        const bool per_variant =
            loaded.count("/org/gnome/gedit/preferences/editor/style-scheme-for-dark-theme-variant");
        EXPECT_EQ(release.gedit_scheme_per_variant, per_variant) << row.version;
    }
}
