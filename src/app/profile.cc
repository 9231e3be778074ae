#include "app/profile.h"

#include <algorithm>

#include "app/options.h"
#include "core/profile_data.h"
#include "lib/files.h"
#include "lib/keyfile.h"

using namespace Velkor;

namespace {

std::string where(const std::string& path, int line) {
    return "kelvane: " + path + (line > 0 ? ":" + std::to_string(line) : "") + ": ";
}

std::vector<std::string> profile_groups() {
    std::vector<std::string> groups;
    for (const auto& key : profile_keys) {
        if (std::find(groups.begin(), groups.end(), key.group) == groups.end()) {
            groups.emplace_back(key.group);
        }
    }
    return groups;
}

std::vector<std::string> keys_of(std::string_view group) {
    std::vector<std::string> keys;
    for (const auto& key : profile_keys) {
        if (key.group == group) keys.emplace_back(key.key);
    }
    return keys;
}

// "a, b or c"
std::string choices(const std::vector<std::string>& words, std::string_view before,
                    std::string_view after) {
    std::string text;
    for (size_t i = 0; i < words.size(); ++i) {
        if (i > 0) text += i + 1 == words.size() ? " or " : ", ";
        text += std::string(before) + words[i] + std::string(after);
    }
    return text;
}

// Checks one entry like its option and sets it in `profile`; the reason when it is refused.
std::string take_entry(const KeyFileEntry& entry, Options& profile) {
    const auto groups = profile_groups();
    if (std::find(groups.begin(), groups.end(), entry.group) == groups.end()) {
        std::vector<std::string> headers;
        for (const auto& group : groups) headers.push_back("[" + group + "]");
        return "unknown group [" + entry.group + "] (choose " + choices(groups, "[", "]") + ")" +
               suggestion("[" + entry.group + "]", headers);
    }
    if (entry.key.empty()) return "";
    const auto known = std::find_if(
        std::begin(profile_keys), std::end(profile_keys),
        [&](const ProfileKey& key) { return key.group == entry.group && key.key == entry.key; });
    if (known == std::end(profile_keys)) {
        const auto keys = keys_of(entry.group);
        return "unknown key '" + entry.key + "' in [" + entry.group + "] (choose " +
               choices(keys, "", "") + ")" + suggestion(entry.key, keys);
    }
    if (known->option == "--accept-chrome-licence") {
        if (entry.value != "true" && entry.value != "false") {
            return "invalid value '" + entry.value + "' for " + entry.key +
                   " (choose true or false)";
        }
        profile.accept_chrome_licence = entry.value == "true";
        return "";
    }
    const std::string value =
        known->option == "--skip" ? string_join(entry.list, ",") : entry.value;
    std::string error;
    set_option_value(profile, known->option, value, entry.key, error);
    return error;
}

// The command line wins: the profile fills what it left unset.
void merge(Options& options, const Options& profile) {
    if (!options.browser) options.browser = profile.browser;
    if (!options.layout) options.layout = profile.layout;
    if (!options.theme) options.theme = profile.theme;
    if (!options.skip) options.skip = profile.skip;
    options.accept_chrome_licence = options.accept_chrome_licence || profile.accept_chrome_licence;
}

}  // namespace

namespace {

bool apply_entries(Options& options, const std::optional<std::vector<KeyFileEntry>>& entries,
                   const KeyFileError& failure, std::string& error) {
    const std::string& path = *options.profile;
    if (!entries) {
        error = where(path, failure.line) + failure.message;
        return false;
    }
    Options profile;
    for (const auto& entry : *entries) {
        const std::string refusal = take_entry(entry, profile);
        if (refusal.empty()) continue;
        const bool group_fault = refusal.starts_with("unknown group");
        error = where(path, group_fault ? entry.group_line : entry.line) + refusal;
        return false;
    }
    merge(options, profile);
    return true;
}

}  // namespace

bool apply_profile_text(Options& options, std::string_view text, std::string& error) {
    KeyFileError failure;
    const auto entries = keyfile_parse(text, failure);
    return apply_entries(options, entries, failure, error);
}

bool apply_profile(Options& options, std::string& error) {
    KeyFileError failure;
    const auto entries = keyfile_read(*options.profile, failure);
    return apply_entries(options, entries, failure, error);
}
