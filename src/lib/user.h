// The real user's identity: who started the program, also through sudo or pkexec.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Velkor {

/// Field `field` (1-based) of an account line already split at ":", when field `key_field`
/// equals `key` and the line has at least `min_fields` fields (pure).
std::optional<std::string> field_if_match(const std::vector<std::string>& fields, int key_field,
                                          std::string_view key, int min_fields, int field);
/// Field `field` (1-based) of the first account line matching `key` in field `key_field`,
/// when the line has at least `min_fields` fields (pure; empty fields count).
std::optional<std::string> passwd_lookup(std::string_view passwd_text, int key_field,
                                         std::string_view key, int min_fields, int field);

/// The effective uid from "id -u"; -1 when it prints nothing.
int get_user_id_effective();
bool user_is_admin();
/// The real uid: PKEXEC_UID, else the uid of SUDO_USER, else the effective uid.
int get_user_id();
/// Output of "getent passwd <key>" (the key passed as one argument); nullopt when getent
/// could not be started.
std::optional<std::string> get_user_with_getent(std::string_view user_name_or_uid);
/// uid of an account name, or -1 with an "E: " line.
int get_user_id_from_username(std::string_view username);
/// Account name of a uid, or "" with an "E: " line.
std::string get_username_from_uid(int uid);
std::string get_username();
std::string get_username_effective();
/// Home folder of an account name, or "" with an "E: " line.
std::string get_user_home(std::string_view username);
std::string get_user_home_effective();
/// Contents of /etc/hostname without surrounding white space.
std::string get_hostname();

}  // namespace Velkor
