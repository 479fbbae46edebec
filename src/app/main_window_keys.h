#pragma once
#include <optional>

namespace lumaforge {

// The main window's own keys, whichever of its controls has the focus.
struct MainWindowKey {
    enum class Action { OpenPage, FetchCatalog };
    Action action = Action::OpenPage;
    int page = 0;  // OpenPage: the page index
};

struct KeyModifiers {
    bool control = false;
    bool shift = false;
    bool alt = false;
};

// Ctrl+1 ... Ctrl+9 (top row or keypad) open the nine pages the navigation shows, in page order:
// the visual styles first, the start-page page last (the patcher's page has no button); F5 fetches
// the catalog again. Any other key, or another modifier with these, is none of the window's.
std::optional<MainWindowKey> MainWindowKeyFor(unsigned virtualKey, KeyModifiers modifiers);

}  // namespace lumaforge
