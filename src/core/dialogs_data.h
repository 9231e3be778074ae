// The dialog protocol: every whiptail dialog is one shell command built here (pure).
#pragma once

#include <string>
#include <string_view>
#include <vector>

/// A menu or checklist dialog, as the pieces of its command line.
struct Dialog {
    std::string title;
    /// " --cancel-button 'Exit'", or "" for the dialog's own cancel button.
    std::string cancel_label;
    /// The kind option with prompt and sizes, e.g. menu_kind("Choose action:").
    std::string kind;
    /// Exact item strings, each with its leading blank.
    std::vector<std::string> items;
};

inline constexpr std::string_view cancel_button_exit = " --cancel-button 'Exit'";

// whiptail reads every argument that starts with "-" as an option, even an item's text
// ("-- Go back --"): each kind ends the options with "--" before its prompt or text, so every
// option of a dialog stands before the kind.

/// " --notags --menu -- '<prompt>' 20 78 <list_height>" (a taller box for more than 11 rows)
std::string menu_kind(std::string_view prompt, int list_height = 10);
/// " --notags --checklist -- '<prompt>' 30 78 20"
std::string checklist_kind(std::string_view prompt);
/// " '<tag>' '<text>'"
std::string menu_item(std::string_view tag, std::string_view text);
/// " <tag> '<text>' OFF"
std::string checklist_item(std::string_view tag, std::string_view text);
/// The whole command: whiptail, title, label, kind, items and " 2> '<answer_path>'"
/// (escaped); no redirection when `answer_path` is empty.
std::string dialog_command(const Dialog& dialog, std::string_view answer_path);
/// "whiptail --title '<title>' --msgbox -- '<text>' 20 78", the text escaped.
std::string msgbox_command(std::string_view title, std::string_view text);
/// "whiptail --title '<title>' --yesno -- '<text>' 12 78", the text escaped. A `tall` box has
/// 22 lines, the most that 80×24 shows, for 16 lines of text of 74 columns; it does not scroll
/// (a scrolling text would take the focus, and Enter would no longer answer).
std::string yesno_command(std::string_view title, std::string_view text, bool tall = false);

/// The hidden knob that lets dialogs run without a terminal (the sandbox's whiptail stand-in
/// answers from a queue).
inline constexpr std::string_view dialogs_without_terminal_variable =
    "KELVANE_DIALOGS_WITHOUT_TERMINAL";
/// The error line of a dialog `title` that cannot be shown: no terminal, and the way out.
std::string no_terminal_text(std::string_view title);
