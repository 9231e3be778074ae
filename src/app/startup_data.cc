#include "app/startup_data.h"

#include <algorithm>
#include <array>

#include "lib/files.h"

using namespace Velkor;

namespace {

// The kernel's names for the features each psABI level requires (LZCNT shows up as "abm",
// SSE3 as "pni"); a level is reached only on top of all the levels before it.
struct LevelFlags {
    int level;
    std::vector<std::string_view> flags;
};

const std::array<LevelFlags, 3>& level_table() {
    static const std::array<LevelFlags, 3> table{{
        {2, {"cx16", "lahf_lm", "popcnt", "pni", "sse4_1", "sse4_2", "ssse3"}},
        {3, {"avx", "avx2", "bmi1", "bmi2", "f16c", "fma", "abm", "movbe", "xsave"}},
        {4, {"avx512f", "avx512bw", "avx512cd", "avx512dq", "avx512vl"}},
    }};
    return table;
}

}  // namespace

std::vector<std::string> required_tools() {
    return {"cp", "rm", "touch", "ln", "grep", "find", "awk", "rsync", "apt", "wget", "whiptail"};
}

std::string missing_tools_message(const std::vector<std::string>& missing) {
    return "Some required tools are missing: " + string_join(missing, ", ");
}

std::string cache_dir_of(std::string_view home) { return std::string(home) + "/.cache"; }

std::string done_marker_of(std::string_view home) {
    return std::string(home) + "/.cache/velkor-post-install.done";
}

OsRelease parse_os_release(std::string_view text) {
    OsRelease release;
    const std::array<std::pair<std::string_view, std::string OsRelease::*>, 4> keys{{
        {"VERSION_ID", &OsRelease::version_id},
        {"PRETTY_NAME", &OsRelease::pretty_name},
        {"NAME", &OsRelease::name},
        {"ID", &OsRelease::id},
    }};
    for (const auto& line : string_split(text, "\n")) {
        if (line.find('=') == std::string::npos) continue;
        const auto pieces = string_split(line, "=");
        const std::string key = string_strip(pieces[0]);
        const std::string value = string_strip(pieces[1]);
        for (const auto& [name, field] : keys) {
            if (key != name) continue;
            release.*field = string_replace(value, "\"", "");
            release.found.emplace_back(key, release.*field);
        }
    }
    return release;
}

bool distribution_supported(const OsRelease& release,
                            const std::vector<std::string>& supported_versions) {
    if (release.id.empty() || string_lower(release.id) != "ubuntu") return false;
    if (release.name.empty() || string_lower(release.name) != "ubuntu") return false;
    return std::find(supported_versions.begin(), supported_versions.end(), release.version_id) !=
           supported_versions.end();
}

std::string not_supported_text(std::string_view pretty_name,
                               const std::vector<std::string>& supported_versions) {
    std::string text = "This distribution is not supported:   \n";
    text += " - " + std::string(pretty_name) + "\n\n";
    text += "Supported distributions:\n";
    for (const auto& version : supported_versions) text += " - Ubuntu " + version + "\n";
    return text;
}

std::string cpuinfo_flags(std::string_view cpuinfo_text) {
    for (const auto& line : string_split(cpuinfo_text, "\n")) {
        if (line.rfind("flags", 0) != 0 || line.find(':') == std::string::npos) continue;
        return string_strip(string_split(line, ":")[1]);
    }
    return "";
}

std::set<std::string> cpu_flag_set(std::string_view flags) {
    std::set<std::string> flag_set;
    for (const auto& piece : string_split(flags, " ")) {
        std::string flag = string_lower(string_strip(piece));
        if (!flag.empty()) flag_set.insert(std::move(flag));
    }
    return flag_set;
}

int x86_64_level(const std::set<std::string>& flags) {
    int level = 1;
    for (const auto& row : level_table()) {
        const bool complete = std::all_of(row.flags.begin(), row.flags.end(), [&](auto flag) {
            return flags.count(std::string(flag)) > 0;
        });
        if (!complete) break;
        level = row.level;
    }
    return level;
}

namespace {

constexpr bool has_bits(unsigned long long value, std::initializer_list<int> bits) {
    for (const int bit : bits) {
        if (!(value >> bit & 1)) return false;
    }
    return true;
}

}  // namespace

int x86_64_level_from_cpuid(const CpuidRegisters& registers) {
    // Leaf 1 ECX: SSE3 0, SSSE3 9, CMPXCHG16B 13, SSE4.1 19, SSE4.2 20, POPCNT 23; leaf
    // 0x80000001 ECX: LAHF/SAHF 0.
    if (!has_bits(registers.leaf1_ecx, {0, 9, 13, 19, 20, 23}) ||
        !has_bits(registers.extended1_ecx, {0})) {
        return 1;
    }
    // AVX 28 with OSXSAVE 27 and the XMM and YMM state (XCR0 bits 1, 2); FMA 12, MOVBE 22,
    // F16C 29; leaf 7 EBX: BMI1 3, AVX2 5, BMI2 8; LZCNT is leaf 0x80000001 ECX bit 5.
    const bool avx_saved = has_bits(registers.leaf1_ecx, {27}) && has_bits(registers.xcr0, {1, 2});
    if (!avx_saved || !has_bits(registers.leaf1_ecx, {12, 22, 28, 29}) ||
        !has_bits(registers.leaf7_ebx, {3, 5, 8}) || !has_bits(registers.extended1_ecx, {5})) {
        return 2;
    }
    // AVX-512 F 16, DQ 17, CD 28, BW 30, VL 31, with the opmask and ZMM state (XCR0 5, 6, 7).
    if (!has_bits(registers.xcr0, {5, 6, 7}) ||
        !has_bits(registers.leaf7_ebx, {16, 17, 28, 30, 31})) {
        return 3;
    }
    return 4;
}

std::optional<int> cpu_level_knob(const std::optional<std::string>& value) {
    if (!value || value->size() != 1 || (*value)[0] < '1' || (*value)[0] > '4') return std::nullopt;
    return (*value)[0] - '0';
}

std::string state_dir_of(std::string_view home, const std::optional<std::string>& xdg_state_home) {
    if (xdg_state_home && !xdg_state_home->empty() && (*xdg_state_home)[0] == '/') {
        return *xdg_state_home + "/kelvane";
    }
    return std::string(home) + "/.local/state/kelvane";
}

std::string log_file_name(std::string_view start_time) { return std::string(start_time) + ".log"; }

std::vector<std::string> logs_to_remove(std::vector<std::string> names) {
    constexpr size_t kept = 10;
    std::vector<std::string> logs;
    for (auto& name : names) {
        if (name.size() > 4 && name.ends_with(".log")) {
            logs.push_back(std::move(name));
        }
    }
    std::sort(logs.begin(), logs.end());
    if (logs.size() <= kept) return {};
    logs.resize(logs.size() - kept);
    return logs;
}
