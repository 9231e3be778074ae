#include "app/startup.h"

#include <cpuid.h>
#include <unistd.h>

#include "app/startup_data.h"
#include "build_config.h"
#include "core/app_console.h"
#include "core/data_folder.h"
#include "core/exit.h"
#include "core/packages.h"
#include "core/release_data.h"
#include "core/report.h"
#include "core/run_report.h"
#include "core/runner.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "lib/user.h"

using namespace Velkor;

void check_user(AppConsole& app) {
    app.user_name = get_username();
    app.user_home = get_user_home(app.user_name);
    // The lookups have already said which one failed. Going on would put every per-user
    // file below "/".
    if (app.user_home.empty()) exit_process(1);
    app.done_marker_path = done_marker_of(app.user_home);
    app.state_dir = state_dir_of(app.user_home, env_value("XDG_STATE_HOME"));
    const std::string cache_dir = cache_dir_of(app.user_home);
    if (!path_exists(cache_dir)) dir_create(cache_dir);
}

namespace {

void check_dependencies() {
    std::vector<std::string> missing;
    for (const auto& tool : required_tools()) {
        if (!cmd_exists(tool)) missing.push_back(tool);
    }
    if (missing.empty()) return;
    log_error(missing_tools_message(missing));
    log_error("Install packages for the missing tools and try again.");
    exit_process(1);
}

// The release from /etc/os-release; an unsupported one ends the run with status 1.
OsRelease find_distribution(AppConsole& app) {
    const OsRelease release = parse_os_release(file_read("/etc/os-release").value_or(""));
    for (const auto& [key, value] : release.found) log_debug("Found " + key + ": " + value);
    const auto profile = find_release(release.version_id);
    if (!profile || !distribution_supported(release, supported_versions())) {
        log_header(not_supported_text(release.pretty_name, supported_versions()));
        exit_process(1);
    }
    app.release = *profile;
    run_report_set_release(release.version_id);
    return release;
}

void check_distribution(AppConsole& app) {
    const OsRelease release = find_distribution(app);
    log_msg("Dist: " + release.pretty_name);
    log_file_write("Release: " + release.version_id + "\n");
}

}  // namespace

CpuidRegisters read_cpuid() {
    CpuidRegisters registers;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) registers.leaf1_ecx = ecx;
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) registers.leaf7_ebx = ebx;
    if (__get_cpuid(0x80000001, &eax, &ebx, &ecx, &edx)) registers.extended1_ecx = ecx;
    // XGETBV faults unless the system has turned XSAVE on (OSXSAVE, leaf 1 ECX bit 27).
    if (registers.leaf1_ecx >> 27 & 1) {
        unsigned low = 0, high = 0;
        __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
        registers.xcr0 = static_cast<unsigned long long>(high) << 32 | low;
    }
    return registers;
}

namespace {

std::string level_name(int level) { return "x86-64-v" + std::to_string(level); }

// The level the C library's loader would pick. /proc/cpuinfo's names may lack what a hypervisor
// hides ("abm" for LZCNT): when they say otherwise, the log has both.
void check_cpu_level(AppConsole& app) {
    const std::string cpu_flags = cpuinfo_flags(file_read("/proc/cpuinfo").value_or(""));
    log_debug("flags: " + cpu_flags);
    const int from_cpuid = x86_64_level_from_cpuid(read_cpuid());
    const auto knob = cpu_level_knob(env_value("KELVANE_CPU_LEVEL"));
    app.cpu_level = knob.value_or(from_cpuid);
    log_debug("CPU supports: " + level_name(app.cpu_level));
    log_file_write("CPU level: " + level_name(app.cpu_level) +
                   (knob ? " (KELVANE_CPU_LEVEL; CPUID says " + level_name(from_cpuid) + ")" : "") +
                   "\n");
    if (const int from_flags = x86_64_level(cpu_flag_set(cpu_flags)); from_flags != from_cpuid) {
        log_file_write("CPU level: CPUID says " + level_name(from_cpuid) +
                       ", the flags of /proc/cpuinfo " + level_name(from_flags) + "\n");
    }
}

}  // namespace

// Everything the program writes below the home would belong to root and the password
// prompts of sudo would be skipped, so a root start is refused before anything else.
void check_not_root() {
    if (geteuid() != 0) return;
    log_error(run_as_root_error);
    exit_process(1);
}

void enter_data_folder() {
    const std::vector<std::string> places{current_dir(), program_dir(), "/usr/share/kelvane"};
    if (const auto folder = find_data_folder(places)) {
        if (change_dir(*folder)) return;
        exit_process(1);
    }
    log_error("Cannot find the program's data: looked in " + string_join(places, ", "));
    exit_process(1);
}

void open_run_log(const AppConsole& app, const std::vector<std::string>& args,
                  const std::string& start_time) {
    // The workspace goes at the end of the run; a dry run's log lies beside it and stays.
    const std::string folder = dry_run() ? file_parent(temp_dir()).value_or("/tmp") : app.state_dir;
    const std::string name =
        dry_run() ? "kelvane-dry-run-" + log_file_name(start_time) : log_file_name(start_time);
    const std::string path = path_combine(folder, name);
    if (!dir_create(folder) || !log_file_open(path)) {
        log_msg("W: Cannot write a log in " + folder + "; the run goes on without one.");
        return;
    }
    report_set_log_path(path);
    // Only the state folder is ours to tidy: the temporary folder holds other programs' logs.
    if (!dry_run()) {
        for (const auto& old : logs_to_remove(dir_list_names(folder, false))) {
            file_delete(path_combine(folder, old));
        }
    }
    log_file_write("kelvane " KELVANE_VERSION "\nArguments: " + string_join(args, " ") + "\n");
}

std::string runs_dir(const AppConsole& app) { return path_combine(app.state_dir, "runs"); }

void run_read_only_checks(AppConsole& app) {
    find_distribution(app);
    check_installed_packages_as_user(app);
}

void run_startup_checks(AppConsole& app) {
    check_dependencies();
    check_distribution(app);
    check_installed_packages(app);
    check_cpu_level(app);
}
