// The command line: options, answers given in advance, and the verbs (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Options {
    bool reboot = true;
    bool help = false;
    bool version = false;
    /// No welcome box.
    bool yes = false;
    bool dry_run = false;
    /// The wizard does not ask its download hosts before the first change.
    bool skip_network_check = false;
    /// "undo --list": list the runs instead of undoing one.
    bool list = false;
    /// "status --json": one JSON object instead of the lines.
    bool json = false;
    bool accept_chrome_licence = false;
    std::optional<std::string> browser;
    std::optional<std::string> layout;
    std::optional<std::string> theme;
    /// --skip: the tags of the wizard steps to leave out (known tags, each once); unset without
    /// the option, empty for "--skip=".
    std::optional<std::vector<std::string>> skip;
    /// --profile: the key file with the answers and the steps to skip.
    std::optional<std::string> profile;
    /// --report: where the JSON report of the run goes.
    std::optional<std::string> report;
    /// The verb and its arguments ("theme dark"); empty for the usual start.
    std::vector<std::string> verb;
};

/// The help text.
std::string usage_text();
/// True when `arg`, lower-cased, is one of the reboot options.
bool is_noreboot_option(const std::string& arg);
/// Parses the arguments after the program path; an option's value may follow it as the next
/// argument. nullopt on a usage error, with the line to print (without the usage) in `error`.
std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error);
/// "; did you mean '<candidate>'?" for the candidate nearest to `word` in any letter case,
/// when it is within two edits; "" otherwise.
std::string suggestion(const std::string& word, const std::vector<std::string>& candidates);
/// Sets the value option `key` ("--browser", "--layout", "--theme", "--skip", "--profile" or
/// "--report") to `value`, checked as on the command line. False on a bad value, with the
/// reason (naming the option as `what`, without "kelvane: ") in `error`.
bool set_option_value(Options& options, std::string_view key, const std::string& value,
                      std::string_view what, std::string& error);
