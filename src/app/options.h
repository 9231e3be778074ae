// The command line: options, answers given in advance, and the verbs (pure).
#pragma once

#include <optional>
#include <string>
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
    bool accept_chrome_licence = false;
    std::optional<std::string> browser;
    std::optional<std::string> layout;
    std::optional<std::string> theme;
    /// The verb and its arguments ("theme dark"); empty for the usual start.
    std::vector<std::string> verb;
};

/// The help text.
std::string usage_text();
/// True when `arg`, lower-cased, is one of the reboot options.
bool is_noreboot_option(const std::string& arg);
/// Parses the arguments after the program path. nullopt on a usage error, with the line to
/// print (without the usage) in `error`.
std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error);
