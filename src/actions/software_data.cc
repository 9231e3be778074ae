#include "actions/software_data.h"

#include <algorithm>

#include "core/dialogs_data.h"
#include "core/packages_data.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

struct ExtraAppsRow {
    std::string_view tag;
    std::string_view item_text;
    std::string_view apt;
    std::string_view deb_get;
    /// The group the user joins, or "".
    std::string_view group;
};

constexpr ExtraAppsRow extra_apps_rows[] = {
    {"build", "build-essential dkms git git-extras   ",
     " build-essential dkms git git-extras python3-pip pkgconf autotools-dev dh-make cmake "
     "fakeroot",
     "", ""},
    {"vala", "valac geany meld",
     " valac geany geany-plugins meld libgtk2.0-dev libgtk-3-dev libgee-0.8-dev libsoup2.4-dev "
     "libjson-glib-dev libxml2-dev libvte-2.91-dev libsecret-1-dev libayatana-appindicator3-dev "
     "aptly",
     "", ""},
    {"gimp", "gimp inkscape shutter imagemagick", " gimp inkscape shutter imagemagick", "", ""},
    {"steam", "steam lutris heroic", " steam", " lutris heroic", ""},
    {"spotify", "spotify youtube-music", "", " spotify-client youtube-music", ""},
    {"ffmpeg", "smplayer mpv ffmpeg sox", " smplayer mpv ffmpeg sox", "", ""},
    {"mailspring", "mailspring", "", " mailspring", ""},
    {"rustdesk", "rustdesk remmina", " remmina", " rustdesk", ""},
    {"vmm", "virt-manager", " virt-manager", "", "libvirt"},
    {"vbox", "virtualbox", " virtualbox-qt virtualbox-ext-pack virtualbox-guest-additions-iso", "",
     "vboxusers"},
    {"vscode", "vscode", "", " code", ""},
    {"meet", "webex zoom", "", " webex zoom", ""},
};

const ExtraAppsRow* find_row(std::string_view tag) {
    for (const auto& row : extra_apps_rows) {
        if (row.tag == tag) return &row;
    }
    return nullptr;
}

bool is_plain_word_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

}  // namespace

std::vector<std::string> extra_apps_checklist_items() {
    std::vector<std::string> items;
    for (const auto& row : extra_apps_rows) items.push_back(checklist_item(row.tag, row.item_text));
    return items;
}

Dialog extra_apps_dialog() {
    return {"Install Software", std::string(cancel_button_exit),
            checklist_kind("Choose items to install:"), extra_apps_checklist_items()};
}

std::string clean_checklist_answer(std::string_view answer) {
    return string_replace(answer, "\"", "");
}

std::string shell_word(std::string_view word) {
    bool plain = !word.empty();
    for (char c : word) plain = plain && is_plain_word_char(c);
    return plain ? std::string(word) : shell_quote(word);
}

ExtraAppsLists extra_apps_lists(std::string_view selected_install, std::string_view user_name) {
    ExtraAppsLists lists;
    for (const auto& piece : string_split(selected_install, " ")) {
        const ExtraAppsRow* row = find_row(string_strip(piece));
        if (row == nullptr) continue;
        lists.apt_packages += row->apt;
        lists.deb_get_packages += row->deb_get;
        if (!row->group.empty()) {
            lists.group_commands +=
                "sudo usermod -aG " + std::string(row->group) + " " + shell_word(user_name) + " ; ";
        }
    }
    return lists;
}

bool i386_architecture_needed(std::string_view apt_packages,
                              std::string_view foreign_architectures) {
    const auto names = package_names(apt_packages);
    if (std::find(names.begin(), names.end(), "steam-installer") == names.end()) return false;
    const auto architectures = package_names(string_replace(foreign_architectures, "\n", " "));
    return std::find(architectures.begin(), architectures.end(), "i386") == architectures.end();
}
