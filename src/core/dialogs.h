// Showing dialogs: the one path by which the program asks the user anything.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/dialogs_data.h"

// Every dialog needs a terminal on stdin and stdout. Where there is none (or whiptail cannot
// open it), a dialog writes one "E: " line naming the way out and ends the run with status 1;
// only ask_yesno_if_shown lets the run go on.

/// Runs a menu or checklist and returns its answer unchanged ("" when the answer file cannot
/// be read). A cancel writes "Cancelled by user" (and, with `log_answer_on_cancel`, the answer
/// file as a debug line) and ends the run with status 0.
std::string run_dialog(const Dialog& dialog, bool log_answer_on_cancel);
/// Stores `answer` in `choice` and logs it as "Selected <what>: <answer>", whether it came from
/// a dialog or from the command line.
void take_choice(std::string_view what, std::string_view answer, std::string& choice);
/// A menu whose answer is stored in `choice` and logged as "Selected <what>: <answer>";
/// false, with `choice` unchanged, when the answer is 'back'.
bool ask_choice(const Dialog& dialog, std::string_view what, std::string& choice);
/// A message box; the user's button does not matter.
void show_msgbox(std::string_view title, std::string_view text);
/// A yes/no box; true for yes. A `tall` box holds a longer text (see yesno_command).
bool ask_yesno(std::string_view title, std::string_view text, bool tall = false);
/// ask_yesno for a question the run can go on without: nullopt, and the run goes on, when no
/// dialog can be shown here.
std::optional<bool> ask_yesno_if_shown(std::string_view title, std::string_view text,
                                       bool tall = false);

/// What a main-menu action tells the menu: finished, or go back to the menu.
enum class MenuResult { done, back };
/// Where a question is asked: in the wizard (the answer is applied at its end) or from the
/// main menu (applied at once; the menu offers 'back').
enum class AskedFrom { wizard, menu };
