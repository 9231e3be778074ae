// Settings of the GNOME Shell extensions that the layouts rely on (pure).
#pragma once

#include <string_view>

/// The extensions' own settings (25 sections) and a starting extension list that the layout
/// payload loaded after it replaces. Begins with a line feed.
extern const std::string_view extensions_payload;
