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
    if (run(dialog_command(dialog, answer_path)) != 0) {
        log_msg("Cancelled by user");
        if (log_answer_on_cancel && file_exists(answer_path)) {
            log_debug(file_read(answer_path).value_or(""));
        }
        exit_process(0);
    }
    // The tool writes no line break: the answer is taken unchanged.
    return file_read(answer_path).value_or("");
}

void show_msgbox(std::string_view title, std::string_view text) {
    run(msgbox_command(title, text));
}

bool ask_yesno(std::string_view title, std::string_view text) {
    return run(yesno_command(title, text)) == 0;
}
