// GNOME settings: every payload is checked against the schemas installed on the machine, then
// loaded with "dconf load" unless it is in place already.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/settings_data.h"

struct AppConsole;
struct ReleaseProfile;

/// What the check makes of a payload.
struct SettingsCheck {
    /// What goes to "dconf load": the keys that fit their schema, and those of folders no schema
    /// owns, as they stand.
    SettingsPayload kept;
    /// The keys that do not fit, each with its reason.
    std::vector<KeyCheck> left_out;
    /// The folders that no schema owns.
    std::vector<std::string> unchecked;
};

/// Checks `payload`: the keys that `release`'s GNOME no longer has (its settings_left_out) go
/// without a word; then each key of a folder that a schema owns (by its fixed path, or by the
/// folder patterns of the relocatable schemas the payloads use) must be one of its keys, of its
/// type and within its range or choices.
SettingsCheck check_settings(const Velkor::SchemaSource& schemas, const ReleaseProfile& release,
                             const SettingsPayload& payload);
/// The run's view of the installed schemas: the machine's folders, then each copied extension's
/// "schemas" folder (one that holds only XML is compiled into the workspace first). Opened once,
/// and again after the installed packages or the copied extensions changed. What cannot be read
/// is noted in the log and its settings load unchecked.
const Velkor::SchemaSource& settings_schemas(const AppConsole& app);
/// The current values of the keys of `payload` (one "dconf dump"), keys not set left out; in a
/// dry run, with the values it would have loaded before.
std::map<std::string, std::string> dconf_read_values(const AppConsole& app,
                                                     const SettingsPayload& payload);
/// True when every key that the check keeps of `payload` holds the payload's value now. Changes
/// nothing on the machine.
bool settings_in_place(const AppConsole& app, const SettingsPayload& payload);
/// Checks `payload` (a "W: " line for each key left out) and loads the rest with "dconf load",
/// unless every key holds its value already; a failed load ends the run with status 1. A dry
/// run shows the same lines and the settings that would change, and later previews start from
/// the values it would have loaded. True when it loaded (would load) something.
bool dconf_load(AppConsole& app, const SettingsPayload& payload);
/// The folder where the installed Guake keeps its settings (its schema's path, "/org/guake/");
/// the release's when Guake's schema is not installed (yet).
std::string guake_settings_folder(const AppConsole& app);
