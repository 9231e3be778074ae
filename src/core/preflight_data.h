// What the checks before the first change look at: the hosts a run downloads from and the free
// space it needs (pure).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// A host that a run downloads from, and what it serves, for the message when it does not answer.
struct HostCheck {
    std::string role;
    /// What is asked for (a HEAD request): an address that exists on that host.
    std::string url;
};

/// The deb822 list of the release's own package sources (22.04 keeps them in sources.list).
inline constexpr std::string_view deb822_sources_path = "/etc/apt/sources.list.d/ubuntu.sources";
/// Each request is bounded by curl itself and, should curl hang anyway, by timeout.
inline constexpr int host_check_seconds = 10;
/// The wizard needs about 5 GiB on "/", a kernel 300 MiB on "/boot".
inline constexpr std::uint64_t wizard_free_bytes = 5ull << 30;
inline constexpr std::uint64_t kernel_free_bytes = 300ull << 20;

/// The archive addresses of the package sources: the "deb" lines of a sources.list and the
/// "URIs:" fields of a deb822 file, in order, one per host; cdrom and file sources are left out.
std::vector<std::string> archive_urls(std::string_view sources_list, std::string_view deb822);
/// "archive.ubuntu.com" for "http://archive.ubuntu.com/ubuntu/"; "" when there is no host.
std::string url_host(std::string_view url);
/// `checks` with only the first row of each host.
std::vector<HostCheck> one_per_host(const std::vector<HostCheck>& checks);
/// One shell command that asks every host at once and prints, one per line, the hosts that did
/// not answer (or answered with an HTTP error); it ends after at most about 15 s.
std::string host_check_command(const std::vector<HostCheck>& checks);
/// The rows of `checks` whose host `host_check_command` printed.
std::vector<HostCheck> failed_hosts(const std::vector<HostCheck>& checks, std::string_view output);
/// "df -B1 --output=avail '<path>'".
std::string free_space_command(std::string_view path);
/// The number of free bytes in the output of free_space_command; nullopt when there is none.
std::optional<std::uint64_t> parse_free_space(std::string_view df_output);
/// "4.9 GiB", "300 MiB".
std::string size_text(std::uint64_t bytes);
