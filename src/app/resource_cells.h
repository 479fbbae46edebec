#pragma once
#include <optional>
#include <string>

#include "app/resource_item.h"

namespace lumaforge {

// What a list shows in one cell of a row. Column 0 is the name, column 1 the status.
struct CellRequest {
    int kind = 0;                   // the list's Tag
    bool isCategory = false;        // a root row of the visual-styles tree
    bool showInstalledMark = true;  // login screens and icon themes show none
    int column = 0;
};

std::string CellText(const TResourceItem& item, const CellRequest& cell);
int CellImage(const TResourceItem& item, const CellRequest& cell);
// The tree list hints only its style rows; the flat lists hint every row's name.
std::string CellHint(const TResourceItem& item, const CellRequest& cell, int level);

// Which items of the shared pop-up menu are enabled for a row, and the changing caption of the
// download item. Items left out (opening the cache folder) are always enabled.
struct PopupMenuState {
    bool unInstall = false;
    bool down = false;
    bool apply = false;
    bool onlyApply = false;
    bool viewScreen = false;
    bool deleteFile = false;
    bool openFile = false;
    std::string downCaption;
};

// The two menu policies the lists are bound to: the first for styles, cursors and screen savers,
// the second for login screens, sounds and icon themes. Nothing when the menu is suppressed.
std::optional<PopupMenuState> ThemesContextPopup(int kind, const TResourceItem* focused, int focusedLevel);
std::optional<PopupMenuState> SoundsContextPopup(int kind, const TResourceItem* focused);

}  // namespace lumaforge
