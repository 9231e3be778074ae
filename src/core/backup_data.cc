#include "core/backup_data.h"

#include <map>
#include <set>

#include "lib/files.h"

using namespace Velkor;

namespace {

// A value is the rest of its line: only a backslash and a line feed need escaping.
std::string escaped(std::string_view text) {
    return string_replace(string_replace(text, "\\", "\\\\"), "\n", "\\n");
}

std::string unescaped(std::string_view text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            result += text[++i] == 'n' ? '\n' : text[i];
        } else {
            result += text[i];
        }
    }
    return result;
}

// The first `count` blank-separated words, then the rest of the line as the last piece;
// nullopt when the line has fewer pieces.
std::optional<std::vector<std::string>> fields(std::string_view line, size_t count) {
    std::vector<std::string> pieces;
    for (size_t i = 0; i < count; ++i) {
        const size_t blank = line.find(' ');
        if (blank == std::string_view::npos) return std::nullopt;
        pieces.emplace_back(line.substr(0, blank));
        line.remove_prefix(blank + 1);
    }
    pieces.push_back(unescaped(line));
    return pieces;
}

std::optional<unsigned> number(const std::string& text, int base) {
    if (text.empty() ||
        text.find_first_not_of(base == 8 ? "01234567" : "0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return static_cast<unsigned>(std::stoul(text, nullptr, base));
}

std::string octal(unsigned value) {
    std::string text;
    do {
        text.insert(text.begin(), static_cast<char>('0' + (value & 7)));
        value >>= 3;
    } while (value);
    return text;
}

std::optional<BackedUpFile> parse_file_line(std::string_view rest) {
    const auto pieces = fields(rest, 6);
    if (!pieces) return std::nullopt;
    const auto& p = *pieces;
    const auto mode = number(p[2], 8);
    const auto owner = number(p[3], 10);
    if ((p[0] != "home" && p[0] != "system") || (p[1] != "yes" && p[1] != "no") || !mode ||
        !owner || p[6].empty()) {
        return std::nullopt;
    }
    return BackedUpFile{p[6], p[0] == "system", p[1] == "yes", *mode, *owner, p[4], p[5]};
}

}  // namespace

std::string manifest_text(const Manifest& manifest) {
    std::string text = std::string(manifest_version_line) + "\n";
    auto line = [&text](std::string_view key, std::string_view value) {
        text += std::string(key) + " " + escaped(value) + "\n";
    };
    if (!manifest.choices.empty()) line("choices", manifest.choices);
    for (const auto& file : manifest.files) {
        text += "file " + std::string(file.system ? "system " : "home ") +
                (file.existed ? "yes " : "no ") + octal(file.mode) + " " +
                std::to_string(file.owner_uid) + " " + file.copy_name + " " + file.after_checksum +
                " " + escaped(file.path) + "\n";
    }
    for (const auto& copy : manifest.dconf_saves) line("dconf-save", copy);
    for (const auto& key : manifest.dconf_resets) line("dconf-reset", key);
    for (const auto& [copy, dir] : manifest.dconf_dumps) line("dconf-dump", copy + " " + dir);
    for (const auto& name : manifest.installed) line("installed", name);
    for (const auto& name : manifest.removed) line("removed", name);
    for (const auto& path : manifest.sources) line("source", path);
    for (const auto& path : manifest.taken_out) line("taken-out", path);
    for (const auto& name : manifest.snaps_removed) line("snap-removed", name);
    for (const auto& name : manifest.flatpak_remotes) line("flatpak-remote", name);
    for (const auto& path : manifest.extensions) line("extension", path);
    for (const auto& path : manifest.created) line("created", path);
    for (const auto& [copy, path] : manifest.moved) line("moved", copy + " " + path);
    if (manifest.finished) text += "finished\n";
    return text;
}

std::optional<Manifest> parse_manifest(std::string_view text, std::string& error) {
    const auto lines = string_split(text, "\n");
    if (lines.empty() || lines[0] != manifest_version_line) {
        error = "unknown format '" + (lines.empty() ? std::string() : lines[0]) + "'";
        return std::nullopt;
    }
    Manifest manifest;
    const std::map<std::string, std::vector<std::string> Manifest::*> lists{
        {"dconf-save", &Manifest::dconf_saves},
        {"dconf-reset", &Manifest::dconf_resets},
        {"installed", &Manifest::installed},
        {"removed", &Manifest::removed},
        {"source", &Manifest::sources},
        {"taken-out", &Manifest::taken_out},
        {"flatpak-remote", &Manifest::flatpak_remotes},
        {"extension", &Manifest::extensions},
        {"created", &Manifest::created}};
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty()) continue;
        const size_t blank = line.find(' ');
        const std::string key = line.substr(0, blank);
        const std::string value =
            blank == std::string::npos ? "" : unescaped(line.substr(blank + 1));
        bool read = !value.empty();
        if (key == "finished") {
            manifest.finished = read = true;
        } else if (key == "choices") {
            manifest.choices = value;
        } else if (key == "snap-removed") {
            if (read) manifest.snaps_removed.push_back(value);
        } else if (key == "file") {
            const auto file = parse_file_line(line.substr(blank + 1));
            if ((read = file.has_value())) manifest.files.push_back(*file);
        } else if (key == "dconf-dump" || key == "moved") {
            const size_t seam = value.find(' ');
            read = seam != std::string::npos;
            auto& pairs = key == "moved" ? manifest.moved : manifest.dconf_dumps;
            if (read) pairs.emplace_back(value.substr(0, seam), value.substr(seam + 1));
        } else if (const auto list = lists.find(key); list != lists.end() && read) {
            (manifest.*(list->second)).push_back(value);
        } else {
            read = false;
        }
        if (!read) {
            error = "line " + std::to_string(i + 1) + " cannot be read: '" + line + "'";
            return std::nullopt;
        }
    }
    return manifest;
}

size_t manifest_change_count(const Manifest& manifest) {
    return manifest.files.size() + manifest.dconf_saves.size() + manifest.dconf_resets.size() +
           manifest.dconf_dumps.size() + manifest.installed.size() + manifest.removed.size() +
           manifest.sources.size() + manifest.snaps_removed.size() +
           manifest.flatpak_remotes.size() + manifest.extensions.size() + manifest.created.size() +
           manifest.moved.size();
}

std::vector<std::string> system_copy_commands(std::string_view path, std::string_view copy,
                                              std::string_view user) {
    return {"sudo cp --preserve=mode,ownership,timestamps " + shell_quote(path) + " " +
                shell_quote(copy),
            "sudo chown " + shell_quote(user) + " " + shell_quote(copy),
            "chmod 600 " + shell_quote(copy)};
}

std::optional<std::pair<unsigned, unsigned>> parse_mode_owner(std::string_view line) {
    const auto pieces = string_split(string_strip(line), " ");
    if (pieces.size() != 2) return std::nullopt;
    const auto mode = number(pieces[0], 8);
    const auto owner = number(pieces[1], 10);
    if (!mode || !owner) return std::nullopt;
    return std::make_pair(*mode, *owner);
}

std::vector<std::string> added_entries(const std::vector<std::string>& before,
                                       const std::vector<std::string>& after) {
    const std::set<std::string> old(before.begin(), before.end());
    std::vector<std::string> added;
    for (const auto& entry : after) {
        if (!old.count(entry)) added.push_back(entry);
    }
    return added;
}

std::string move_command(std::string_view from, std::string_view to) {
    return "mv -T " + shell_quote(from) + " " + shell_quote(to);
}
