// The data folder: the files the program brings with it, where it finds them, and the check
// that they are all there before anything changes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ReleaseProfile;

/// What a run needs of the data folder.
enum class DataNeed {
    /// The wizard: everything.
    wizard,
    /// The theme and layout actions: the extension folders.
    extensions,
};

/// The first of `candidates` that holds the program's data; nullopt when none does.
std::optional<std::string> find_data_folder(const std::vector<std::string>& candidates);
/// One line for each item of the data folder (the current folder) that is missing, empty or
/// unreadable for `release`, saying how to get it; empty when all is there.
std::vector<std::string> missing_data(const ReleaseProfile& release, DataNeed need);
/// Writes the lines of missing_data as errors and ends the run with status 1 when any is.
void check_data(const ReleaseProfile& release, DataNeed need);
