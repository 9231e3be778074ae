// Start-up: who runs the program, and whether this system can run it at all.
#include <unistd.h>

#include "app/app_console.h"
#include "app/startup_checks.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"
#include "lib/user.h"

using namespace Velkor;

void AppConsole::run_startup_checks() {
    check_not_root();
    check_user();
    check_dependencies();
    check_distribution();
    check_installed_packages();
    check_cpu_level();
}

// Everything the program writes below the home would belong to root and the password
// prompts of sudo would be skipped, so a root start is refused before anything else.
void AppConsole::check_not_root() {
    if (geteuid() != 0) return;
    log_error(run_as_root_error);
    exit_process(1);
}

void AppConsole::check_user() {
    user_name = get_username();
    user_home = get_user_home(user_name);
    // The lookups have already said which one failed. Going on would put every per-user
    // file below "/".
    if (user_home.empty()) exit_process(1);
    cache_dir = cache_dir_of(user_home);
    done_marker_path = done_marker_of(user_home);
    if (!path_exists(cache_dir)) dir_create(cache_dir);
}

void AppConsole::check_dependencies() {
    log_debug("check_dependencies()");
    std::vector<std::string> missing;
    for (const auto& tool : required_tools()) {
        if (!cmd_exists(tool)) missing.push_back(tool);
    }
    if (missing.empty()) {
        log_debug("check_dependencies(): exit");
        return;
    }
    log_error(missing_tools_message(missing));
    log_error("Install packages for the missing tools and try again.");
    exit_process(1);
}

void AppConsole::check_distribution() {
    log_debug("check_distribution()");
    const OsRelease release = parse_os_release(file_read("/etc/os-release").value_or(""));
    dist_version_id = release.version_id;
    dist_pretty_name = release.pretty_name;
    dist_name = release.name;
    dist_id = release.id;
    for (const auto& [key, value] : release.found) log_debug("Found " + key + ": " + value);

    if (!distribution_supported(release, supported_versions)) {
        log_header(not_supported_text(dist_pretty_name, supported_versions));
        exit_process(1);
    }
    log_msg("Dist: " + dist_pretty_name);
    log_debug("check_distribution(): exit");
}

void AppConsole::check_cpu_level() {
    // Without /proc/cpuinfo the level stays at the baseline that every x86-64 CPU has.
    const std::string cpuinfo = file_read("/proc/cpuinfo").value_or("");
    cpu_flags = cpuinfo_flags(cpuinfo);
    log_debug("flags: " + cpu_flags);
    cpu_level = x86_64_level(cpu_flag_set(cpu_flags));
    log_debug("CPU supports: x86-64-v" + std::to_string(cpu_level));
}
