#include "core/dialogs_data.h"

#include <algorithm>

#include "lib/files.h"

using namespace Velkor;

namespace {

std::string title_option(std::string_view title) { return " --title " + shell_quote(title); }

}  // namespace

std::string menu_kind(std::string_view prompt, int list_height) {
    // The box grows with a list that would not fit in its usual 20 lines.
    const int height = std::max(20, list_height + 9);
    return " --notags --menu -- " + shell_quote(prompt) + " " + std::to_string(height) + " 78 " +
           std::to_string(list_height);
}

std::string checklist_kind(std::string_view prompt) {
    return " --notags --checklist -- " + shell_quote(prompt) + " 30 78 20";
}

std::string menu_item(std::string_view tag, std::string_view text) {
    return " " + shell_quote(tag) + " " + shell_quote(text);
}

std::string checklist_item(std::string_view tag, std::string_view text) {
    return " " + std::string(tag) + " " + shell_quote(text) + " OFF";
}

std::string dialog_command(const Dialog& dialog, std::string_view answer_path) {
    std::string cmd = "whiptail" + title_option(dialog.title) + dialog.cancel_label + dialog.kind;
    for (const auto& item : dialog.items) cmd += item;
    if (!answer_path.empty()) cmd += " 2> " + shell_quote(answer_path);
    return cmd;
}

std::string msgbox_command(std::string_view title, std::string_view text) {
    return "whiptail" + title_option(title) + " --msgbox -- " + shell_quote(text) + " 20 78";
}

std::string yesno_command(std::string_view title, std::string_view text, bool tall) {
    return "whiptail" + title_option(title) + " --yesno -- " + shell_quote(text) +
           (tall ? " 22 78" : " 12 78");
}

std::string no_terminal_text(std::string_view title) {
    return "The dialog '" + std::string(title) +
           "' needs a terminal: start kelvane in one, or without dialogs with --yes and every "
           "answer as an option (see kelvane --help)";
}
