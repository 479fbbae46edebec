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

}  // namespace lumaforge
