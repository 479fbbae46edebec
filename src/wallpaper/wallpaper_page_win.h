#pragma once
#include <memory>
#include <vector>

#include "base/resource_strings_win.h"
#include "controls/label_win.h"
#include "controls/panel_win.h"
#include "controls/standard_controls_win.h"
#include "wallpaper/size_presets.h"

namespace lumaforge {

// The wallpaper search page, embedded in the main window's wallpaper tab: the search bar, the
// result grid and the page bar.
class TFrmWallpaper : public Panel {
public:
    bool Create(HWND parent, const RECT& bounds, const ResourceStrings& strings, HFONT font);

    // The result grid's area and its cell size (set by the host once the page has its size).
    RECT GridBounds() const;
    void SetGridCells(const GridCells& cells) { gridCells_ = cells; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Layout();
    std::unique_ptr<Label> lblKeyWord_, lblSize_;
    std::unique_ptr<Panel> pnlSearch_, vstResult_, pnlAD2_, pnlPage_;
    // Declared after their parent panel, so they go first.
    EditBox edtKey_;
    ComboBox cbSize_;
    std::array<PushButton, 4> engineButtons_;
    std::array<TSizePreset, kSizePresetCount> sizePresets_;
    GridCells gridCells_{};
};

}  // namespace lumaforge
