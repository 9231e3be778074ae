#include "wizard/driver_data.h"

#include "build_config.h"

std::string welcome_title() { return std::string("Kelvane ~ ") + KELVANE_WEBSITE_NAME; }

const std::string_view welcome_text =
    "This wizard will execute some common post-install tasks.\n"
    "\n"
    "System will reboot after installation is complete.\n"
    "Save your work and close any open applications.\n"
    "\n"
    "Press Enter to continue...\n";
