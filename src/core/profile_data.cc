#include "core/profile_data.h"

#include "lib/files.h"

using namespace Velkor;

std::string profile_text(const Profile& profile, std::string_view when) {
    return "# The answers and the skipped steps of the wizard run that ended " + std::string(when) +
           ".\n"
           "# Another machine gets the same pass with: kelvane --profile=FILE --yes\n"
           "[answers]\n"
           "browser=" +
           profile.browser +
           "\n"
           "accept-chrome-licence=" +
           (profile.accept_chrome_licence ? "true" : "false") +
           "\n"
           "layout=" +
           profile.layout +
           "\n"
           "theme=" +
           profile.theme +
           "\n"
           "\n"
           "[steps]\n"
           "skip=" +
           string_join(profile.skip, ";") + "\n";
}

std::string profile_path(std::string_view state_dir) {
    return path_combine(state_dir, "profile.ini");
}
