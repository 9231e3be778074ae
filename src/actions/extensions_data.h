// Settings of the GNOME Shell extensions that the layouts rely on (pure).
#pragma once

#include <string_view>

/// The extensions' own settings (25 sections), without what the layouts set. Begins with a line
/// feed.
extern const std::string_view extensions_payload;
