// The profile: a key file with the wizard's answers and the steps it leaves out, read with
// --profile and written at the end of a completed wizard run (pure).
#pragma once

#include <string>
#include <string_view>
#include <vector>

/// A key of the profile and the option that takes the same value ("" for none).
struct ProfileKey {
    std::string_view group;
    std::string_view key;
    std::string_view option;
};
inline constexpr ProfileKey profile_keys[] = {
    {"answers", "browser", "--browser"},
    {"answers", "accept-chrome-licence", "--accept-chrome-licence"},
    {"answers", "layout", "--layout"},
    {"answers", "theme", "--theme"},
    {"steps", "skip", "--skip"},
};

/// What a profile holds.
struct Profile {
    std::string browser;
    bool accept_chrome_licence = false;
    std::string layout;
    std::string theme;
    std::vector<std::string> skip;
};

/// The profile's text: a comment with `when` (the run's end) and how to use it, then the
/// [answers] and [steps] groups with every key.
std::string profile_text(const Profile& profile, std::string_view when);
/// The file in the state folder that keeps the profile of the last completed wizard run.
std::string profile_path(std::string_view state_dir);
