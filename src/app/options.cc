#include "app/options.h"

#include <algorithm>

#include "actions/kernel_data.h"
#include "build_config.h"
#include "lib/files.h"
#include "wizard/driver.h"

using namespace Velkor;

namespace {

// A value the command line takes, and the word its dialog shows for it where that differs.
struct Value {
    std::string name;
    std::string dialog_word = {};
};
using Values = std::vector<Value>;

const Values browsers{{"chrome"},  {"firefox"}, {"edge"}, {"librewolf"},
                      {"vivaldi"}, {"opera"},   {"brave"}};
const Values layouts{{"ubuntu"}, {"windows", "bottom"}, {"minimal", "left"}};
const Values themes{{"light"}, {"dark"}};
// The kernel names, each with the menu's spelling of its CPU level ("x86-64v3" for "x64v3").
Values kernel_values() {
    Values values;
    for (const auto& name : xanmod_kernel_names()) {
        const std::string word = string_replace(name, "x64v", "x86-64v");
        values.push_back({name, word == name ? "" : word});
    }
    return values;
}
const Values kernels = kernel_values();
const Values software_tags{{"build"},   {"vala"},   {"gimp"},       {"steam"},
                           {"spotify"}, {"ffmpeg"}, {"mailspring"}, {"rustdesk"},
                           {"vmm"},     {"vbox"},   {"vscode"},     {"meet"}};
const char* const verbs[] = {"setup",    "theme", "layout", "kernel", "boot-manager",
                             "software", "undo",  "status", "profile"};
// The options without a value, for the suggestion after a mistyped one.
const char* const flag_names[] = {"--noreboot",
                                  "--no-reboot",
                                  "--skip-reboot",
                                  "--help",
                                  "--version",
                                  "--yes",
                                  "--list",
                                  "--dry-run",
                                  "--json",
                                  "--accept-chrome-licence",
                                  "--skip-network-check"};
// The options that take a value, as "--browser=firefox" or, as getopt allows, "--browser firefox";
// with the word the help and the suggestions show for it.
struct ValueOption {
    std::string_view key;
    std::string_view placeholder;
};
constexpr ValueOption value_options[] = {{"--browser", "NAME"}, {"--layout", "NAME"},
                                         {"--theme", "NAME"},   {"--skip", "TAG[,TAG...]"},
                                         {"--profile", "FILE"}, {"--report", "FILE"}};

Values with_reset(const Values& values) {
    Values extended = values;
    extended.push_back({"reset", "default"});
    return extended;
}

// The value's own name for `word`, which may be the dialog's word for it.
std::optional<std::string> value_name(const Values& values, const std::string& word) {
    for (const auto& value : values) {
        if (word == value.name || (!value.dialog_word.empty() && word == value.dialog_word)) {
            return std::string(value.name);
        }
    }
    return std::nullopt;
}

// "a, b (dialog word) or c"
std::string listed(const Values& values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) text += i + 1 == values.size() ? " or " : ", ";
        text += values[i].name;
        if (!values[i].dialog_word.empty()) text += std::string(" (") + values[i].dialog_word + ")";
    }
    return text;
}

// The candidate nearest to `word` in any letter case, when it is within two edits.
std::optional<size_t> nearest(const std::string& word, const std::vector<std::string>& candidates) {
    constexpr size_t most_edits = 2;
    const std::string lower = string_lower(word);
    std::optional<size_t> best;
    size_t best_distance = most_edits + 1;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const size_t distance = string_edit_distance(lower, candidates[i]);
        if (distance < best_distance) {
            best = i;
            best_distance = distance;
        }
    }
    return best;
}

std::string did_you_mean(const std::string& word) { return "; did you mean '" + word + "'?"; }

}  // namespace

std::string suggestion(const std::string& word, const std::vector<std::string>& candidates) {
    const auto found = nearest(word, candidates);
    return found ? did_you_mean(candidates[*found]) : "";
}

namespace {

std::vector<std::string> value_words(const Values& values) {
    std::vector<std::string> words;
    for (const auto& value : values) {
        words.push_back(value.name);
        if (!value.dialog_word.empty()) words.push_back(value.dialog_word);
    }
    return words;
}

std::string invalid(const std::string& value, std::string_view what, const Values& values) {
    return "invalid value '" + value + "' for " + std::string(what) + " (choose " + listed(values) +
           ")" + suggestion(value, value_words(values));
}

const ValueOption* find_value_option(std::string_view key) {
    for (const auto& option : value_options) {
        if (option.key == key) return &option;
    }
    return nullptr;
}

std::string unknown_option(const std::string& arg) {
    // Compared without the value: "--noreboot=1" is suggested "--noreboot", and "--browsr"
    // "--browser=NAME".
    std::vector<std::string> keys(std::begin(flag_names), std::end(flag_names));
    std::vector<std::string> shown = keys;
    for (const auto& option : value_options) {
        keys.emplace_back(option.key);
        shown.push_back(std::string(option.key) + "=" + std::string(option.placeholder));
    }
    const auto found = nearest(arg.substr(0, arg.find('=')), keys);
    const std::string hint = found && shown[*found] != arg ? did_you_mean(shown[*found]) : "";
    return "unknown option '" + arg + "'" + hint;
}

// The tags of --skip, each a step of the wizard's table.
std::optional<std::vector<std::string>> skip_tags(const std::string& value, std::string_view what,
                                                  std::string& error) {
    std::vector<std::string> known;
    for (const auto& step : wizard_step_names()) known.emplace_back(step.tag);
    std::vector<std::string> tags;
    for (const auto& tag : string_split(value, ",")) {
        if (tag.empty()) continue;
        if (std::find(known.begin(), known.end(), tag) == known.end()) {
            error = "unknown step '" + tag + "' for " + std::string(what) +
                    " (the tags are in --help)" + suggestion(tag, known);
            return std::nullopt;
        }
        if (std::find(tags.begin(), tags.end(), tag) == tags.end()) tags.push_back(tag);
    }
    return tags;
}

// The verbs and the values their arguments take; an empty list takes any number of tags. A
// dialog's word for a value is replaced by the value's own name.
bool check_verb(std::vector<std::string>& verb, std::string& error) {
    const std::string& name = verb[0];
    const size_t count = verb.size() - 1;
    auto one_value = [&](const Values& values) {
        if (count != 1) {
            error = name + " takes one value (choose " + listed(values) + ")";
            return false;
        }
        const auto value = value_name(values, verb[1]);
        if (!value) {
            error = invalid(verb[1], name, values);
            return false;
        }
        verb[1] = *value;
        return true;
    };
    if (name == "setup" || name == "status" || name == "profile") {
        if (count == 0) return true;
        error = name + " takes no value";
        return false;
    }
    if (name == "theme" || name == "boot-manager") return one_value(themes);
    if (name == "layout") return one_value(with_reset(layouts));
    if (name == "kernel") return one_value(kernels);
    if (name == "undo") {
        if (count <= 1) return true;
        error = "undo takes at most one run name";
        return false;
    }
    if (name == "software") {
        if (count == 0) {
            error = "software takes one or more of " + listed(software_tags);
            return false;
        }
        for (size_t i = 1; i < verb.size(); ++i) {
            if (!value_name(software_tags, verb[i])) {
                error = invalid(verb[i], name, software_tags);
                return false;
            }
        }
        return true;
    }
    error = "unknown command '" + name + "'" +
            suggestion(name, std::vector<std::string>(std::begin(verbs), std::end(verbs)));
    return false;
}

}  // namespace

namespace {

// The wizard's step tags as lines of the help indented by two blanks, then the ones that
// cannot be skipped.
std::string step_tag_lines() {
    constexpr size_t width = 78;
    std::string text;
    std::string line = " ";
    std::vector<std::string> needed;
    for (const auto& step : wizard_step_names()) {
        if (line.size() + 1 + step.tag.size() > width) {
            text += line + "\n";
            line = " ";
        }
        line += " " + std::string(step.tag);
        if (!step.needed_by.empty()) needed.emplace_back(step.tag);
    }
    const std::string last = needed.empty() ? "" : needed.back();
    if (!needed.empty()) needed.pop_back();
    const std::string listed_needed =
        needed.empty() ? last : string_join(needed, ", ") + " and " + last;
    return text + line + "\n  " + listed_needed +
           " cannot be skipped (later steps need them), nor\n"
           "  debget with a browser that deb-get installs.\n";
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
           "                 (librewolf not on 22.10 and 26.04)\n"
           "  --accept-chrome-licence  accept the Chrome licence (else it is asked, or\n"
           "                 with --yes Firefox is used)\n"
           "  --layout=NAME  ubuntu, windows or minimal (the dialog's bottom, left)\n"
           "  --theme=NAME   light or dark\n"
           "  --yes          no welcome box; undo: reverse the packages without asking\n"
           "  --dry-run      show the steps, commands and file changes; change nothing\n"
           "  --skip-network-check  do not check the download hosts before the wizard's\n"
           "                 first change (behind a strict proxy)\n"
           "  --skip=TAG[,TAG...]  leave these wizard steps out (tags below)\n"
           "  --profile=FILE the answers and the steps to skip from a key file (see\n"
           "                 man kelvane); the options given win. Without a command it\n"
           "                 runs the wizard, also where it has run before\n"
           "  --report=FILE  write a JSON report of the run to FILE when it ends\n"
           "  --json         status: print one JSON object\n"
           "  An option's value may also follow it: --browser firefox.\n"
           "  -h, --help     show this text and exit\n"
           "  --version      show the version and exit\n"
           "\n"
           "Commands (each does what its menu entry does, without dialogs):\n"
           "  setup                      the wizard\n"
           "  theme light|dark           change the theme\n"
           "  layout ubuntu|windows|minimal|reset\n"
           "                             change the desktop layout; the dialog's words\n"
           "                             bottom, left and default work too\n"
           "  kernel x64v2|x64v3|lts-x64v2|lts-x64v3|lts|rt-x64v2|rt-x64v3|\n"
           "         edge-x64v2|edge-x64v3\n"
           "                             install a XanMod kernel (24.04 and later); the\n"
           "                             dialog's words x86-64v2 ... edge-x86-64v3 work too\n"
           "  boot-manager light|dark    install rEFInd (EFI machines)\n"
           "  software TAG...            install extra software: build vala gimp steam\n"
           "                             spotify ffmpeg mailspring rustdesk vmm vbox\n"
           "                             vscode meet (Webex and Zoom)\n"
           "  undo [RUN]                 undo a run (the newest), from its backup\n"
           "  undo --list                list the runs that can be undone\n"
           "  status [--json]            each wizard step: done, to do or skipped; the\n"
           "                             theme, layout, kernel and last run. Changes\n"
           "                             nothing and asks for no password\n"
           "  profile                    print the answers and skipped steps of the last\n"
           "                             completed wizard run, for --profile\n"
           "\n"
           "Wizard steps, in order (for --skip and status):\n" +
           step_tag_lines() +
           "\n"
           "Exit status: 0 done (also a cancelled dialog), 1 failed or refused by a\n"
           "check, 2 usage error, 129/130/143 interrupted by a signal.\n"
           "Each run writes a log in ~/.local/state/kelvane/ (the ten newest are kept).\n"
           "\n"
           "Web site: " +
           std::string(KELVANE_WEBSITE_URL) + "\n";
}

bool is_noreboot_option(const std::string& arg) {
    const std::string lower = string_lower(arg);
    return lower == "--noreboot" || lower == "--no-reboot" || lower == "--skip-reboot";
}

namespace {

// The options that answer a question: where the answer goes, and the values it takes.
struct AnswerOption {
    std::string_view key;
    std::optional<std::string> Options::*field;
    const Values* values;
};
const AnswerOption answer_options[] = {{"--browser", &Options::browser, &browsers},
                                       {"--layout", &Options::layout, &layouts},
                                       {"--theme", &Options::theme, &themes}};

const AnswerOption* find_answer_option(std::string_view key) {
    for (const auto& option : answer_options) {
        if (option.key == key) return &option;
    }
    return nullptr;
}

}  // namespace

bool set_option_value(Options& options, std::string_view key, const std::string& value,
                      std::string_view what, std::string& error) {
    if (const AnswerOption* answer = find_answer_option(key)) {
        options.*answer->field = value_name(*answer->values, value);
        if (!(options.*answer->field)) error = invalid(value, what, *answer->values);
        return (options.*answer->field).has_value();
    }
    if (key == "--skip") {
        options.skip = skip_tags(value, what, error);
        return options.skip.has_value();
    }
    if (value.empty()) {
        error = std::string(what) + " needs a file";
        return false;
    }
    (key == "--profile" ? options.profile : options.report) = value;
    return true;
}

namespace {

bool parse_flag(Options& options, const std::string& arg) {
    const std::vector<std::pair<std::string_view, bool Options::*>> flags{
        {"-h", &Options::help},
        {"--help", &Options::help},
        {"--version", &Options::version},
        {"--yes", &Options::yes},
        {"--list", &Options::list},
        {"--json", &Options::json},
        {"--dry-run", &Options::dry_run},
        {"--skip-network-check", &Options::skip_network_check},
        {"--accept-chrome-licence", &Options::accept_chrome_licence}};
    if (is_noreboot_option(arg)) {
        options.reboot = false;
        return true;
    }
    for (const auto& [name, field] : flags) {
        if (arg != name) continue;
        options.*field = true;
        return true;
    }
    return false;
}

// Options that only some runs take; the error line, or "".
std::string misplaced_option(const Options& options) {
    const std::string verb = options.verb.empty() ? "" : options.verb[0];
    if (options.list && (verb != "undo" || options.verb.size() > 1)) {
        return "--list goes with undo alone";
    }
    if (options.json && verb != "status") return "--json goes with status";
    const bool wizard_or_status = verb.empty() || verb == "setup" || verb == "status";
    if (options.skip && !wizard_or_status) {
        return "--skip goes with the wizard (no command, or setup) and status";
    }
    if (options.profile && !wizard_or_status) {
        return "--profile goes with the wizard (no command, or setup) and status";
    }
    return "";
}

std::optional<Options> parse_arguments(const std::vector<std::string>& args, std::string& error) {
    Options options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.empty() || arg[0] != '-') {
            options.verb.push_back(arg);
            continue;
        }
        if (parse_flag(options, arg)) continue;
        const std::string key = arg.substr(0, arg.find('='));
        const ValueOption* option = find_value_option(key);
        if (!option) {
            error = unknown_option(arg);
            return std::nullopt;
        }
        std::string value;
        if (key != arg) {
            value = arg.substr(key.size() + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            const AnswerOption* answer = find_answer_option(key);
            error =
                key + " needs a value (" +
                (answer ? "choose " + listed(*answer->values) : std::string(option->placeholder)) +
                ")";
            return std::nullopt;
        }
        if (!set_option_value(options, key, value, key, error)) return std::nullopt;
    }
    if (options.help || options.version) return options;
    if (!options.verb.empty() && !check_verb(options.verb, error)) return std::nullopt;
    error = misplaced_option(options);
    if (!error.empty()) return std::nullopt;
    return options;
}

}  // namespace

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error) {
    auto options = parse_arguments(args, error);
    if (!options) error = "kelvane: " + error;
    return options;
}
