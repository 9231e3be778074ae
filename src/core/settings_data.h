// GNOME settings payloads (pure): the one parsed form of a "dconf load -f /" text, the edits
// that fit a payload to a release, and the texts of the settings check.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lib/schemas.h"

struct SettingsKey {
    std::string name;
    /// GVariant text, as "dconf load" reads it.
    std::string value;
};

struct SettingsFolder {
    /// "/org/gnome/x/"; "/" for the root.
    std::string path;
    std::vector<SettingsKey> keys;
};

/// A settings payload: its folders in the order they first appear, each with its keys in
/// order. A key named twice keeps its first place and its last value, as "dconf load" does.
struct SettingsPayload {
    std::vector<SettingsFolder> folders;
};

/// Reads a keyfile text whose groups are settings folders ("[org/gnome/x]") and whose values
/// are GVariant texts. Blank lines, comments, and lines outside a folder or without a key
/// before "=" are skipped.
SettingsPayload parse_settings_payload(std::string_view text);
/// The text "dconf load -f /" reads: a line feed, then each folder ("[org/gnome/x]") with one
/// line per key, the folders apart by an empty line.
std::string settings_payload_text(const SettingsPayload& payload);
/// Every (absolute key path, value), in payload order ("/org/gnome/x/a", "1").
std::vector<std::pair<std::string, std::string>> settings_values(const SettingsPayload& payload);
/// The payload that sets each (absolute key path, value), folders in the order first seen.
SettingsPayload settings_from_values(
    const std::vector<std::pair<std::string, std::string>>& values);
/// The path of the payload's first folder, for messages; "/" when it has none.
std::string settings_first_folder(const SettingsPayload& payload);
/// Sets key `name` of `folder` ("/org/gnome/x/"), after the keys already there.
void settings_set(SettingsPayload& payload, std::string_view folder, std::string_view name,
                  std::string_view value);
/// The payload without what `left_out` names: absolute key paths, and folders (ending in "/")
/// whose keys all go. Folders left without keys go too.
SettingsPayload settings_without(SettingsPayload payload,
                                 std::span<const std::string_view> left_out);
/// The payload with folder `from` ("/apps/guake/") and the folders below it moved below `to`.
SettingsPayload settings_moved(SettingsPayload payload, std::string_view from, std::string_view to);

/// The relocatable schema that the payloads use at `folder` (a terminal profile, a custom
/// keybinding, a hot corner); nullopt for any other folder.
std::optional<std::string_view> relocatable_schema_at(std::string_view folder);
/// How a key is named to the user: its folder below "/org/gnome/shell/extensions/" or
/// "/org/gnome/" with blanks for the slashes, then the key ("dash-to-panel show-appmenu",
/// "gedit preferences editor scheme", "guake general use-popup").
std::string settings_key_name(std::string_view key);

/// A key that the settings check leaves out, and why.
struct KeyCheck {
    /// Absolute key path.
    std::string key;
    std::string value;
    Velkor::SchemaFit verdict = Velkor::SchemaFit::no_such_key;
    /// The key's GVariant type, for wrong_type.
    std::string key_type;
};
/// The "W: " line (without the "W: ") of a key that the check leaves out, on GNOME Shell
/// `gnome_shell`: "GNOME 46 has no setting dash-to-panel show-appmenu; left out".
std::string left_out_line(int gnome_shell, const KeyCheck& check);

/// "Would set <key>: <current> → <value>" for each setting whose current value (absent when not
/// set) differs.
std::vector<std::string> settings_change_lines(const SettingsPayload& payload,
                                               const std::map<std::string, std::string>& current);
/// True when every key of `payload` holds the value it gives in `current`.
bool settings_all_set(const SettingsPayload& payload,
                      const std::map<std::string, std::string>& current);
