#include "core/settings.h"

#include "core/app_console.h"
#include "core/backup.h"
#include "core/packages_data.h"
#include "core/report.h"
#include "core/runner.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

constexpr std::string_view guake_schema_id = "guake";

// A note for the run log, written once a run.
void note_once(const AppConsole& app, const std::string& text) {
    if (app.settings.noted.insert(text).second) log_file_write(text + "\n");
}

// The extensions of the release's data folder that are copied into the home.
std::vector<std::string> copied_extensions(const AppConsole& app) {
    std::vector<std::string> folders;
    const std::string home_extensions =
        path_combine(app.user_home, ".local/share/gnome-shell/extensions");
    for (const auto& name :
         dir_list_names(path_combine(current_dir(), app.release.extensions_folder), false)) {
        const std::string folder = path_combine(home_extensions, name);
        if (path_exists(folder)) folders.push_back(folder);
    }
    return folders;
}

// The folder with the compiled schemas of extension `folder`; nullopt (noted) when it has none
// or its XML does not compile.
std::optional<std::string> extension_schema_dir(const AppConsole& app, const std::string& folder) {
    const std::string schemas = path_combine(folder, "schemas");
    if (file_exists(path_combine(schemas, "gschemas.compiled"))) return schemas;
    bool has_xml = false;
    for (const auto& name : dir_list_names(schemas, false))
        has_xml |= name.ends_with(".gschema.xml");
    if (!has_xml) {
        note_once(app, "The extension " + folder +
                           " has no settings schemas: its settings load unchecked");
        return std::nullopt;
    }
    const std::string compiled = create_temp_subdir();
    if (run_read("glib-compile-schemas --strict --targetdir=" + shell_quote(compiled) + " " +
                     shell_quote(schemas),
                 RunMode::captured) != 0) {
        note_once(app, "The schemas of " + folder + " do not compile: its settings load unchecked");
        return std::nullopt;
    }
    return compiled;
}

std::map<std::string, std::string> values_of(const SettingsPayload& payload) {
    std::map<std::string, std::string> values;
    for (auto& [key, value] : settings_values(payload)) values[key] = std::move(value);
    return values;
}

// The verdicts of a check where the user and the log see them.
void report_check(AppConsole& app, const SettingsCheck& check) {
    for (const auto& key : check.left_out) {
        log_warning(left_out_line(app.release.gnome_shell, key));
        report_setting_left_out();
    }
    for (const auto& folder : check.unchecked) {
        note_once(app, "No installed schema owns " + folder + ": its settings load unchecked");
    }
}

// A dry run's view of a load: what would change, remembered for the next preview. True when
// something would.
bool show_load(AppConsole& app, const SettingsPayload& payload,
               const std::map<std::string, std::string>& current) {
    const auto lines = settings_change_lines(payload, current);
    for (const auto& line : lines) log_msg(line);
    if (!lines.empty()) count_change();
    for (auto& [key, value] : settings_values(payload)) app.settings.pretended[key] = value;
    return !lines.empty();
}

}  // namespace

SettingsCheck check_settings(const SchemaSource& schemas, const ReleaseProfile& release,
                             const SettingsPayload& payload) {
    SettingsCheck check;
    for (const auto& folder : settings_without(payload, release.settings_left_out).folders) {
        std::optional<std::string> id = schemas.schema_at(folder.path);
        if (const auto relocatable = relocatable_schema_at(folder.path);
            !id && relocatable && schemas.has_schema(*relocatable)) {
            id = std::string(*relocatable);
        }
        if (!id) check.unchecked.push_back(folder.path);
        for (const auto& key : folder.keys) {
            const SchemaFit fit = id ? schemas.fit(*id, key.name, key.value) : SchemaFit::fits;
            if (fit == SchemaFit::fits) {
                settings_set(check.kept, folder.path, key.name, key.value);
            } else {
                check.left_out.push_back(
                    {folder.path + key.name, key.value, fit, schemas.key_type(*id, key.name)});
            }
        }
    }
    return check;
}

const SchemaSource& settings_schemas(const AppConsole& app) {
    SettingsState& state = app.settings;
    const auto extensions = copied_extensions(app);
    std::vector<std::string> opened_for = app.packages.names();
    for (const auto& folder : extensions) {
        opened_for.push_back(folder);
        for (auto& name : dir_list_names(path_combine(folder, "schemas"), false))
            opened_for.push_back(std::move(name));
    }
    if (state.schemas && opened_for == state.schemas_opened_for) return *state.schemas;
    std::vector<std::string> dirs = machine_schema_dirs();
    for (const auto& folder : extensions) {
        if (auto dir = extension_schema_dir(app, folder)) dirs.push_back(std::move(*dir));
    }
    std::vector<std::string> problems;
    state.schemas.emplace(dirs, problems);
    for (const auto& problem : problems) {
        note_once(
            app, "Settings schemas cannot be read: " + problem + "; their settings load unchecked");
    }
    state.schemas_opened_for = std::move(opened_for);
    return *state.schemas;
}

std::map<std::string, std::string> dconf_read_values(const AppConsole& app,
                                                     const SettingsPayload& payload) {
    // One dump for the lot, logged as one line: a payload sets up to a few dozen keys, and a
    // process per key made the settings steps slow. A dump has a payload's own format.
    ExecOutput output;
    output.log_summary = [](const std::string& dump) {
        return "(" + std::to_string(settings_values(parse_settings_payload(dump)).size()) +
               " settings)";
    };
    run_read("dconf dump /", RunMode::captured, &output);
    const auto machine = values_of(parse_settings_payload(output.std_out.value_or("")));
    std::map<std::string, std::string> current;
    for (const auto& [key, value] : settings_values(payload)) {
        if (const auto pretended = app.settings.pretended.find(key);
            pretended != app.settings.pretended.end()) {
            current[key] = pretended->second;
        } else if (const auto found = machine.find(key); found != machine.end()) {
            current[key] = found->second;
        }
    }
    return current;
}

bool settings_in_place(const AppConsole& app, const SettingsPayload& payload) {
    const SettingsCheck check = check_settings(settings_schemas(app), app.release, payload);
    return settings_all_set(check.kept, dconf_read_values(app, check.kept));
}

bool dconf_load(AppConsole& app, const SettingsPayload& payload) {
    const SettingsCheck check = check_settings(settings_schemas(app), app.release, payload);
    report_check(app, check);
    const SettingsPayload& kept = check.kept;
    if (kept.folders.empty()) return false;
    const auto current = dconf_read_values(app, kept);
    if (dry_run()) return show_load(app, kept, current);
    const std::string first = settings_first_folder(kept);
    if (settings_all_set(kept, current)) {
        log_file_write("The settings of " + first + " are in place: not loaded again\n");
        return false;
    }
    backup_dconf_keys(kept, current);
    const std::string payload_path = get_temp_file_path(true);
    file_write(payload_path, settings_payload_text(kept));
    const std::string cmd = dconf_load_command(payload_path);
    if (const int code = run(cmd); code != 0) {
        log_error("Failed to load the settings of " + first +
                  (report_step_name().empty() ? "" : " in step '" + report_step_name() + "'"));
        stop_run(cmd, code);
    }
    return true;
}

std::string guake_settings_folder(const AppConsole& app) {
    return settings_schemas(app)
        .schema_path(guake_schema_id)
        .value_or(std::string(app.release.guake_settings_folder));
}
