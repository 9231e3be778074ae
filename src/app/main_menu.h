// The main action menu as data: its entries, its dialog and the pages that two entries open.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct Dialog;

/// " <label padded to 19 columns><description>": the item text of every main-menu entry.
std::string main_menu_item_text(std::string_view label, std::string_view description);
/// The "Choose Action" menu; `efi` adds the 'refind' entry (ten entries, else nine).
Dialog main_menu_dialog(bool efi);
/// The web page that `tag` opens ('website', 'donate'); nullopt for every other answer.
std::optional<std::string_view> main_menu_url(std::string_view tag);
/// True for the separator lines, which show the menu again.
bool main_menu_is_separator(std::string_view tag);
