// The wizard's settings payloads loaded by the real dconf into a private database.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "wizard/wizard_payloads.h"
#include "wizard_test_support.h"

using namespace wizard_test;

namespace {

using Keyfile = std::map<std::string, std::map<std::string, std::string>>;

// Sections and key=value lines; enough for payloads and for what "dconf dump" prints.
Keyfile parse_keyfile(const std::string& text) {
    Keyfile sections;
    std::string section;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            sections[section][line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return sections;
}

}  // namespace

TEST(WizardDconf, EveryPayloadLoadsAndReadsBackUnchanged) {
    WIZARD_REQUIRE_TOOL("dconf");
    WIZARD_REQUIRE_TOOL("dbus-run-session");
    ScratchDir dir;
    // Loaded in the wizard's order, so the last dump shows the font over the colours.
    const std::vector<std::pair<std::string, std::string_view>> payloads = {
        {"terminal_colors", terminal_colors_payload},
        {"nautilus", nautilus_payload},
        {"gedit", gedit_payload},
        {"desktop", desktop_payload},
        {"guake", guake_payload},
        {"terminal_font", terminal_font_payload},
    };
    std::string names;
    for (const auto& [name, payload] : payloads) {
        EXPECT_EQ('\n', payload.front()) << name;
        EXPECT_EQ('\n', payload.back()) << name;
        write_file(dir.path() + "/" + name, std::string(payload));
        names += " " + name;
    }
    const std::string env = "cd " + sh_quote(dir.path()) +
                            " && mkdir -m 700 run && export HOME=\"$PWD\" "
                            "XDG_CONFIG_HOME=\"$PWD/config\" XDG_RUNTIME_DIR=\"$PWD/run\" "
                            "XDG_CACHE_HOME=\"$PWD/cache\" && ";
    const std::string script =
        "for f in \"$@\"; do dconf load -f / < \"$f\" || exit 1; "
        "dconf dump / > \"$f.dump\" || exit 1; done";
    const auto loaded =
        run_sh(env + "dbus-run-session -- sh -c " + sh_quote(script) + " sh" + names);
    ASSERT_EQ(0, loaded.status) << loaded.output;

    for (const auto& [name, payload] : payloads) {
        const Keyfile expected = parse_keyfile(std::string(payload));
        const Keyfile dumped = parse_keyfile(read_file(dir.path() + "/" + name + ".dump"));
        size_t keys = 0;
        for (const auto& [section, values] : expected) {
            for (const auto& [key, value] : values) {
                ++keys;
                const auto found = dumped.find(section);
                ASSERT_NE(dumped.end(), found) << name << ": [" << section << "]";
                const auto dumped_value = found->second.find(key);
                ASSERT_NE(found->second.end(), dumped_value) << name << ": " << key;
                EXPECT_EQ(value, dumped_value->second) << name << ": [" << section << "] " << key;
            }
        }
        EXPECT_LT(0u, keys) << name;
    }

    const Keyfile last = parse_keyfile(read_file(dir.path() + "/terminal_font.dump"));
    const auto& profile =
        last.at("org/gnome/terminal/legacy/profiles:/:b1dcc9dd-5262-4d8d-a863-c897e6d979b9");
    EXPECT_EQ("'Fira Code 11'", profile.at("font"));
    EXPECT_EQ("false", profile.at("use-system-font"));
    EXPECT_EQ("'rgb(29,29,29)'", profile.at("background-color"));
    EXPECT_EQ(38u, last.at("apps/guake/general").size());
    EXPECT_EQ("uint32 4", last.at("org/gnome/gedit/preferences/editor").at("tabs-size"));
}
