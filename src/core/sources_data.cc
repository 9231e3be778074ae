#include "core/sources_data.h"

#include <algorithm>

#include "lib/files.h"

using namespace Velkor;

namespace {

std::vector<std::string> words_of(std::string_view line) {
    std::vector<std::string> words;
    for (auto& word : string_split(string_replace(line, "\t", " "), " ")) {
        if (!word.empty()) words.push_back(std::move(word));
    }
    return words;
}

// The word that follows `marker` in `line`; nullopt when the marker is not there.
std::optional<std::string> word_after(std::string_view line, std::string_view marker) {
    const size_t at = line.find(marker);
    if (at == std::string_view::npos) return std::nullopt;
    const auto words = words_of(line.substr(at + marker.size()));
    if (words.empty()) return std::nullopt;
    return words.front();
}

std::optional<FetchError> fetch_error_of(std::string_view line) {
    // "The repository 'URI SUITE Release' does not have a Release file." and "... is not signed."
    if (const auto repository = word_after(line, "The repository '")) {
        if (string_contains(line, "does not have a Release file") ||
            string_contains(line, "no longer has a Release file")) {
            return FetchError{*repository, FetchFailure::no_release_file};
        }
        if (string_contains(line, "is not signed")) {
            return FetchError{*repository, FetchFailure::not_signed};
        }
    }
    // "GPG error: URI SUITE InRelease: The following signatures couldn't be verified because
    // the public key is not available: NO_PUBKEY 0123ABCD"
    if (const auto url = word_after(line, "GPG error: ");
        url && string_contains(line, "NO_PUBKEY")) {
        return FetchError{*url, FetchFailure::unknown_key};
    }
    // "Failed to fetch URL  404  Not Found [IP: ...]", or a reason of the network.
    if (const auto url = word_after(line, "Failed to fetch ")) {
        const auto reason = words_of(line.substr(line.find(*url) + url->size()));
        const bool not_found = !reason.empty() && reason.front() == "404";
        return FetchError{*url, not_found ? FetchFailure::not_found : FetchFailure::network};
    }
    return std::nullopt;
}

std::string without_trailing_slashes(std::string_view text) {
    while (!text.empty() && text.back() == '/') text.remove_suffix(1);
    return std::string(text);
}

bool is_below(std::string_view url, std::string_view uri) {
    const std::string base = without_trailing_slashes(uri);
    const std::string target = without_trailing_slashes(url);
    return !base.empty() && (target == base || target.starts_with(base + "/"));
}

std::string failure_text(FetchFailure failure) {
    switch (failure) {
        case FetchFailure::no_release_file:
            return "its repository does not have a Release file";
        case FetchFailure::not_signed:
            return "its repository is not signed";
        case FetchFailure::unknown_key:
            return "its repository is signed with a key apt was not given (NO_PUBKEY)";
        case FetchFailure::not_found:
            return "an index of its repository is not found (404)";
        case FetchFailure::network:
            break;
    }
    return "its repository cannot be reached";
}

}  // namespace

std::vector<std::string> source_file_uris(std::string_view text) {
    std::vector<std::string> uris;
    const auto add = [&uris](const std::string& uri) {
        if (std::find(uris.begin(), uris.end(), uri) == uris.end()) uris.push_back(uri);
    };
    for (const auto& line : string_split(text, "\n")) {
        const auto words = words_of(line);
        if (words.empty()) continue;
        if (words[0] == "deb") {
            // "deb [signed-by=… arch=…] URI suite components": the URI follows the options.
            const auto uri = std::find_if(words.begin() + 1, words.end(), [](const auto& word) {
                return string_contains(word, "://");
            });
            if (uri != words.end()) add(*uri);
        } else if (words[0] == "URIs:") {
            std::for_each(words.begin() + 1, words.end(), add);
        }
    }
    return uris;
}

AptUpdateReport parse_apt_update(std::string_view output) {
    AptUpdateReport report;
    for (const auto& raw : string_split(string_replace(output, "\r", "\n"), "\n")) {
        const std::string line = string_strip(raw);
        if (line.starts_with("Hit:") || line.starts_with("Get:"))
            report.reached_a_repository = true;
        if (auto error = fetch_error_of(line)) report.errors.push_back(std::move(*error));
    }
    return report;
}

std::optional<FetchFailure> source_failure(const std::vector<std::string>& uris,
                                           const std::vector<FetchError>& errors) {
    for (const auto& error : errors) {
        if (error.failure == FetchFailure::network) continue;
        for (const auto& uri : uris) {
            if (is_below(error.url, uri)) return error.failure;
        }
    }
    return std::nullopt;
}

std::string source_taken_out_line(const AddedSource& source, FetchFailure failure) {
    return "apt could not use " + source.purpose + " (" + failure_text(failure) +
           "); the run took its source out again: " + source.source_path;
}

std::string remove_files_command(const std::vector<std::string>& paths) {
    std::string cmd = "sudo rm -f";
    for (const auto& path : paths) cmd += " " + shell_quote(path);
    return cmd;
}
