// Package sources the run adds (a PPA, a repository with a key of its own, files from the data
// folder) and the refresh of the package lists, which takes out again each of them that apt
// cannot fetch: one dead vendor must not break apt for the rest of the pass and after it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct AppConsole;
struct SignedSource;

/// "Refresh package information" and apt update, its output shown and logged. A source this
/// run added whose repository apt cannot fetch (no Release file, not signed, a key apt was not
/// given, an index not found) is taken out again with its key and pin, with one "E: " line
/// each, and apt update runs once more. While no repository answers at all (no network),
/// nothing is taken out. A failure that remains is an "E: " line, not a stop.
void apt_update(AppConsole& app);
/// Counts `files` (the source file first, then its own key and pin), just written by this run,
/// as a source added for `purpose`, then refreshes the package lists. False when apt could not
/// fetch it and it was taken out again.
bool use_added_source(AppConsole& app, std::string_view purpose,
                      const std::vector<std::string>& files);
/// Adds `ppa` for `purpose` with add-apt-repository (a failure ends the run) and refreshes the
/// package lists; the files it wrote and `pin_path` (a pin installed before it, or "") are the
/// source's. False when the PPA was taken out again.
bool add_ppa(AppConsole& app, std::string_view ppa, std::string_view purpose,
             std::string_view pin_path = "");
/// Installs the key and the source of `source` (both backed up first, gpg installed when
/// missing) for `purpose`, with `pin_path` (installed before it, or "") as its pin, then
/// refreshes the package lists. False, with an "E: " line, when a step failed or the source
/// was taken out again.
bool add_signed_source(AppConsole& app, const SignedSource& source, std::string_view purpose,
                       std::string_view pin_path = "");
