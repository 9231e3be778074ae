#include "lib/user.h"

#include <glib.h>

#include <algorithm>

#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

namespace Velkor {

namespace {

// The local account file first, then the name service, whose answer is split as one line
// (its last field keeps the line break).
std::optional<std::string> lookup(std::string_view key, int key_field, int min_fields, int field) {
    const std::string passwd = file_read("/etc/passwd").value_or("");
    if (auto found = passwd_lookup(passwd, key_field, key, min_fields, field)) return found;
    const std::string answer = get_user_with_getent(key).value_or("");
    return field_if_match(string_split(answer, ":"), key_field, key, min_fields, field);
}

}  // namespace

std::optional<std::string> field_if_match(const std::vector<std::string>& fields, int key_field,
                                          std::string_view key, int min_fields, int field) {
    // Both indices are checked too, so that no argument combination reads past the fields.
    const int needed = std::max({min_fields, key_field, field});
    if (key_field < 1 || field < 1 || static_cast<int>(fields.size()) < needed) return std::nullopt;
    if (fields[static_cast<size_t>(key_field - 1)] != key) return std::nullopt;
    return fields[static_cast<size_t>(field - 1)];
}

std::optional<std::string> passwd_lookup(std::string_view passwd_text, int key_field,
                                         std::string_view key, int min_fields, int field) {
    for (const auto& line : string_split(passwd_text, "\n")) {
        if (auto found = field_if_match(string_split(line, ":"), key_field, key, min_fields, field))
            return found;
    }
    return std::nullopt;
}

int get_user_id_effective() {
    ExecOutput output;
    run_read("id -u", RunMode::captured, &output);
    const std::string text = output.std_out.value_or("");
    if (text.empty()) return -1;
    return static_cast<int>(parse_leading_long(text));
}

bool user_is_admin() { return get_user_id_effective() == 0; }

int get_user_id() {
    if (const char* pkexec_uid = g_getenv("PKEXEC_UID")) {
        return static_cast<int>(parse_leading_long(pkexec_uid));
    }
    if (const char* sudo_user = g_getenv("SUDO_USER")) return get_user_id_from_username(sudo_user);
    return get_user_id_effective();
}

std::optional<std::string> get_user_with_getent(std::string_view user_name_or_uid) {
    // The key is quoted so that it reaches getent as one argument, blanks and all.
    ExecOutput output;
    if (run_read("getent passwd " + shell_quote(user_name_or_uid), RunMode::captured, &output) <
        0) {
        return std::nullopt;
    }
    return output.std_out.value_or("");
}

int get_user_id_from_username(std::string_view username) {
    if (auto uid = lookup(username, 1, 3, 3)) return static_cast<int>(parse_leading_long(*uid));
    log_error("UserId not found for userName: " + std::string(username));
    return -1;
}

std::string get_username_from_uid(int uid) {
    const std::string key = std::to_string(uid);
    if (auto name = lookup(key, 3, 3, 1)) return *name;
    log_error("Username not found for uid: " + key);
    return "";
}

std::string get_username() { return get_username_from_uid(get_user_id()); }

std::string get_username_effective() { return get_username_from_uid(get_user_id_effective()); }

std::string get_user_home(std::string_view username) {
    if (auto home = lookup(username, 1, 6, 6)) return *home;
    log_error("Home directory not found for user: " + std::string(username));
    return "";
}

std::string get_user_home_effective() { return get_user_home(get_username_effective()); }

std::string get_hostname() {
    return strip_newline(string_strip(file_read("/etc/hostname").value_or("")), true, true, false);
}

}  // namespace Velkor
