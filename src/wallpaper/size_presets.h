#pragma once
#include <array>
#include <string>

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
