#include "app/dialog.h"

#include "app/app_console.h"
#include "lib/commands.h"
#include "lib/console.h"
#include "lib/files.h"

using namespace Velkor;

namespace {

std::string quoted(std::string_view text) { return "'" + escape_single_quote(text) + "'"; }

std::string title_option(std::string_view title) { return " --title " + quoted(title); }

}  // namespace

std::string menu_kind(std::string_view prompt) {
    return " --notags --menu " + quoted(prompt) + " 20 78 10";
}

std::string checklist_kind(std::string_view prompt) {
    return " --notags --checklist " + quoted(prompt) + " 30 78 20";
}

std::string menu_item(std::string_view tag, std::string_view text) {
    return " " + quoted(tag) + " " + quoted(text);
}

std::string checklist_item(std::string_view tag, std::string_view text) {
    return " " + std::string(tag) + " " + quoted(text) + " OFF";
}

std::string dialog_command(const Dialog& dialog, std::string_view answer_path) {
    std::string cmd = "whiptail" + title_option(dialog.title) + dialog.cancel_before + dialog.kind;
    for (const auto& item : dialog.items) cmd += item;
    cmd += dialog.cancel_after;
    if (!answer_path.empty()) cmd += " 2> " + quoted(answer_path);
    return cmd;
}

std::string msgbox_command(std::string_view title, std::string_view text) {
    return "whiptail" + title_option(title) + " --msgbox " + quoted(text) + " 20 78";
}

std::string yesno_command(std::string_view title, std::string_view text) {
    return "whiptail" + title_option(title) + " --yesno " + quoted(text) + " 12 78";
}

std::string AppConsole::run_dialog(const Dialog& dialog, bool log_answer_on_cancel) {
    const std::string answer_path = get_temp_file_path(true);
    const std::string cmd = dialog_command(dialog, answer_path);
    log_debug(cmd);
    if (exec_posix(cmd) != 0) {
        log_msg("Cancelled by user");
        if (log_answer_on_cancel && file_exists(answer_path)) {
            log_debug(file_read(answer_path).value_or(""));
        }
        exit_process(0);
    }
    // The tool writes no line break: the answer is taken unchanged.
    return file_read(answer_path).value_or("");
}
