// The state of one run: who runs it, on what, the answers given, the installed packages and
// what it knows of the GNOME settings.
#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/release_data.h"
#include "core/sources_data.h"
#include "lib/schemas.h"

/// The installed-package list of the machine, as last read from dpkg-query.
class Packages {
   public:
    /// Exact lookup.
    bool installed(std::string_view package_name) const;
    /// True until a list has been read.
    bool empty() const { return names_.empty(); }
    size_t size() const { return names_.size(); }
    /// The list as dpkg-query last gave it.
    const std::vector<std::string>& names() const { return names_; }
    /// Replaces the list and its lookup set; what a dry run pretended stays applied.
    void replace(std::vector<std::string> names);
    /// A dry run pretends that `names` were installed (or removed), so that later steps
    /// decide as they would after the real command.
    void pretend(const std::vector<std::string>& names, bool installed);

   private:
    std::vector<std::string> names_;
    std::unordered_set<std::string> lookup_;
    std::unordered_set<std::string> pretended_installed_;
    std::unordered_set<std::string> pretended_removed_;
};

/// What a run knows of the GNOME settings (see core/settings.h).
struct SettingsState {
    /// The installed schemas, opened at the first check.
    std::optional<Velkor::SchemaSource> schemas;
    /// What they were opened for: the installed packages, then each copied extension with the
    /// files of its schemas folder. Another list opens them again.
    std::vector<std::string> schemas_opened_for;
    /// The values a dry run would have loaded, by key: later previews start from them.
    std::map<std::string, std::string> pretended;
    /// Notes already written to the log.
    std::set<std::string> noted;
};

/// The state of a run. Operations are free functions in the per-topic headers: they take an
/// `AppConsole&` when they change it and a `const AppConsole&` when they only read it.
struct AppConsole {
    std::string user_name;
    std::string user_home;
    /// Its presence means the wizard has finished once: later runs open the main menu.
    std::string done_marker_path;
    /// Where the logs, the backups and the record of the last run go.
    std::string state_dir;
    /// The supported release the program runs on (set by the start-up checks).
    ReleaseProfile release;
    /// The x86-64 micro-architecture level of the CPU (1 to 4).
    int cpu_level = 0;

    // The answers of the wizard's questions.
    std::string web_browser{"chrome"};
    bool chrome_eula_accepted = false;
    std::string layout{"windows"};
    std::string theme{"light"};

    /// Answers given on the command line: a question with one is not asked.
    struct Preset {
        std::optional<std::string> web_browser;
        bool chrome_eula_accepted = false;
        std::optional<std::string> layout;
        std::optional<std::string> theme;
        /// No welcome box (--yes); Chrome without its licence option then falls back to
        /// Firefox instead of asking.
        bool skip_welcome = false;
        /// The tags of the wizard steps to leave out.
        std::vector<std::string> skip = {};
        /// True when the wizard step tagged `tag` is left out.
        bool skips(std::string_view tag) const {
            return std::find(skip.begin(), skip.end(), tag) != skip.end();
        }
    } preset;

    /// False with a reboot option: the wizard ends without restarting the machine.
    bool reboot = true;
    /// False with --skip-network-check: the download hosts are not asked before the first change.
    bool network_check = true;
    Packages packages;
    /// The run's view of the installed schemas and of what a dry run would have set: a cache of
    /// what the machine says, which the read-only questions about settings fill as they go.
    mutable SettingsState settings;
    /// The package sources this run added and still uses.
    std::vector<AddedSource> added_sources;
};
