// The wizard: every question first, then the unattended steps, then the restart.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct AppConsole;

/// An unattended step as the command line, the progress, status and the report name it.
struct StepName {
    std::string_view tag;
    std::string_view title;
    /// The tag of a later step that needs this one ("" for none): it cannot be skipped.
    std::string_view needed_by = {};
};
/// The unattended steps, in the order they run.
std::vector<StepName> wizard_step_names();
/// Why the steps `tags` cannot all be left out when the browser is `web_browser` ("" while it is
/// not known): the first one a later step needs, naming that step. nullopt when they can.
std::optional<std::string> skip_refusal(const std::vector<std::string>& tags,
                                        std::string_view web_browser);

enum class StepProgress { done, todo, skipped };
struct StepStatus {
    StepName step;
    StepProgress state;
};
/// Every step with its state on this machine, by the checks the steps themselves use ("skipped"
/// for the tags `app` skips). Read-only, and asks for no password.
std::vector<StepStatus> wizard_status(const AppConsole& app);

/// Runs the wizard: welcome, the four questions, every step, the done marker and the restart
/// (or the completion header when the run keeps the machine up).
void setup(AppConsole& app);
