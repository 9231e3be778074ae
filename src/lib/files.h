// Paths, whole files, directories and small text helpers.
//
// Failures are reported with one "E: " line carrying the platform's reason, and the
// operation returns its neutral result (false, std::nullopt, "" or an empty list).
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Velkor {

// ---- paths and existence ----------------------------------------------------------------

/// Parent folder of the normalised absolute path; nullopt for "/".
std::optional<std::string> file_parent(std::string_view file_path);
/// Last component of the normalised absolute path.
std::string file_basename(std::string_view file_path);
/// True when `path` lies inside the folder `dir` (not `dir` itself); false for an empty `dir`.
bool path_is_below(std::string_view path, std::string_view dir);
/// Joins two parts with exactly one "/" at the seam; an empty part is skipped.
std::string path_combine(std::string_view path1, std::string_view path2);
/// True when anything exists at the path (a parse name: "~", "~user" and "file:" work).
bool file_exists(std::string_view item_path);
/// Same test as file_exists.
bool path_exists(std::string_view item_path);
/// What stat says of a path (links followed).
struct FileStat {
    /// Permission bits, e.g. 0600.
    unsigned mode;
    unsigned owner_uid;
    bool is_dir;
};
/// nullopt when nothing is there.
std::optional<FileStat> file_stat(std::string_view item_path);
/// Every "'" replaced by "'\''", for use between single quotes in a shell command line.
std::string escape_single_quote(std::string_view file_path);
/// `text` as one shell word: single-quoted, every "'" escaped. The one way any path or value
/// enters a command line.
std::string shell_quote(std::string_view text);

/// The process's working folder.
std::string current_dir();
/// The folder of the running program's file ("" when it cannot be told).
std::string program_dir();
/// Makes `dir_path` the working folder; false (and an "E: " line) on failure.
bool change_dir(std::string_view dir_path);
/// The value of an environment variable; nullopt when it is unset or empty.
std::optional<std::string> env_value(std::string_view name);

// ---- whole files and folders ------------------------------------------------------------

/// The whole file, unchanged; nullopt (and an "E: " line) when it cannot be read.
std::optional<std::string> file_read(std::string_view file_path);
/// True when `file_path` is a file that holds exactly `contents` (a read failure is an "E: "
/// line and counts as not).
bool file_holds(std::string_view file_path, std::string_view contents);
/// Where the symbolic link `link_path` points, as written in the link; nullopt for no link.
std::optional<std::string> file_link_target(std::string_view link_path);
/// True when every file below the folder `src_dir` is also below `dst_dir`, at the same place
/// and with the same bytes (`dst_dir` may hold more); false when `src_dir` holds no file.
bool dir_files_within(std::string_view src_dir, std::string_view dst_dir);
/// Replaces the file with `contents` (parents created). The new text goes to a temporary
/// file in the same folder that is renamed over the target, so the old content is never
/// lost; a symbolic link is kept and the file it points to is replaced. False on failure.
bool file_write(std::string_view file_path, std::string_view contents);
/// file_write for what the program itself puts out (a report): written also in a dry run and
/// never backed up, with the mode `mode`.
bool file_write_output(std::string_view file_path, std::string_view contents, unsigned mode);
/// "" when file_write could put a file at `file_path` (its folder takes a new file), else the
/// system's reason. Tried with a scratch file that is removed again.
std::string file_replace_problem(std::string_view file_path);
/// In a dry run: shows how writing `contents` would change `target` as a unified diff (read
/// through sudo with `use_sudo`) and counts the change; false, showing nothing, when it would
/// not change.
bool file_show_diff(std::string_view target, std::string_view contents, bool use_sudo);
/// Sets the function that file_write calls with the target's path before it replaces or
/// creates a file outside the workspace (not in a dry run); nullptr turns it off.
void file_set_before_replace(void (*before_replace)(const std::string& target));
/// The SHA-256 of `contents` in lower-case hex.
std::string text_checksum(std::string_view contents);
/// Deletes a file, link or empty folder; true when nothing is left there.
bool file_delete(std::string_view file_path);
/// Creates the folder with all missing parents; true when something already exists there.
bool dir_create(std::string_view dir_path);
/// Sets the function that dir_create calls with each folder it is about to create, parents
/// first, outside the workspace (not in a dry run); nullptr turns it off.
void dir_set_before_create(void (*before_create)(const std::string& dir));
/// Names (or full paths) of a folder's entries, sorted bytewise; empty when it is missing.
std::vector<std::string> dir_list_names(std::string_view path, bool with_path);
/// The full paths of the entries of each of `dirs`, folder after folder.
std::vector<std::string> dirs_list_paths(std::initializer_list<std::string_view> dirs);

// ---- text -------------------------------------------------------------------------------

/// Splits at every `separator`; empty pieces are kept, an empty text gives an empty list.
std::vector<std::string> string_split(std::string_view text, std::string_view separator);
/// Joins with `separator` between the pieces.
std::string string_join(const std::vector<std::string>& pieces, std::string_view separator);
/// Every literal `old` replaced, left to right, non-overlapping.
std::string string_replace(std::string_view self, std::string_view old,
                           std::string_view replacement);
/// Bytes [start, end); negative indices count from the end. nullopt when out of range.
std::optional<std::string> string_slice(std::string_view self, long start, long end);
bool string_contains(std::string_view self, std::string_view needle);
/// Without leading and trailing ASCII white space.
std::string string_strip(std::string_view self);
/// ASCII lower-casing is not enough for user text: this is UTF-8 aware.
std::string string_lower(std::string_view self);
/// Removes "\r\n" and then "\n" separators at the start and/or end; `collapse` folds doubles.
std::string strip_newline(std::string_view txt, bool strip_start, bool strip_end, bool collapse);
/// Replaces "\n\n\n" by "\n\n" until none is left.
std::string strip_double_empty_lines(std::string_view txt);
/// Matches `expression` against `line`; the whole match and its groups, or nullopt.
std::optional<std::vector<std::string>> regex_match(std::string_view expression,
                                                    std::string_view line, bool multiline);
/// The Levenshtein distance: the fewest one-byte insertions, deletions and substitutions
/// that turn `a` into `b`.
size_t string_edit_distance(std::string_view a, std::string_view b);
/// `text` as a JSON string, quotes included; bytes that are not UTF-8 become U+FFFD.
std::string json_quote(std::string_view text);
/// Leading decimal number: white space skipped, optional sign, digits; 0 without digits.
long parse_leading_long(std::string_view text);

}  // namespace Velkor
