#include "core/preflight.h"

#include "core/exit.h"
#include "core/packages_data.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

[[noreturn]] void stop_before_any_change(std::string_view how_to_go_on) {
    log_msg("Nothing was changed. " + std::string(how_to_go_on));
    exit_process(1);
}

// Either file may be missing: 24.04 has no sources.list entries, 22.04 no ubuntu.sources.
std::string read_if_present(std::string_view path) {
    return file_exists(path) ? file_read(path).value_or("") : "";
}

}  // namespace

std::vector<std::string> machine_archive_urls() {
    return archive_urls(read_if_present(sources_list_path), read_if_present(deb822_sources_path));
}

void check_download_hosts(const std::vector<HostCheck>& checks) {
    const auto hosts = one_per_host(checks);
    if (hosts.empty()) return;
    log_msg("Checking the download hosts...");
    ExecOutput output;
    run_read(host_check_command(hosts), RunMode::captured, &output);
    const auto failed = failed_hosts(hosts, output.std_out.value_or(""));
    if (failed.empty()) return;
    for (const auto& host : failed) {
        log_error("No answer from " + url_host(host.url) + " (" + host.role + ")");
    }
    stop_before_any_change(
        "Check the network connection or the proxy and run kelvane again, or add "
        "--skip-network-check to go on without this check.");
}

void check_free_space(std::string_view path, std::uint64_t needed_bytes) {
    ExecOutput output;
    const int code = run_read(free_space_command(path), RunMode::captured, &output);
    const auto free_bytes = parse_free_space(output.std_out.value_or(""));
    if (code != 0 || !free_bytes) {
        log_warning("Cannot read the free space on " + std::string(path) + "; going on");
        return;
    }
    if (*free_bytes >= needed_bytes) return;
    log_error("Not enough free space on " + std::string(path) + ": " + size_text(*free_bytes) +
              " free, " + size_text(needed_bytes) + " needed");
    stop_before_any_change("Free some space and run kelvane again.");
}
