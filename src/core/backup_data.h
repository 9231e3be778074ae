// The backup of a run (pure): the manifest that lists what the run changed and how to find
// the state before it, and the commands that copy system files.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// The first line of every manifest; a manifest with another first line is not read.
inline constexpr std::string_view manifest_version_line = "kelvane-backup 1";
inline constexpr std::string_view manifest_file_name = "manifest";
/// Present in a run's folder once that run has been undone.
inline constexpr std::string_view undone_marker_name = "undone";
/// The after-state of a file that is not known (the run did not end normally).
inline constexpr std::string_view checksum_unknown = "-";
/// The after-state of a file that the run left absent.
inline constexpr std::string_view checksum_absent = "absent";

/// A file as it was before the run first changed it.
struct BackedUpFile {
    std::string path;
    /// Written by root (copied with sudo), not by the user.
    bool system = false;
    bool existed = false;
    unsigned mode = 0;
    unsigned owner_uid = 0;
    /// The copy's name in the run's folder; "-" when the file did not exist.
    std::string copy_name{"-"};
    /// Checksum of what the run left there, checksum_absent, or checksum_unknown.
    std::string after_checksum{checksum_unknown};
};

/// Everything a run changed, in the order it was recorded.
struct Manifest {
    /// What was chosen: the wizard's answers, the menu entry or the command.
    std::string choices;
    std::vector<BackedUpFile> files;
    /// Copies of settings in "dconf load" form, relative to "/".
    std::vector<std::string> dconf_saves;
    /// Settings keys that had no value before the run.
    std::vector<std::string> dconf_resets;
    /// Whole settings trees: (copy name, settings folder it was dumped from).
    std::vector<std::pair<std::string, std::string>> dconf_dumps;
    std::vector<std::string> installed;
    std::vector<std::string> removed;
    /// Package source and key files that the run added.
    std::vector<std::string> sources;
    /// Files of sources the run added and took out again, since apt could not fetch them.
    std::vector<std::string> taken_out;
    /// Snaps the run removed (Firefox, Thunderbird); undo offers to install them again.
    std::vector<std::string> snaps_removed;
    std::vector<std::string> flatpak_remotes;
    /// Extension folders that the run copied into the home.
    std::vector<std::string> extensions;
    /// Folders and links in the home that the run created.
    std::vector<std::string> created;
    /// Folders the run moved into its backup instead of deleting them: (copy name, path).
    std::vector<std::pair<std::string, std::string>> moved;
    /// The run reached its end and recorded the state it left.
    bool finished = false;
};

/// The manifest's text: the version line, then one line per entry.
std::string manifest_text(const Manifest& manifest);
/// Reads a manifest's text; nullopt with the reason in `error` when the first line is not
/// manifest_version_line or a line cannot be read.
std::optional<Manifest> parse_manifest(std::string_view text, std::string& error);
/// How many changes the manifest holds (one per entry; a source taken out again is none).
size_t manifest_change_count(const Manifest& manifest);

/// The commands that copy system file `path` to `copy` with mode, owner and times kept, then
/// give the copy to `user` with mode 0600.
std::vector<std::string> system_copy_commands(std::string_view path, std::string_view copy,
                                              std::string_view user);
/// "mv -T '<from>' '<to>'": moves a folder to a path that must not be a folder already.
std::string move_command(std::string_view from, std::string_view to);
/// Arguments of stat -c that print a file's mode (octal) and owner's uid.
inline constexpr std::string_view stat_mode_owner_format = "%a %u";
/// Mode and owner from a stat_mode_owner_format line; nullopt when it is not two numbers.
std::optional<std::pair<unsigned, unsigned>> parse_mode_owner(std::string_view line);
/// The entries of `after` that are not in `before` (both sorted or not; order of `after`).
std::vector<std::string> added_entries(const std::vector<std::string>& before,
                                       const std::vector<std::string>& after);
