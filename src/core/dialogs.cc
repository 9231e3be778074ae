#include "core/dialogs.h"

#include "core/dialogs_data.h"
#include "core/exit.h"
#include "core/runner.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

std::string run_dialog(const Dialog& dialog, bool log_answer_on_cancel) {
    const std::string answer_path = get_temp_file_path(true);
    if (run_read(dialog_command(dialog, answer_path), RunMode::interactive) != 0) {
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
    run_read(msgbox_command(title, text), RunMode::interactive);
}

bool ask_yesno(std::string_view title, std::string_view text, bool long_text) {
    const bool yes = run_read(yesno_command(title, text, long_text), RunMode::interactive) == 0;
    log_file_write(std::string("Answer: ") + (yes ? "yes" : "no") + "\n");
    return yes;
}
