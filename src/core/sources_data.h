// Package sources that a run adds, and what "apt update" says about the ones it cannot fetch
// (pure). A vendor that stops publishing for a release would otherwise make every later
// "apt update" fail, during the run and for the user afterwards.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// A package source this run added: the files that go again when apt cannot fetch it.
struct AddedSource {
    /// What it is for, as the user knows it ("the LibreOffice PPA").
    std::string purpose;
    /// Its file in /etc/apt/sources.list.d.
    std::string source_path;
    /// Its own key and pin files, where it has them.
    std::vector<std::string> other_paths;
    /// The repository addresses its file names (source_file_uris).
    std::vector<std::string> uris;
};

/// Why apt could not fetch a repository's index.
enum class FetchFailure {
    no_release_file,
    not_signed,
    /// Signed with a key apt was not given (NO_PUBKEY).
    unknown_key,
    /// An index file the repository lists answers 404.
    not_found,
    /// The host did not resolve, refused, timed out: the machine's network, not the repository.
    network,
};

/// One repository that "apt update" could not fetch.
struct FetchError {
    /// The address apt names: the repository's URI or a file below it.
    std::string url;
    FetchFailure failure;
};

/// What one "apt update" said.
struct AptUpdateReport {
    std::vector<FetchError> errors;
    /// apt fetched or found unchanged at least one repository ("Hit:" or "Get:"): the network
    /// works, so a repository that failed has a fault of its own.
    bool reached_a_repository = false;
};

/// The repository addresses of a source file in either form: the URI of each "deb" line and
/// each address of a "URIs:" field, in order, each once.
std::vector<std::string> source_file_uris(std::string_view text);
/// Reads the output of "apt update" in the C locale (apt 2's "E: "/"W: " prefixes or apt 3's
/// "Error: "/"Warning: ", lines ended by "\n" or a progress "\r").
AptUpdateReport parse_apt_update(std::string_view output);
/// The first error of `errors` at one of `uris` (the repository or a file below it) that is
/// the repository's own fault; nullopt when there is none, network failures included.
std::optional<FetchFailure> source_failure(const std::vector<std::string>& uris,
                                           const std::vector<FetchError>& errors);
/// The error line (without "E: ") that says `source` was taken out again, naming it, what it
/// was for and why.
std::string source_taken_out_line(const AddedSource& source, FetchFailure failure);
/// "sudo rm -f '<path>' ..." for every path.
std::string remove_files_command(const std::vector<std::string>& paths);
