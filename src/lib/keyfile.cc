#include "lib/keyfile.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "lib/files.h"
#include "lib/glib_ptr.h"

namespace Velkor {

namespace {

using KeyFilePtr = std::unique_ptr<GKeyFile, GDeleter<g_key_file_free>>;

bool is_group_line(const std::string& line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

// GKeyFile tells no line numbers: where each group and key stands (the last of a repeated key,
// whose value GKeyFile keeps), and the first line GKeyFile cannot take.
struct Lines {
    std::map<std::string, int> groups;
    std::map<std::pair<std::string, std::string>, int> keys;
    int first_bad = 0;
};

Lines find_lines(std::string_view text) {
    Lines lines;
    std::string group;
    int number = 0;
    for (const auto& raw : string_split(text, "\n")) {
        ++number;
        const std::string line = string_strip(raw);
        if (line.empty() || line[0] == '#') continue;
        const bool valid_text =
            g_utf8_validate(raw.data(), static_cast<gssize>(raw.size()), nullptr);
        const bool key_line = line.find('=') != std::string::npos && !group.empty();
        if (is_group_line(line)) {
            group = line.substr(1, line.size() - 2);
            lines.groups.emplace(group, number);
        } else if (key_line) {
            lines.keys[{group, string_strip(line.substr(0, line.find('=')))}] = number;
        }
        if ((!valid_text || !(key_line || is_group_line(line))) && lines.first_bad == 0) {
            lines.first_bad = number;
        }
    }
    return lines;
}

std::vector<std::string> string_list(GKeyFile* file, const gchar* group, const gchar* key) {
    std::vector<std::string> list;
    GStrvPtr items{g_key_file_get_string_list(file, group, key, nullptr, nullptr)};
    for (gchar** item = items.get(); item && *item; ++item) list.emplace_back(*item);
    return list;
}

}  // namespace

std::optional<std::vector<KeyFileEntry>> keyfile_parse(std::string_view text, KeyFileError& error) {
    const Lines lines = find_lines(text);
    KeyFilePtr file{g_key_file_new()};
    GError* raw_error = nullptr;
    if (!g_key_file_load_from_data(file.get(), text.data(), text.size(), G_KEY_FILE_NONE,
                                   &raw_error)) {
        GErrorPtr failure{raw_error};
        error = {lines.first_bad, failure->message};
        return std::nullopt;
    }
    std::vector<KeyFileEntry> entries;
    GStrvPtr groups{g_key_file_get_groups(file.get(), nullptr)};
    for (gchar** group = groups.get(); *group; ++group) {
        const auto header = lines.groups.find(*group);
        const int group_line = header == lines.groups.end() ? 0 : header->second;
        GStrvPtr keys{g_key_file_get_keys(file.get(), *group, nullptr, nullptr)};
        if (!keys || !*keys.get()) {
            entries.push_back({*group, "", "", {}, group_line, group_line});
            continue;
        }
        for (gchar** key = keys.get(); *key; ++key) {
            const auto at = lines.keys.find({*group, *key});
            const int line = at == lines.keys.end() ? group_line : at->second;
            GError* value_error = nullptr;
            GCharPtr value{g_key_file_get_string(file.get(), *group, *key, &value_error)};
            if (!value) {
                // Text that is not UTF-8, or a bad escape.
                GErrorPtr failure{value_error};
                error = {line, failure->message};
                return std::nullopt;
            }
            entries.push_back({*group, *key, value.get(), string_list(file.get(), *group, *key),
                               line, group_line});
        }
    }
    return entries;
}

std::optional<std::vector<KeyFileEntry>> keyfile_read(std::string_view path, KeyFileError& error) {
    // GLib's own message names the file again; the caller already does.
    if (g_access(std::string(path).c_str(), R_OK) != 0) {
        error = {0, std::string("cannot read it: ") + g_strerror(errno)};
        return std::nullopt;
    }
    gchar* raw_contents = nullptr;
    gsize length = 0;
    GError* raw_error = nullptr;
    if (!g_file_get_contents(std::string(path).c_str(), &raw_contents, &length, &raw_error)) {
        GErrorPtr failure{raw_error};
        error = {0, failure->message};
        return std::nullopt;
    }
    GCharPtr contents{raw_contents};
    return keyfile_parse(std::string_view(contents.get(), length), error);
}

}  // namespace Velkor
