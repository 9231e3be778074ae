#include "core/dialogs.h"

#include <unistd.h>

#include <optional>

#include "core/dialogs_data.h"
#include "core/exit.h"
#include "core/runner.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

// whiptail draws on stdout and reads the keys from stdin: with either one redirected (a pipe,
// a file, /dev/null) nobody can answer. The sandbox's stand-in answers without a terminal.
bool terminal_for_dialogs() {
    if (env_value(dialogs_without_terminal_variable)) return true;
    return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
}

// Runs whiptail with its stderr in `answer_path`; its exit status, or nullopt when it cannot
// show anything here. A cancel (1) and an Escape (255) leave stderr empty; whiptail's failures
// give the same statuses with its complaint there ("Failed to open terminal.", or that the
// terminal cannot position the cursor).
std::optional<int> run_whiptail(std::string_view cmd, const std::string& answer_path) {
    if (!terminal_for_dialogs()) return std::nullopt;
    const int status = run_read(cmd, RunMode::interactive);
    if (status == 0 || !file_exists(answer_path)) return status;
    const std::string complaint = file_read(answer_path).value_or("");
    if (complaint.empty()) return status;
    log_file_write("whiptail: " + complaint + "\n");
    return std::nullopt;
}

// Nothing has changed when a question cannot be asked: the run ends here.
[[noreturn]] void no_terminal(std::string_view title) {
    log_error(no_terminal_text(title));
    exit_process(1);
}

std::optional<int> run_box(const std::string& cmd) {
    const std::string answer_path = get_temp_file_path(true);
    return run_whiptail(cmd + " 2> " + shell_quote(answer_path), answer_path);
}

}  // namespace

std::string run_dialog(const Dialog& dialog, bool log_answer_on_cancel) {
    const std::string answer_path = get_temp_file_path(true);
    const auto status = run_whiptail(dialog_command(dialog, answer_path), answer_path);
    if (!status) no_terminal(dialog.title);
    if (*status != 0) {
        log_msg("Cancelled by user");
        if (log_answer_on_cancel && file_exists(answer_path)) {
            log_debug(file_read(answer_path).value_or(""));
        }
        exit_process(0);
    }
    // The tool writes no line break: the answer is taken unchanged.
    std::string answer = file_read(answer_path).value_or("");
    log_file_write("Answer: " + answer + "\n");
    return answer;
}

bool ask_choice(const Dialog& dialog, std::string_view what, std::string& choice) {
    const std::string answer = run_dialog(dialog, true);
    if (answer == "back") return false;
    take_choice(what, answer, choice);
    return true;
}

void take_choice(std::string_view what, std::string_view answer, std::string& choice) {
    choice = answer;
    log_msg("Selected " + std::string(what) + ": " + choice);
}

void show_msgbox(std::string_view title, std::string_view text) {
    if (!run_box(msgbox_command(title, text))) no_terminal(title);
}

std::optional<bool> ask_yesno_if_shown(std::string_view title, std::string_view text, bool tall) {
    const auto status = run_box(yesno_command(title, text, tall));
    if (!status) return std::nullopt;
    log_file_write(std::string("Answer: ") + (*status == 0 ? "yes" : "no") + "\n");
    return *status == 0;
}

bool ask_yesno(std::string_view title, std::string_view text, bool tall) {
    const auto yes = ask_yesno_if_shown(title, text, tall);
    if (!yes) no_terminal(title);
    return *yes;
}
