#include "core/settings_data.h"

#include <fnmatch.h>

#include <algorithm>

#include "lib/files.h"
#include "lib/schemas.h"

using namespace Velkor;

namespace {

// "[org/gnome/x/]", "[/org/gnome/x]" and "[org/gnome/x]" name the same folder.
std::string folder_path(std::string_view inner) {
    while (!inner.empty() && inner.front() == '/') inner.remove_prefix(1);
    while (!inner.empty() && inner.back() == '/') inner.remove_suffix(1);
    return inner.empty() ? "/" : "/" + std::string(inner) + "/";
}

SettingsFolder& folder_of(SettingsPayload& payload, std::string_view path) {
    for (auto& folder : payload.folders) {
        if (folder.path == path) return folder;
    }
    return payload.folders.emplace_back(SettingsFolder{std::string(path), {}});
}

std::pair<std::string, std::string> split_key(std::string_view key) {
    const size_t slash = key.rfind('/');
    return {std::string(key.substr(0, slash + 1)), std::string(key.substr(slash + 1))};
}

// The relocatable schemas the payloads use, by the folders they are put at.
constexpr std::pair<std::string_view, std::string_view> relocatable_schemas[] = {
    {"/org/gnome/terminal/legacy/profiles:/:*/", "org.gnome.Terminal.Legacy.Profile"},
    {"/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/*/",
     "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding"},
    {"/org/gnome/shell/extensions/custom-hot-corners-extended/monitor-*/",
     "org.gnome.shell.extensions.custom-hot-corners-extended.corner"},
};

}  // namespace

SettingsPayload parse_settings_payload(std::string_view text) {
    SettingsPayload payload;
    std::optional<std::string> folder;
    for (const auto& raw : string_split(text, "\n")) {
        const std::string line = string_strip(raw);
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            folder = folder_path(std::string_view(line).substr(1, line.size() - 2));
            continue;
        }
        const size_t equals = line.find('=');
        if (!folder || equals == std::string::npos || equals == 0) continue;
        settings_set(payload, *folder, string_strip(line.substr(0, equals)),
                     string_strip(line.substr(equals + 1)));
    }
    return payload;
}

std::string settings_payload_text(const SettingsPayload& payload) {
    std::string text;
    for (const auto& folder : payload.folders) {
        const std::string_view path = folder.path;
        text += "\n[" + std::string(path == "/" ? path : path.substr(1, path.size() - 2)) + "]\n";
        for (const auto& key : folder.keys) text += key.name + "=" + key.value + "\n";
    }
    return text;
}

std::vector<std::pair<std::string, std::string>> settings_values(const SettingsPayload& payload) {
    std::vector<std::pair<std::string, std::string>> values;
    for (const auto& folder : payload.folders) {
        for (const auto& key : folder.keys) values.emplace_back(folder.path + key.name, key.value);
    }
    return values;
}

SettingsPayload settings_from_values(
    const std::vector<std::pair<std::string, std::string>>& values) {
    SettingsPayload payload;
    for (const auto& [key, value] : values) {
        const auto [folder, name] = split_key(key);
        settings_set(payload, folder, name, value);
    }
    return payload;
}

std::string settings_first_folder(const SettingsPayload& payload) {
    return payload.folders.empty() ? "/" : payload.folders.front().path;
}

void settings_set(SettingsPayload& payload, std::string_view folder, std::string_view name,
                  std::string_view value) {
    auto& keys = folder_of(payload, folder).keys;
    const auto same = std::find_if(keys.begin(), keys.end(),
                                   [&](const SettingsKey& key) { return key.name == name; });
    if (same != keys.end()) {
        same->value = value;
    } else {
        keys.push_back({std::string(name), std::string(value)});
    }
}

SettingsPayload settings_without(SettingsPayload payload,
                                 std::span<const std::string_view> left_out) {
    const auto gone = [&](const std::string& key) {
        return std::any_of(left_out.begin(), left_out.end(), [&](std::string_view entry) {
            return entry.ends_with('/') ? key.starts_with(entry) : key == entry;
        });
    };
    for (auto& folder : payload.folders) {
        std::erase_if(folder.keys,
                      [&](const SettingsKey& key) { return gone(folder.path + key.name); });
    }
    std::erase_if(payload.folders,
                  [](const SettingsFolder& folder) { return folder.keys.empty(); });
    return payload;
}

SettingsPayload settings_moved(SettingsPayload payload, std::string_view from,
                               std::string_view to) {
    for (auto& folder : payload.folders) {
        if (folder.path.starts_with(from))
            folder.path = std::string(to) + folder.path.substr(from.size());
    }
    return payload;
}

std::optional<std::string_view> relocatable_schema_at(std::string_view folder) {
    const std::string path(folder);
    for (const auto& [pattern, id] : relocatable_schemas) {
        if (fnmatch(std::string(pattern).c_str(), path.c_str(), FNM_PATHNAME) == 0) return id;
    }
    return std::nullopt;
}

std::string settings_key_name(std::string_view key) {
    for (const std::string_view prefix :
         {"/org/gnome/shell/extensions/", "/org/gnome/", "/org/", "/"}) {
        if (key.starts_with(prefix)) {
            key.remove_prefix(prefix.size());
            break;
        }
    }
    return string_replace(key, "/", " ");
}

std::string left_out_line(int gnome_shell, const KeyCheck& check) {
    std::string line =
        "GNOME " + std::to_string(gnome_shell) + " has no setting " + settings_key_name(check.key);
    if (check.verdict == SchemaFit::wrong_type) {
        line += " that takes " + check.value + " (its type is " + check.key_type + ")";
    } else if (check.verdict == SchemaFit::out_of_range) {
        line += " that takes " + check.value + " (outside its range or choices)";
    }
    return line + "; left out";
}

std::vector<std::string> settings_change_lines(const SettingsPayload& payload,
                                               const std::map<std::string, std::string>& current) {
    std::vector<std::string> lines;
    for (const auto& [key, value] : settings_values(payload)) {
        const auto before = current.find(key);
        if (before != current.end() && variant_text_equal(before->second, value)) continue;
        lines.push_back("Would set " + key + ": " +
                        (before == current.end() ? "(not set)" : before->second) + " → " + value);
    }
    return lines;
}

bool settings_all_set(const SettingsPayload& payload,
                      const std::map<std::string, std::string>& current) {
    return settings_change_lines(payload, current).empty();
}
