#include "wizard/driver_data.h"

#include "build_config.h"

std::string welcome_title() { return std::string("Kelvane ~ ") + KELVANE_WEBSITE_NAME; }

std::string welcome_text(WizardEnding ending) {
    const std::string intro = "This wizard will execute some common post-install tasks.\n\n";
    const std::string press_enter = "\nPress Enter to continue...\n";
    if (ending == WizardEnding::dry_run) {
        return intro +
               "This is a dry run: it shows what the wizard would change and changes nothing.\n" +
               press_enter;
    }
    return intro +
           (ending == WizardEnding::restart
                ? "System will reboot after installation is complete.\n"
                : "System will not restart at the end: restart it yourself afterwards.\n") +
           "Save your work and close any open applications.\n" + press_enter;
}

int restart_countdown_seconds(const std::optional<std::string>& knob) {
    constexpr int usual = 10;
    constexpr int longest = 600;
    if (!knob || knob->empty() || knob->find_first_not_of("0123456789") != std::string::npos ||
        knob->size() > 3) {
        return usual;
    }
    const int seconds = std::stoi(*knob);
    return seconds <= longest ? seconds : usual;
}

std::string restart_countdown_line(int seconds) {
    return "Restarting in " + std::to_string(seconds) + " s; Ctrl-C keeps the machine running";
}
