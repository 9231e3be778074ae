// Key files (INI: "[group]" lines and "key=value" lines below them), read with GLib's parser
// and told by the line that each entry stands on.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Velkor {

struct KeyFileEntry {
    std::string group;
    std::string key;
    /// The value with the key file's escapes (\s, \n, \t, \\) undone.
    std::string value;
    /// The value as a list: split at ";", escapes undone.
    std::vector<std::string> list;
    /// The line (from 1) it stands on; a group without keys: its header's line.
    int line = 0;
    /// The line of its group's header.
    int group_line = 0;
};

struct KeyFileError {
    /// The line (from 1) of the fault; 0 when no line is to blame (the file cannot be read).
    int line = 0;
    std::string message;
};

/// The groups and entries of the key file `text`, in file order; a group without keys is an
/// entry with an empty key at its header's line. nullopt on a syntax error, with its line.
std::optional<std::vector<KeyFileEntry>> keyfile_parse(std::string_view text, KeyFileError& error);
/// keyfile_parse of the file `path`; an unreadable file gives the system's reason, line 0.
std::optional<std::vector<KeyFileEntry>> keyfile_read(std::string_view path, KeyFileError& error);

}  // namespace Velkor
