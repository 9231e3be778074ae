#include "actions/kernel_data.h"

#include "core/dialogs_data.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

struct KernelRow {
    std::string_view package;
    std::string_view label;
    std::string_view description;
    /// Lowest CPU level that earns the mark; -1: the mark is part of the text, 99: never.
    int marked_from_level;
};

constexpr int always_marked = -1;
constexpr int never_marked = 99;

constexpr KernelRow kernel_rows[] = {
    {"linux-xanmod", "x86-64v1", "Generic, for all CPUs (supported)", always_marked},
    {"linux-xanmod-x64v2", "x86-64v2", "Generic, for CPUs circa 2009", 2},
    {"linux-xanmod-x64v3", "x86-64v3", "Generic, for CPUs circa 2015", 3},
    {"linux-xanmod-rt", "rt-x86-64v1", "Realtime, for all CPUs", 1},
    {"linux-xanmod-rt-x64v2", "rt-x86-64v2", "Realtime, for CPUs circa 2009", 2},
    {"linux-xanmod-rt-x64v3", "rt-x86-64v3", "Realtime, for CPUs circa 2015", 3},
    {"linux-xanmod-lts", "lts", "Long-term support (LTS) kernel (supported)", always_marked},
    {"back", "back", "-- Go back --", never_marked},
};

// The tags are hidden, so the labels are padded to put the descriptions in one column.
constexpr size_t label_column = 17;

std::string padded(std::string_view label) {
    std::string text(label);
    if (text.size() < label_column) text.append(label_column - text.size(), ' ');
    return text;
}

std::string refusal_text(int level) {
    return "This CPU doesn't support x86-64 Level " + std::to_string(level) +
           " features.\nSelect another kernel type.";
}

}  // namespace

std::vector<std::string> xanmod_menu_items(int cpu_level) {
    std::vector<std::string> items;
    for (const auto& row : kernel_rows) {
        std::string text = padded(row.label) + std::string(row.description);
        if (row.marked_from_level != always_marked && cpu_level >= row.marked_from_level) {
            text += " (supported)";
        }
        items.push_back(menu_item(row.package, text));
    }
    return items;
}

Dialog xanmod_menu_dialog(int cpu_level) {
    return {"XanMod Kernel", "", menu_kind("Choose kernel type:"), xanmod_menu_items(cpu_level)};
}

std::optional<std::string> xanmod_refusal(std::string_view kernel, int cpu_level) {
    if (cpu_level == 0) return std::nullopt;
    const bool needs_v2 = kernel == "linux-xanmod-x64v2" || kernel == "linux-xanmod-rt-x64v2";
    const bool needs_v3 = kernel == "linux-xanmod-x64v3" || kernel == "linux-xanmod-rt-x64v3";
    if (needs_v2 && cpu_level < 2) return refusal_text(2);
    if (needs_v3 && cpu_level < 3) return refusal_text(3);
    return std::nullopt;
}

std::string xanmod_source_test_command() {
    return "test -f " + std::string(xanmod_source_list_path);
}

std::string xanmod_source_command() {
    return "echo '" + std::string(xanmod_source_line) + "' | sudo tee " +
           std::string(xanmod_source_list_path);
}

std::string xanmod_key_command() {
    return "wget -qO - " + std::string(xanmod_key_url) + " | sudo apt-key --keyring " +
           std::string(xanmod_keyring_path) + " add -";
}

std::string xanmod_source_remove_command() {
    return "sudo rm -f " + std::string(xanmod_source_list_path);
}
