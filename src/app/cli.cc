#include "app/cli.h"

#include "build_config.h"
#include "lib/files.h"

using namespace Velkor;

bool is_noreboot_option(const std::string& arg) {
    const std::string lower = string_lower(arg);
    return lower == "--noreboot" || lower == "--no-reboot" || lower == "--skip-reboot";
}

std::optional<std::string> early_answer(const std::vector<std::string>& args) {
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--version") return std::string("kelvane ") + KELVANE_VERSION + "\n";
        if (args[i] == "--help") {
            return std::string(
                       "Usage: kelvane [--noreboot | --no-reboot | --skip-reboot]\n"
                       "\n"
                       "Post-install wizard for a fresh Ubuntu 22.04 or 22.10 desktop (GNOME).\n"
                       "The first run asks four questions (web browser, Chrome licence, desktop\n"
                       "layout, theme), then installs and configures the system unattended and\n"
                       "restarts the machine. Later runs open a menu: run the wizard again, "
                       "change\n"
                       "the theme or layout, install rEFInd, a XanMod kernel or extra software.\n"
                       "\n"
                       "Start it as your desktop user (not root, not with sudo) from a terminal "
                       "in\n"
                       "its data folder; it asks for the administrator password when it needs it.\n"
                       "\n"
                       "Options (any letter case):\n"
                       "  --noreboot, --no-reboot, --skip-reboot\n"
                       "                 do not restart the machine at the end of the wizard\n"
                       "  --help         show this text and exit\n"
                       "  --version      show the version and exit\n"
                       "\n"
                       "Web site: ") +
                   KELVANE_WEBSITE_URL + "\n";
        }
    }
    return std::nullopt;
}
