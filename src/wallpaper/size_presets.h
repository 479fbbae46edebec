#pragma once
#include <array>
#include <string>

#include "wallpaper/search_engine.h"

namespace lumaforge {

struct TSizePreset {
    std::string Caption;
    int Width = 0;
    int Height = 0;
    int EngineCode = 0;
};

inline constexpr int kSizePresetCount = 35;

// Entry 0 is the desktop at its current size; the others are the fixed sizes, smallest first.
std::array<TSizePreset, kSizePresetCount> MakeSizePresets(const std::string& desktopCaption, int screenWidth,
                                                          int screenHeight);

// Sets every preset's EngineCode to the size filter `engine` knows for it, 0 for none. Only Baidu and
// Sogou filter by size, and only for a few fixed sizes; the desktop entry never has a code.
void AssignSizeCodes(int engine, std::array<TSizePreset, kSizePresetCount>& presets);

// The thumbnail grid's cells for a grid of this size: five columns, three rows, one pixel apart.
struct GridCells {
    int columnWidth;
    int rowHeight;
};
inline constexpr int kGridColumns = 5;
constexpr GridCells ThumbnailGridCells(int gridWidth, int gridHeight) {
    return {gridWidth / kGridColumns - 1, gridHeight / 3 - 1};
}

}  // namespace lumaforge
