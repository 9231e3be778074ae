#include "wizard/driver_data.h"

#include "build_config.h"

std::string welcome_title() { return std::string("Kelvane ~ ") + KELVANE_WEBSITE_NAME; }

std::string welcome_text(bool reboot) {
    return std::string(
               "This wizard will execute some common post-install tasks.\n"
               "\n") +
           (reboot ? "System will reboot after installation is complete.\n"
                   : "System will not restart at the end: restart it yourself afterwards.\n") +
           "Save your work and close any open applications.\n"
           "\n"
           "Press Enter to continue...\n";
}
