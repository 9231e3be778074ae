#include "core/sources.h"

#include <algorithm>

#include "core/app_console.h"
#include "core/backup.h"
#include "core/backup_data.h"
#include "core/package_lock.h"
#include "core/packages.h"
#include "core/packages_data.h"
#include "core/runner.h"
#include "core/sources_data.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

// Where add-apt-repository writes a PPA's source and, before 24.04, its key.
std::vector<std::string> ppa_files() {
    return dirs_list_paths({"/etc/apt/sources.list.d", "/etc/apt/trusted.gpg.d"});
}

// Takes out each source of this run that `output` says apt cannot fetch; true when it took
// out one.
bool take_out_failed_sources(AppConsole& app, std::string_view output) {
    const AptUpdateReport report = parse_apt_update(output);
    // No repository answered: the network is down, and no vendor is to blame.
    if (!report.reached_a_repository) return false;
    bool taken_out = false;
    auto& sources = app.added_sources;
    for (auto source = sources.begin(); source != sources.end();) {
        const auto failure = source_failure(source->uris, report.errors);
        std::vector<std::string> paths{source->source_path};
        paths.insert(paths.end(), source->other_paths.begin(), source->other_paths.end());
        if (!failure || run(remove_files_command(paths)) != 0) {
            if (failure) log_error("Failed to remove: " + string_join(paths, " "));
            ++source;
            continue;
        }
        backup_sources_taken_out(paths);
        log_error(source_taken_out_line(*source, *failure));
        source = sources.erase(source);
        taken_out = true;
    }
    return taken_out;
}

int refresh(ExecOutput* output) {
    wait_for_package_lock();
    // Renews the package lists only: a pass that finds everything in place changed nothing.
    const int code =
        run_command(apt_update_command(), RunMode::terminal, output, Effect::refreshes);
    run_refresh(sync_command);
    return code;
}

}  // namespace

void apt_update(AppConsole& app) {
    log_header("Refresh package information");
    ExecOutput output;
    int code = refresh(&output);
    if (take_out_failed_sources(app,
                                output.std_out.value_or("") + "\n" + output.std_err.value_or(""))) {
        code = refresh(nullptr);
    }
    if (code != 0) {
        log_error("Refreshing the package information failed (" +
                  command_status_text(apt_update_command(), code) + ")");
    }
}

bool use_added_source(AppConsole& app, std::string_view purpose,
                      const std::vector<std::string>& files) {
    if (dry_run() || files.empty()) {
        apt_update(app);
        return true;
    }
    const std::string& source_path = files.front();
    app.added_sources.push_back({std::string(purpose),
                                 source_path,
                                 {files.begin() + 1, files.end()},
                                 source_file_uris(file_read(source_path).value_or(""))});
    apt_update(app);
    return std::any_of(app.added_sources.begin(), app.added_sources.end(),
                       [&](const AddedSource& kept) { return kept.source_path == source_path; });
}

bool add_ppa(AppConsole& app, std::string_view ppa, std::string_view purpose,
             std::string_view pin_path) {
    backup_system_file(sources_list_path);
    const auto before = ppa_files();
    run_package_command(add_ppa_command(ppa));
    // The source file first (its folder sorts first), then the key, then the pin.
    std::vector<std::string> files = added_entries(before, ppa_files());
    if (!files.empty() && !pin_path.empty()) files.emplace_back(pin_path);
    return use_added_source(app, purpose, files);
}

bool add_signed_source(AppConsole& app, const SignedSource& source, std::string_view purpose,
                       std::string_view pin_path) {
    if (!cmd_exists("gpg")) apt_install(app, "gpg", true, true);
    const bool existed = file_exists(source.source_path);
    backup_system_file(source.keyring_path);
    if (run(keyring_install_command(source)) != 0) {
        log_error("Failed to install the signing key: " + std::string(source.key_url));
        return false;
    }
    backup_system_file(source.source_path);
    if (run(sudo_write_command(signed_source_text(source), source.source_path)) != 0) {
        log_error("Failed to install file: " + std::string(source.source_path));
        return false;
    }
    // A source the user had before is theirs: it is refreshed, never taken out.
    std::vector<std::string> files;
    if (!existed) files = {std::string(source.source_path), std::string(source.keyring_path)};
    if (!existed && !pin_path.empty()) files.emplace_back(pin_path);
    return use_added_source(app, purpose, files);
}
