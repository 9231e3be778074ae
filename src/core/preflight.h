// The checks after the last answer and before the first change: a host that is down or a full
// disk stops the run while the machine is still as it was, not halfway through.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/preflight_data.h"

/// The archive addresses of the machine's package sources (sources.list and ubuntu.sources).
std::vector<std::string> machine_archive_urls();
/// Asks every host of `checks` at once (also in a dry run). When one does not answer: one
/// "E: " line per host, and the run stops with status 1.
void check_download_hosts(const std::vector<HostCheck>& checks);
/// Stops the run with status 1, naming both numbers, when `path` has less than `needed_bytes`
/// free. When df cannot tell, one "W: " line and the run goes on.
void check_free_space(std::string_view path, std::uint64_t needed_bytes);
