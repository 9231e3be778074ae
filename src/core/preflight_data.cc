#include "core/preflight_data.h"

#include <algorithm>
#include <cstdio>

#include "core/sources_data.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

bool is_download_url(std::string_view url) {
    return url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0;
}

void add_url(std::vector<std::string>& urls, std::string_view url) {
    if (!is_download_url(url)) return;
    const std::string host = url_host(url);
    const bool known = std::any_of(urls.begin(), urls.end(),
                                   [&](const std::string& seen) { return url_host(seen) == host; });
    if (!known) urls.emplace_back(url);
}

}  // namespace

std::vector<std::string> archive_urls(std::string_view sources_list, std::string_view deb822) {
    std::vector<std::string> urls;
    for (const auto text : {sources_list, deb822}) {
        for (const auto& uri : source_file_uris(text)) add_url(urls, uri);
    }
    return urls;
}

std::string url_host(std::string_view url) {
    const size_t scheme = url.find("://");
    if (scheme == std::string_view::npos) return "";
    const std::string_view rest = url.substr(scheme + 3);
    return std::string(rest.substr(0, rest.find_first_of("/:?")));
}

std::vector<HostCheck> one_per_host(const std::vector<HostCheck>& checks) {
    std::vector<HostCheck> kept;
    for (const auto& check : checks) {
        const bool known = std::any_of(kept.begin(), kept.end(), [&](const HostCheck& seen) {
            return url_host(seen.url) == url_host(check.url);
        });
        if (!known) kept.push_back(check);
    }
    return kept;
}

std::string host_check_command(const std::vector<HostCheck>& checks) {
    const std::string seconds = std::to_string(host_check_seconds);
    const std::string guard = std::to_string(host_check_seconds + 5);
    std::string script;
    for (const auto& check : checks) {
        script += "(timeout " + guard + " curl -fsSI --max-time " + seconds + " " +
                  shell_quote(check.url) + " >/dev/null 2>&1 || echo " +
                  shell_quote(url_host(check.url)) + ") & ";
    }
    return "sh -c " + shell_quote(script + "wait");
}

std::vector<HostCheck> failed_hosts(const std::vector<HostCheck>& checks, std::string_view output) {
    std::vector<HostCheck> failed;
    const auto printed = string_split(output, "\n");
    for (const auto& check : checks) {
        if (std::find(printed.begin(), printed.end(), url_host(check.url)) != printed.end()) {
            failed.push_back(check);
        }
    }
    return failed;
}

std::string free_space_command(std::string_view path) {
    return "df -B1 --output=avail " + shell_quote(path);
}

std::optional<std::uint64_t> parse_free_space(std::string_view df_output) {
    // A heading line ("Avail"), then the number.
    for (const auto& line : string_split(df_output, "\n")) {
        const std::string number = string_strip(line);
        if (number.empty() || number.size() > 19 ||
            number.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        return std::stoull(number);
    }
    return std::nullopt;
}

std::string size_text(std::uint64_t bytes) {
    char text[32];
    if (bytes >= (1ull << 30)) {
        std::snprintf(text, sizeof text, "%.1f GiB", static_cast<double>(bytes) / (1ull << 30));
    } else {
        std::snprintf(text, sizeof text, "%llu MiB", static_cast<unsigned long long>(bytes >> 20));
    }
    return text;
}
