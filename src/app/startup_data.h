// The decisions of the start-up checks, apart from reading files and ending the process.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// The line printed when the program is started with an effective user id of 0.
inline constexpr std::string_view run_as_root_error =
    "Do not run this program as root or with sudo: start it as your desktop user; it asks for "
    "the administrator password when it needs it.";

/// The tools that the tasks call, in the order they are tested (the dialog tool last).
std::vector<std::string> required_tools();

/// "Some required tools are missing: <names joined with ", ">".
std::string missing_tools_message(const std::vector<std::string>& missing);

/// The per-user cache folder below `home` ("<home>/.cache").
std::string cache_dir_of(std::string_view home);
/// The marker whose presence means the wizard has finished once for this user.
std::string done_marker_of(std::string_view home);

/// The folder of the run logs: "$XDG_STATE_HOME/kelvane" (an absolute one), else
/// "<home>/.local/state/kelvane".
std::string state_dir_of(std::string_view home, const std::optional<std::string>& xdg_state_home);
/// The log's name for a start time given as "YYYY-MM-DDTHH-MM-SS": that name plus ".log".
std::string log_file_name(std::string_view start_time);
/// The logs among `names` (a folder's entries) to delete so that the ten newest remain; log
/// names sort by their start time.
std::vector<std::string> logs_to_remove(std::vector<std::string> names);

/// The four fields the distribution check reads from an os-release text.
struct OsRelease {
    std::string version_id;
    std::string pretty_name;
    std::string name;
    std::string id;
    /// Every accepted key and its stored value, in file order (for the debug lines); a key
    /// that appears twice is listed twice.
    std::vector<std::pair<std::string, std::string>> found;
};

/// Parses an os-release text: lines without "=" are skipped, key and value are the trimmed
/// first and second pieces between "=" (so a value loses everything from its own "=" on),
/// only the exact upper-case keys VERSION_ID, PRETTY_NAME, NAME and ID count, double quotes
/// are removed from the value and a later line overwrites an earlier one. Never fails: text
/// without such lines gives empty fields.
OsRelease parse_os_release(std::string_view text);

/// True when ID and NAME are "ubuntu" (any letter case) and VERSION_ID is exactly one of
/// `supported_versions`.
bool distribution_supported(const OsRelease& release,
                            const std::vector<std::string>& supported_versions);

/// The text of the boxed message shown for an unsupported system (ends with a line feed).
std::string not_supported_text(std::string_view pretty_name,
                               const std::vector<std::string>& supported_versions);

/// The text after ":" on the first line of /proc/cpuinfo that begins with "flags" and holds
/// a ":", trimmed; "" when there is no such line.
std::string cpuinfo_flags(std::string_view cpuinfo_text);

/// The non-empty blank-separated flags of a flags text, trimmed and lower-cased.
std::set<std::string> cpu_flag_set(std::string_view flags);

/// The x86-64 micro-architecture level (1 to 4) that `flags` supports: a level counts only
/// when it and every lower level have all their flags. 1 for an empty set.
int x86_64_level(const std::set<std::string>& flags);

/// The registers the C library reads to decide the x86-64 level: CPUID leaf 1 ECX, leaf 7
/// (subleaf 0) EBX, leaf 0x80000001 ECX, and the registers the system saves (XCR0; 0 when the
/// CPU does not let the system use XSAVE).
struct CpuidRegisters {
    unsigned leaf1_ecx = 0;
    unsigned leaf7_ebx = 0;
    unsigned extended1_ecx = 0;
    unsigned long long xcr0 = 0;
};
/// The level (1 to 4) as the C library's loader decides it: AVX, AVX2, FMA and F16C count only
/// when the system saves the AVX registers, AVX-512 only when it also saves the mask and ZMM
/// registers. Hypervisors may hide feature names in /proc/cpuinfo, never the features.
int x86_64_level_from_cpuid(const CpuidRegisters& registers);
/// The hidden knob KELVANE_CPU_LEVEL that sets the level for the tests: 1 to 4, else nullopt.
std::optional<int> cpu_level_knob(const std::optional<std::string>& value);
