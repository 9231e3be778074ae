// Arguments that are answered before anything else runs.
#pragma once

#include <optional>
#include <string>
#include <vector>

/// True when `arg`, lower-cased, is one of the reboot options.
bool is_noreboot_option(const std::string& arg);
/// The text to print for "--help" or "--version" anywhere after the program path, or nullopt
/// when the program should run.
std::optional<std::string> early_answer(const std::vector<std::string>& args);
