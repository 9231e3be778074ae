#include "app/options.h"

#include "build_config.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

// Kept under 80 columns: it is read in the same small terminal the wizard runs in.
constexpr const char* usage_text =
    "Usage: kelvane [--noreboot | --no-reboot | --skip-reboot]\n"
    "       kelvane --help | --version\n"
    "\n"
    "Post-install wizard for a fresh Ubuntu 22.04 or 22.10 desktop with GNOME Shell\n"
    "on x86-64. The first run asks four questions (web browser, Chrome licence,\n"
    "desktop layout, theme), then installs and configures the system unattended and\n"
    "restarts the machine. Later runs open a menu instead: run the wizard again,\n"
    "change the theme or the desktop layout, install rEFInd, a XanMod kernel or\n"
    "extra software.\n"
    "\n"
    "Start it from a terminal in your desktop session, as your own user: not as\n"
    "root and not with sudo. It asks for your password when a step needs\n"
    "administrator rights. Start it inside its data folder, the one that holds\n"
    "extensions_22.04, extensions_22.10, debs and nala (in the release archive,\n"
    "the folder that holds kelvane itself):\n"
    "    cd kelvane-" KELVANE_VERSION
    "-x86_64 && ./kelvane\n"
    "\n"
    "Options:\n"
    "  --noreboot, --no-reboot, --skip-reboot  (in any letter case)\n"
    "                 do not restart the machine at the end of the wizard;\n"
    "                 restart it yourself afterwards\n"
    "  --help         show this text and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "Web site: " KELVANE_WEBSITE_URL "\n";

}  // namespace

bool is_noreboot_option(const std::string& arg) {
    const std::string lower = string_lower(arg);
    return lower == "--noreboot" || lower == "--no-reboot" || lower == "--skip-reboot";
}

std::optional<std::string> early_answer(const std::vector<std::string>& args) {
    // args[0] is the program path: a program renamed "--help" must still run.
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--version") return std::string("kelvane ") + KELVANE_VERSION + "\n";
        if (args[i] == "--help") {
            return usage_text;
        }
    }
    return std::nullopt;
}
