#include "app/options.h"

#include <algorithm>

#include "build_config.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

struct Choice {
    const char* name;
    std::vector<std::string> values;
};

const std::vector<std::string> browsers{"chrome",  "firefox", "edge", "librewolf",
                                        "vivaldi", "opera",   "brave"};
const std::vector<std::string> layouts{"ubuntu", "windows", "minimal"};
const std::vector<std::string> themes{"light", "dark"};
const std::vector<std::string> kernels{"x64v1",    "x64v2",    "x64v3", "rt-x64v1",
                                       "rt-x64v2", "rt-x64v3", "lts"};
const std::vector<std::string> software_tags{"build",   "vala",   "gimp",       "steam",
                                             "spotify", "ffmpeg", "mailspring", "rustdesk",
                                             "vmm",     "vbox",   "vscode",     "skype"};

bool one_of(const std::vector<std::string>& values, const std::string& value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

// "a, b or c"
std::string listed(const std::vector<std::string>& values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text += i + 1 == values.size() ? " or " : ", ";
        text += values[i];
    }
    return text;
}

std::string invalid(const std::string& value, const std::string& what,
                    const std::vector<std::string>& values) {
    return "kelvane: invalid value '" + value + "' for " + what + " (choose " + listed(values) +
           ")";
}

// The verbs and the values their arguments take; an empty list takes any number of tags.
bool check_verb(const std::vector<std::string>& verb, std::string& error) {
    const std::string& name = verb[0];
    const size_t count = verb.size() - 1;
    auto one_value = [&](const std::vector<std::string>& values) {
        if (count != 1) {
            error = "kelvane: " + name + " takes one value (choose " + listed(values) + ")";
            return false;
        }
        if (!one_of(values, verb[1])) {
            error = invalid(verb[1], name, values);
            return false;
        }
        return true;
    };
    if (name == "setup") {
        if (count == 0) return true;
        error = "kelvane: setup takes no value";
        return false;
    }
    if (name == "theme" || name == "boot-manager") return one_value(themes);
    if (name == "layout") {
        std::vector<std::string> values = layouts;
        values.push_back("reset");
        return one_value(values);
    }
    if (name == "kernel") return one_value(kernels);
    if (name == "undo") {
        if (count <= 1) return true;
        error = "kelvane: undo takes at most one run name";
        return false;
    }
    if (name == "software") {
        if (count == 0) {
            error = "kelvane: software takes one or more of " + listed(software_tags);
            return false;
        }
        for (size_t i = 1; i < verb.size(); ++i) {
            if (!one_of(software_tags, verb[i])) {
                error = invalid(verb[i], name, software_tags);
                return false;
            }
        }
        return true;
    }
    error = "kelvane: unknown command '" + name + "'";
    return false;
}

}  // namespace

std::string usage_text() {
    // Kept under 80 columns: it is read in the same small terminal the wizard runs in.
    return "Usage: kelvane [OPTIONS]                the wizard, or the menu after it\n"
           "       kelvane [OPTIONS] COMMAND [VALUE...]\n"
           "\n"
           "Post-install wizard for a fresh Ubuntu desktop with GNOME Shell on x86-64:\n"
           "Ubuntu 22.04, 22.10, 24.04 or 26.04. The first run asks four questions (web\n"
           "browser, Chrome licence, desktop layout, theme), then installs and configures\n"
           "the system unattended and restarts the machine. Later runs open a menu\n"
           "instead: run the wizard again, change the theme or the desktop layout,\n"
           "install rEFInd, a XanMod kernel or extra software. Start it as your own\n"
           "user, not as root: it asks for your password when a step needs\n"
           "administrator rights. It finds its data folder itself: the current folder,\n"
           "the program's folder, or /usr/share/kelvane.\n"
           "\n"
           "Options:\n"
           "  --noreboot, --no-reboot, --skip-reboot  (any letter case)\n"
           "                 do not restart the machine at the end of the wizard\n"
           "  --browser=NAME chrome, firefox, edge, librewolf, vivaldi, opera or brave\n"
           "  --accept-chrome-licence  accept the Chrome licence (else Firefox is used)\n"
           "  --layout=NAME  ubuntu, windows or minimal\n"
           "  --theme=NAME   light or dark\n"
           "  --yes          no welcome box; undo: reverse the packages without asking\n"
           "  --dry-run      show the steps, commands and file changes; change nothing\n"
           "  -h, --help     show this text and exit\n"
           "  --version      show the version and exit\n"
           "\n"
           "Commands (each does what its menu entry does, without dialogs):\n"
           "  setup                      the wizard\n"
           "  theme light|dark           change the theme\n"
           "  layout ubuntu|windows|minimal|reset\n"
           "                             change the desktop layout\n"
           "  kernel x64v1|x64v2|x64v3|rt-x64v1|rt-x64v2|rt-x64v3|lts\n"
           "                             install a XanMod kernel\n"
           "  boot-manager light|dark    install rEFInd (EFI machines)\n"
           "  software TAG...            install extra software: build vala gimp steam\n"
           "                             spotify ffmpeg mailspring rustdesk vmm vbox\n"
           "                             vscode skype\n"
           "  undo [RUN]                 undo a run (the newest), from its backup\n"
           "  undo --list                list the runs that can be undone\n"
           "\n"
           "Exit status: 0 done (also a cancelled dialog), 1 failed or refused by a\n"
           "check, 2 usage error, 129/130/143 interrupted by a signal.\n"
           "Each run writes a log in ~/.local/state/kelvane/ (the ten newest are kept).\n"
           "\n"
           "Web site: " KELVANE_WEBSITE_URL "\n";
}

bool is_noreboot_option(const std::string& arg) {
    const std::string lower = string_lower(arg);
    return lower == "--noreboot" || lower == "--no-reboot" || lower == "--skip-reboot";
}

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error) {
    Options options;
    const std::vector<std::pair<std::string, std::pair<std::optional<std::string> Options::*,
                                                       const std::vector<std::string>*>>>
        answers{{"--browser", {&Options::browser, &browsers}},
                {"--layout", {&Options::layout, &layouts}},
                {"--theme", {&Options::theme, &themes}}};
    for (const auto& arg : args) {
        if (arg.empty() || arg[0] != '-') {
            options.verb.push_back(arg);
        } else if (is_noreboot_option(arg)) {
            options.reboot = false;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--yes") {
            options.yes = true;
        } else if (arg == "--list") {
            options.list = true;
        } else if (arg == "--dry-run") {
            options.dry_run = true;
        } else if (arg == "--accept-chrome-licence") {
            options.accept_chrome_licence = true;
        } else {
            const std::string key = arg.substr(0, arg.find('='));
            const auto answer = std::find_if(answers.begin(), answers.end(),
                                             [&](const auto& row) { return row.first == key; });
            if (answer == answers.end() || key == arg) {
                error = "kelvane: unknown option '" + arg + "'";
                return std::nullopt;
            }
            const std::string value = arg.substr(key.size() + 1);
            const auto& [field, values] = answer->second;
            if (!one_of(*values, value)) {
                error = invalid(value, key, *values);
                return std::nullopt;
            }
            options.*field = value;
        }
    }
    if (options.help || options.version) return options;
    if (!options.verb.empty() && !check_verb(options.verb, error)) return std::nullopt;
    if (options.list &&
        (options.verb.empty() || options.verb[0] != "undo" || options.verb.size() > 1)) {
        error = "kelvane: --list goes with undo alone";
        return std::nullopt;
    }
    return options;
}

std::optional<std::string> kernel_package(const std::string& name) {
    if (!one_of(kernels, name)) return std::nullopt;
    if (name == "x64v1") return "linux-xanmod";
    if (name == "rt-x64v1") return "linux-xanmod-rt";
    if (name == "lts") return "linux-xanmod-lts";
    return "linux-xanmod-" + name;
}
