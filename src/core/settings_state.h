// Whether settings are in place on the machine: the read-only question that a settings step
// and `status` both ask.
#pragma once

#include <string>
#include <string_view>
#include <vector>

/// The settings payloads a whole wizard pass loads, in order. While set, a key counts as in
/// place when it holds the value the pass leaves it with: a later payload may set it again (the
/// layout replaces the extension list of the application settings), and a pass that finds
/// everything done must not load the first value only to load the last one again. Empty: each
/// payload's own values.
void settings_plan_set(const std::vector<std::string>& payloads);
/// True when every key of the settings payloads `payloads`, loaded in this order (a later value
/// wins), already holds its value (see settings_plan_set). One "dconf dump"; nothing changes.
bool settings_in_place(const std::vector<std::string_view>& payloads);
/// The same for one payload.
bool settings_in_place(std::string_view payload);
