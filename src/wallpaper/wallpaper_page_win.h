#pragma once
#include <memory>
#include <vector>

#include "app/resource_strings_win.h"
#include "controls/label_win.h"
#include "controls/panel_win.h"
#include "wallpaper/size_presets.h"

namespace lumaforge {

// The wallpaper search page, embedded in the main window's wallpaper tab. It lays out its search
// bar, result grid and page bar; searching and the grid's content come with the search features.
class TFrmWallpaper : public Panel {
public:
    bool Create(HWND parent, const RECT& bounds, const ResourceStrings& strings, HFONT font);

    // The result grid's area and its cell size (set by the host once the page has its size).
    RECT GridBounds() const;
    void SetGridCells(const GridCells& cells) { gridCells_ = cells; }
    const GridCells& Cells() const { return gridCells_; }
    const std::array<TSizePreset, kSizePresetCount>& SizePresets() const { return sizePresets_; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Layout();
    HWND edtKey_ = nullptr;
    HWND cbSize_ = nullptr;
    HWND engineButtons_[4] = {};
    std::unique_ptr<Label> lblKeyWord_, lblSize_;
    std::unique_ptr<Panel> pnlSearch_, vstResult_, pnlAD2_, pnlPage_;
    std::array<TSizePreset, kSizePresetCount> sizePresets_;
    GridCells gridCells_{};
};

}  // namespace lumaforge
