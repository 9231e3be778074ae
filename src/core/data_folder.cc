#include "core/data_folder.h"

#include "core/exit.h"
#include "core/release_data.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

// Always in the program's own data, so its presence tells a data folder from any other.
constexpr std::string_view data_marker = "nala/volian-nala.sources";
constexpr std::string_view fetch_hint =
    "run script/fetch-data, or, in a release archive or package, the release is incomplete";
constexpr std::string_view ours_hint = "it belongs to the program's own data: reinstall it";

bool readable_file(const std::string& path) {
    if (!file_exists(path)) return false;
    const auto text = file_read(path);
    return text && !text->empty();
}

std::string problem(std::string_view item, std::string_view what, std::string_view hint) {
    return "Missing data: " + std::string(item) + " (" + std::string(what) + "); " +
           std::string(hint);
}

}  // namespace

std::optional<std::string> find_data_folder(const std::vector<std::string>& candidates) {
    for (const auto& folder : candidates) {
        if (!folder.empty() && file_exists(path_combine(folder, data_marker))) return folder;
    }
    return std::nullopt;
}

std::vector<std::string> missing_data(const ReleaseProfile& release, DataNeed need) {
    std::vector<std::string> lines;
    const std::string extensions(release.extensions_folder);
    const auto uuids = dir_list_names(extensions, false);
    if (uuids.empty()) lines.push_back(problem(extensions + "/", "no extensions", fetch_hint));
    for (const auto& uuid : uuids) {
        const std::string metadata = extensions + "/" + uuid + "/metadata.json";
        if (!file_exists(metadata)) lines.push_back(problem(metadata, "missing", fetch_hint));
    }
    if (need == DataNeed::extensions) return lines;

    // Only a release whose archive lacks the WebP loader installs the shipped one.
    size_t loaders = 0;
    for (const auto& name : dir_list_names("debs", false)) {
        if (name.starts_with("webp-pixbuf-loader_") && name.ends_with(".deb")) ++loaders;
    }
    if (release.webp_loader == WebpLoader::shipped_deb && loaders != 1) {
        lines.push_back(problem("debs/webp-pixbuf-loader_*.deb",
                                loaders == 0 ? "missing" : "more than one", fetch_hint));
    }
    // From 24.04 on Nala comes from the release's own archive and its key is not used.
    if (!release.nala_in_archive && !readable_file("nala/volian-archive-keyring.gpg")) {
        lines.push_back(problem("nala/volian-archive-keyring.gpg", "missing or empty", fetch_hint));
    }
    for (std::string_view ours :
         {"nala/volian-nala.pref", "nala/volian-nala.sources",
          "firefox/mozillateam-firefox-next.pref", "firefox/packages.mozilla.org.pref",
          "mirovel-T_Qe4QlMIvQ-unsplash.jpg"}) {
        if (!readable_file(std::string(ours))) {
            lines.push_back(problem(ours, "missing or unreadable", ours_hint));
        }
    }
    return lines;
}

void check_data(const ReleaseProfile& release, DataNeed need) {
    const auto lines = missing_data(release, need);
    for (const auto& line : lines) log_error(line);
    if (!lines.empty()) exit_process(1);
}
