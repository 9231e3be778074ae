#include "lib/files.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "lib/commands.h"
#include "lib/console.h"
#include "lib/glib_ptr.h"

namespace Velkor {

namespace {

GObjectPtr<GFile> plain_file(std::string_view path) {
    // GLib keeps a leading "//" (POSIX leaves its meaning open); on Linux it is just "/".
    while (path.size() > 1 && path[0] == '/' && path[1] == '/') path.remove_prefix(1);
    return GObjectPtr<GFile>{g_file_new_for_path(std::string(path).c_str())};
}

GObjectPtr<GFile> parse_name_file(std::string_view path) {
    return GObjectPtr<GFile>{g_file_parse_name(std::string(path).c_str())};
}

std::string file_path_of(GFile* file) {
    GCharPtr path{g_file_get_path(file)};
    return path ? path.get() : "";
}

bool exists(GFile* file) {
    return g_file_query_file_type(file, G_FILE_QUERY_INFO_NOFOLLOW_SYMLINKS, nullptr) !=
           G_FILE_TYPE_UNKNOWN;
}

std::string errno_text(int error_number) { return g_strerror(error_number); }

// The file a chain of symbolic links ends in; the path itself when it is no link.
std::string resolve_links(std::string path) {
    for (int depth = 0; depth < 40; ++depth) {
        GStatBuf info;
        if (g_lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        GCharPtr target{g_file_read_link(path.c_str(), nullptr)};
        if (!target) return path;
        if (g_path_is_absolute(target.get())) {
            path = target.get();
        } else {
            path = path_combine(file_parent(path).value_or("/"), target.get());
        }
        path = file_path_of(plain_file(path).get());
    }
    return path;
}

// A mkstemp template in the target's folder. The name is cut short so that a target whose
// name is already near the file-name limit can still get a sibling.
std::string temp_path_beside(const std::string& target) {
    constexpr size_t kept_name_bytes = 200;
    const std::string name = file_basename(target).substr(0, kept_name_bytes);
    return path_combine(file_parent(target).value_or("/"), "." + name + ".XXXXXX");
}

bool write_all(int fd, std::string_view contents) {
    size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = write(fd, contents.data() + done, contents.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::optional<std::string> file_parent(std::string_view file_path) {
    auto file = plain_file(file_path);
    GObjectPtr<GFile> parent{g_file_get_parent(file.get())};
    if (!parent) return std::nullopt;
    return file_path_of(parent.get());
}

std::string file_basename(std::string_view file_path) {
    auto file = plain_file(file_path);
    GCharPtr name{g_file_get_basename(file.get())};
    return name ? name.get() : "";
}

std::string path_combine(std::string_view path1, std::string_view path2) {
    if (path1.empty()) return std::string(path2);
    if (path2.empty()) return std::string(path1);
    while (path1.size() > 1 && path1.back() == '/') path1.remove_suffix(1);
    while (!path2.empty() && path2.front() == '/') path2.remove_prefix(1);
    if (path1 == "/") return "/" + std::string(path2);
    return std::string(path1) + "/" + std::string(path2);
}

bool file_exists(std::string_view item_path) { return exists(parse_name_file(item_path).get()); }

bool path_exists(std::string_view item_path) { return file_exists(item_path); }

std::string escape_single_quote(std::string_view file_path) {
    return string_replace(file_path, "'", "'\\''");
}

bool path_is_below(std::string_view path, std::string_view dir) {
    return !dir.empty() && path.size() > dir.size() && path.starts_with(dir) &&
           path[dir.size()] == '/';
}

std::string shell_quote(std::string_view text) { return "'" + escape_single_quote(text) + "'"; }

std::optional<FileStat> file_stat(std::string_view item_path) {
    GStatBuf info;
    if (g_stat(std::string(item_path).c_str(), &info) != 0) return std::nullopt;
    return FileStat{static_cast<unsigned>(info.st_mode & 07777), static_cast<unsigned>(info.st_uid),
                    S_ISDIR(info.st_mode)};
}

std::string current_dir() {
    GCharPtr dir{g_get_current_dir()};
    return dir.get();
}

std::string program_dir() {
    GCharPtr target{g_file_read_link("/proc/self/exe", nullptr)};
    if (!target) return "";
    return file_parent(target.get()).value_or("");
}

bool change_dir(std::string_view dir_path) {
    if (g_chdir(std::string(dir_path).c_str()) == 0) return true;
    log_error("Cannot enter '" + std::string(dir_path) + "': " + errno_text(errno));
    return false;
}

std::optional<std::string> env_value(std::string_view name) {
    const char* value = g_getenv(std::string(name).c_str());
    if (!value || !*value) return std::nullopt;
    return std::string(value);
}

std::optional<std::string> file_read(std::string_view file_path) {
    gchar* raw_contents = nullptr;
    gsize length = 0;
    GError* raw_error = nullptr;
    if (!g_file_get_contents(std::string(file_path).c_str(), &raw_contents, &length, &raw_error)) {
        GErrorPtr error{raw_error};
        log_error(error->message);
        return std::nullopt;
    }
    GCharPtr contents{raw_contents};
    return std::string(contents.get(), length);
}

bool file_holds(std::string_view file_path, std::string_view contents) {
    const auto found = file_stat(file_path);
    if (!found || found->is_dir) return false;
    const auto text = file_read(file_path);
    return text && *text == contents;
}

std::optional<std::string> file_link_target(std::string_view link_path) {
    GCharPtr target{g_file_read_link(std::string(link_path).c_str(), nullptr)};
    if (!target) return std::nullopt;
    return std::string(target.get());
}

namespace {

// Counts the files below `src_dir` into `files`; false at the first one `dst_dir` lacks.
bool files_within(const std::string& src_dir, const std::string& dst_dir, int& files) {
    for (const auto& name : dir_list_names(src_dir, false)) {
        const std::string src = path_combine(src_dir, name);
        const std::string dst = path_combine(dst_dir, name);
        const auto found = file_stat(src);
        if (!found) return false;
        if (found->is_dir) {
            if (!files_within(src, dst, files)) return false;
            continue;
        }
        ++files;
        const auto contents = file_read(src);
        if (!contents || !file_holds(dst, *contents)) return false;
    }
    return true;
}

}  // namespace

bool dir_files_within(std::string_view src_dir, std::string_view dst_dir) {
    int files = 0;
    return files_within(std::string(src_dir), std::string(dst_dir), files) && files > 0;
}

namespace {

// `ok`, after writing the error's message as an "E: " line when it failed.
bool reported(gboolean ok, GError** raw_error) {
    GErrorPtr error{*raw_error};
    if (!ok && error) log_error(error->message);
    return ok;
}

void (*before_replace_hook)(const std::string&) = nullptr;
void (*before_create_hook)(const std::string&) = nullptr;

bool in_workspace(const std::string& path) { return path_is_below(path, temp_dir()); }

// In a dry run only the workspace is written; everything else is shown instead.
bool only_shown(const std::string& path) { return dry_run() && !in_workspace(path); }

}  // namespace

bool file_show_diff(std::string_view target_path, std::string_view contents, bool use_sudo) {
    const std::string target(target_path);
    const std::string draft = get_temp_file_path(true);
    file_write(draft, contents);
    ExecOutput diff;
    const std::string old = use_sudo ? (file_exists_sudo(target) ? target : "/dev/null")
                            : file_exists(target) ? target
                                                  : "/dev/null";
    run_read(std::string(use_sudo ? "sudo " : "") + "diff -u --label " + shell_quote(old) +
                 " --label " + shell_quote(target) + " " + shell_quote(old) + " " +
                 shell_quote(draft),
             RunMode::captured, &diff);
    const std::string text = diff.std_out.value_or("");
    if (text.empty()) return false;
    log_msg("Would write: " + target);
    log_msg(text.back() == '\n' ? text.substr(0, text.size() - 1) : text);
    count_change();
    return true;
}

namespace {

void show_write(const std::string& target, std::string_view contents) {
    file_show_diff(target, contents, false);
}

}  // namespace

namespace {

// Writes beside the target and renames over it: the old content survives any failure, and a
// reader holding the old file open keeps reading the old text. The file gets `mode`, or keeps
// the old one; a new file without `mode` gets the default (the umask's).
bool write_replacing(const std::string& target, std::string_view contents,
                     std::optional<unsigned> mode) {
    if (auto parent = file_parent(target)) dir_create(*parent);
    std::string temp_path = temp_path_beside(target);
    const int fd = g_mkstemp_full(temp_path.data(), O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        log_error("Failed to write '" + target + "': " + errno_text(errno));
        return false;
    }
    // A replaced file keeps its owner and group where we may set them, so a private file stays
    // private.
    GStatBuf old_stat;
    if (g_stat(target.c_str(), &old_stat) == 0) {
        // Only root may give a file away; where that fails, the mode still keeps it private.
        if (fchown(fd, old_stat.st_uid, old_stat.st_gid) != 0) errno = 0;
        if (!mode) fchmod(fd, old_stat.st_mode & 07777);
    }
    if (mode) fchmod(fd, *mode);
    const bool written = write_all(fd, contents);
    const int write_errno = errno;
    const bool closed = close(fd) == 0;
    if (!written || !closed) {
        g_unlink(temp_path.c_str());
        log_error("Failed to write '" + target + "': " + errno_text(written ? errno : write_errno));
        return false;
    }
    if (g_rename(temp_path.c_str(), target.c_str()) != 0) {
        const int rename_errno = errno;
        g_unlink(temp_path.c_str());
        log_error("Failed to write '" + target + "': " + errno_text(rename_errno));
        return false;
    }
    return true;
}

}  // namespace

bool file_write(std::string_view file_path, std::string_view contents) {
    const std::string target = resolve_links(file_path_of(plain_file(file_path).get()));
    if (only_shown(target)) {
        show_write(target, contents);
        return true;
    }
    // The hook may write files itself (a backup copy): it is off while it runs.
    if (auto* hook = before_replace_hook; hook && !in_workspace(target)) {
        before_replace_hook = nullptr;
        hook(target);
        before_replace_hook = hook;
    }
    return write_replacing(target, contents, std::nullopt);
}

std::string file_replace_problem(std::string_view file_path) {
    std::string probe = temp_path_beside(std::string(file_path));
    const int fd = g_mkstemp_full(probe.data(), O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) return errno_text(errno);
    close(fd);
    g_unlink(probe.c_str());
    return "";
}

bool file_write_output(std::string_view file_path, std::string_view contents, unsigned mode) {
    return write_replacing(resolve_links(file_path_of(plain_file(file_path).get())), contents,
                           mode);
}

void file_set_before_replace(void (*before_replace)(const std::string& target)) {
    before_replace_hook = before_replace;
}

std::string text_checksum(std::string_view contents) {
    GCharPtr sum{g_compute_checksum_for_data(
        G_CHECKSUM_SHA256, reinterpret_cast<const guchar*>(contents.data()), contents.size())};
    return sum ? sum.get() : "";
}

bool file_delete(std::string_view file_path) {
    auto file = plain_file(file_path);
    if (!exists(file.get())) return true;
    if (only_shown(file_path_of(file.get()))) {
        log_msg("Would delete: " + file_path_of(file.get()));
        return true;
    }
    GError* raw_error = nullptr;
    return reported(g_file_delete(file.get(), nullptr, &raw_error), &raw_error);
}

bool dir_create(std::string_view dir_path) {
    auto dir = parse_name_file(dir_path);
    if (exists(dir.get())) return true;
    if (only_shown(file_path_of(dir.get()))) {
        log_msg("Would create folder: " + file_path_of(dir.get()));
        return true;
    }
    if (auto* hook = before_create_hook; hook && !in_workspace(file_path_of(dir.get()))) {
        // The hook may make folders itself (the backup's): it is off while it runs.
        before_create_hook = nullptr;
        std::vector<std::string> missing;
        for (std::string path = file_path_of(dir.get()); !file_exists(path);
             path = file_parent(path).value_or("/")) {
            missing.push_back(path);
        }
        for (auto path = missing.rbegin(); path != missing.rend(); ++path) hook(*path);
        before_create_hook = hook;
    }
    GError* raw_error = nullptr;
    return reported(g_file_make_directory_with_parents(dir.get(), nullptr, &raw_error), &raw_error);
}

void dir_set_before_create(void (*before_create)(const std::string& dir)) {
    before_create_hook = before_create;
}

std::vector<std::string> dir_list_names(std::string_view path, bool with_path) {
    std::vector<std::string> names;
    GDir* raw_dir = g_dir_open(std::string(path).c_str(), 0, nullptr);
    if (!raw_dir) return names;
    std::unique_ptr<GDir, GDeleter<g_dir_close>> dir{raw_dir};
    while (const gchar* name = g_dir_read_name(dir.get())) names.emplace_back(name);
    std::sort(names.begin(), names.end());
    if (with_path) {
        for (auto& name : names) name = path_combine(path, name);
    }
    return names;
}

std::vector<std::string> dirs_list_paths(std::initializer_list<std::string_view> dirs) {
    std::vector<std::string> paths;
    for (const auto dir : dirs) {
        for (auto& path : dir_list_names(dir, true)) paths.push_back(std::move(path));
    }
    return paths;
}

std::vector<std::string> string_split(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    if (separator.empty()) return {std::string(text)};
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            pieces.emplace_back(text.substr(start));
            return pieces;
        }
        pieces.emplace_back(text.substr(start, end - start));
        start = end + separator.size();
    }
}

std::string string_join(const std::vector<std::string>& pieces, std::string_view separator) {
    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) joined += separator;
        joined += pieces[i];
    }
    return joined;
}

std::string string_replace(std::string_view self, std::string_view old,
                           std::string_view replacement) {
    if (self.empty() || old.empty() || old == replacement) return std::string(self);
    std::string result;
    size_t start = 0;
    while (true) {
        const size_t found = self.find(old, start);
        if (found == std::string_view::npos) break;
        result.append(self.substr(start, found - start));
        result.append(replacement);
        start = found + old.size();
    }
    result.append(self.substr(start));
    return result;
}

std::optional<std::string> string_slice(std::string_view self, long start, long end) {
    const long length = static_cast<long>(self.size());
    if (start < 0) start += length;
    if (end < 0) end += length;
    if (start < 0 || start > length || end < 0 || end > length) {
        g_critical("string_slice: index out of range");
        return std::nullopt;
    }
    if (start > end) {
        g_critical("string_slice: assertion 'start <= end' failed");
        return std::nullopt;
    }
    return std::string(self.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
}

bool string_contains(std::string_view self, std::string_view needle) {
    return self.find(needle) != std::string_view::npos;
}

std::string string_strip(std::string_view self) {
    constexpr std::string_view blanks = " \t\n\r\f";
    const size_t first = self.find_first_not_of(blanks);
    if (first == std::string_view::npos) return "";
    const size_t last = self.find_last_not_of(blanks);
    return std::string(self.substr(first, last - first + 1));
}

std::string string_lower(std::string_view self) {
    GCharPtr lower{g_utf8_strdown(self.data(), static_cast<gssize>(self.size()))};
    return lower ? lower.get() : "";
}

size_t string_edit_distance(std::string_view a, std::string_view b) {
    // One row of the distance table at a time: row[j] is the distance of a's prefix to b[0, j).
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string strip_newline(std::string_view txt, bool strip_start, bool strip_end, bool collapse) {
    std::string text(txt);
    for (std::string_view separator : {std::string_view("\r\n"), std::string_view("\n")}) {
        if (strip_start) {
            while (text.compare(0, separator.size(), separator) == 0) {
                text.erase(0, separator.size());
            }
        }
        if (collapse) {
            const std::string doubled = std::string(separator) + std::string(separator);
            while (string_contains(text, doubled)) text = string_replace(text, doubled, separator);
        }
        if (strip_end) {
            while (text.size() >= separator.size() &&
                   text.compare(text.size() - separator.size(), separator.size(), separator) == 0) {
                text.erase(text.size() - separator.size());
            }
        }
    }
    return text;
}

std::string strip_double_empty_lines(std::string_view txt) {
    std::string text(txt);
    while (string_contains(text, "\n\n\n")) text = string_replace(text, "\n\n\n", "\n\n");
    return text;
}

std::optional<std::vector<std::string>> regex_match(std::string_view expression,
                                                    std::string_view line, bool multiline) {
    GError* raw_error = nullptr;
    const auto flags = multiline ? G_REGEX_MULTILINE : static_cast<GRegexCompileFlags>(0);
    GRegexPtr regex{g_regex_new(std::string(expression).c_str(), flags,
                                static_cast<GRegexMatchFlags>(0), &raw_error)};
    if (!regex) {
        GErrorPtr error{raw_error};
        log_error(error->message);
        return std::nullopt;
    }
    const std::string subject(line);
    GMatchInfo* raw_match = nullptr;
    const bool matched =
        g_regex_match(regex.get(), subject.c_str(), static_cast<GRegexMatchFlags>(0), &raw_match);
    GMatchInfoPtr match{raw_match};
    if (!matched) return std::nullopt;
    std::vector<std::string> groups;
    const int count = g_match_info_get_match_count(match.get());
    for (int i = 0; i < count; ++i) {
        GCharPtr group{g_match_info_fetch(match.get(), i)};
        groups.emplace_back(group ? group.get() : "");
    }
    return groups;
}

std::string json_quote(std::string_view text) {
    GCharPtr valid{g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()))};
    std::string quoted = "\"";
    for (const char* c = valid.get(); *c; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte == '"' || byte == '\\') {
            quoted += '\\';
            quoted += *c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            quoted += escaped;
        } else {
            quoted += *c;
        }
    }
    return quoted + "\"";
}

long parse_leading_long(std::string_view text) {
    const std::string copy(text);
    return std::strtol(copy.c_str(), nullptr, 10);
}

}  // namespace Velkor
