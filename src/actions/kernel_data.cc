#include "actions/kernel_data.h"

#include "core/dialogs_data.h"
#include "core/release_data.h"
#include "core/sources_data.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

struct KernelRow {
    std::string_view package;
    std::string_view label;
    std::string_view description;
    /// The x86-64 level the build needs.
    int level;
    /// The names the command line takes for it, blank-separated.
    std::string_view names;
};

// XanMod builds every branch for levels 2 and 3 only; level 1 builds are gone.
constexpr KernelRow kernel_rows[] = {
    {"linux-xanmod-x64v2", "x86-64v2", "Generic, for CPUs circa 2009", 2, "x64v2"},
    {"linux-xanmod-x64v3", "x86-64v3", "Generic, for CPUs circa 2015", 3, "x64v3"},
    {"linux-xanmod-lts-x64v2", "lts-x86-64v2", "Long-term support, for CPUs circa 2009", 2,
     "lts-x64v2"},
    {"linux-xanmod-lts-x64v3", "lts-x86-64v3", "Long-term support, for CPUs circa 2015", 3,
     "lts-x64v3 lts"},
    {"linux-xanmod-rt-x64v2", "rt-x86-64v2", "Realtime, for CPUs circa 2009", 2, "rt-x64v2"},
    {"linux-xanmod-rt-x64v3", "rt-x86-64v3", "Realtime, for CPUs circa 2015", 3, "rt-x64v3"},
    {"linux-xanmod-edge-x64v2", "edge-x86-64v2", "Newest features, for CPUs circa 2009", 2,
     "edge-x64v2"},
    {"linux-xanmod-edge-x64v3", "edge-x86-64v3", "Newest features, for CPUs circa 2015", 3,
     "edge-x64v3"},
};

// The tags are hidden, so the labels are padded to put the descriptions in one column.
constexpr size_t label_column = 17;

std::string padded(std::string_view label) {
    std::string text(label);
    if (text.size() < label_column) text.append(label_column - text.size(), ' ');
    return text;
}

bool runs_on(const KernelRow& row, int cpu_level) {
    return cpu_level == 0 || row.level <= cpu_level;
}

}  // namespace

std::vector<std::string> xanmod_menu_items(int cpu_level) {
    std::vector<std::string> items;
    for (const auto& row : kernel_rows) {
        if (runs_on(row, cpu_level)) {
            items.push_back(
                menu_item(row.package, padded(row.label) + std::string(row.description)));
        }
    }
    items.push_back(menu_item("back", padded("back") + "-- Go back --"));
    return items;
}

Dialog xanmod_menu_dialog(int cpu_level) {
    return {"XanMod Kernel", "", menu_kind("Choose kernel type:"), xanmod_menu_items(cpu_level)};
}

std::optional<std::string> xanmod_refusal(std::string_view kernel, int cpu_level) {
    for (const auto& row : kernel_rows) {
        if (row.package == kernel && !runs_on(row, cpu_level)) {
            return "This CPU doesn't support x86-64 Level " + std::to_string(row.level) +
                   " features.\nSelect another kernel type.";
        }
    }
    return std::nullopt;
}

std::optional<std::string> xanmod_unavailable(const ReleaseProfile& release, int cpu_level) {
    if (!release.xanmod_published) {
        return "XanMod no longer publishes kernels for Ubuntu " + std::string(release.version) +
               " (" + std::string(release.codename) + ").";
    }
    for (const auto& row : kernel_rows) {
        if (runs_on(row, cpu_level)) return std::nullopt;
    }
    return "XanMod publishes no kernel for this CPU: its builds need x86-64 Level 2 features.";
}

std::vector<std::string> xanmod_kernel_names() {
    std::vector<std::string> names;
    for (const auto& row : kernel_rows) {
        for (auto& name : string_split(row.names, " ")) names.push_back(std::move(name));
    }
    return names;
}

std::optional<std::string> xanmod_package(std::string_view name) {
    for (const auto& row : kernel_rows) {
        for (const auto& known : string_split(row.names, " ")) {
            if (known == name) return std::string(row.package);
        }
    }
    return std::nullopt;
}

SignedSource xanmod_source(const ReleaseProfile& release) {
    return {xanmod_key_url,        xanmod_keyring_path, xanmod_source_path,
            xanmod_repository_url, release.codename,    "main"};
}

std::string xanmod_source_test_command() { return source_added_test_command("xanmod-*"); }

std::string xanmod_source_remove_command() {
    return remove_files_command(
        {std::string(xanmod_source_path), std::string(xanmod_keyring_path)});
}

std::string xanmod_retired_source_remove_command() {
    return remove_files_command(
        {std::string(xanmod_retired_source_path), std::string(xanmod_retired_keyring_path)});
}
