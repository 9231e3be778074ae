// Profiles: the wizard's answers and the steps to leave out, given as a key file with
// --profile, and the profile of the last completed wizard run.
#pragma once

#include <string>
#include <string_view>

struct Options;

/// Fills what the command line left unset in `options` from the profile `*options.profile`:
/// the answers and the steps to skip (the command line wins). Every key and value is checked
/// like its option. False on a usage error, with the line to print ("kelvane: FILE:LINE: ...")
/// in `error`.
bool apply_profile(Options& options, std::string& error);
/// The same with the profile's text `text` (named by `*options.profile` in errors).
bool apply_profile_text(Options& options, std::string_view text, std::string& error);
