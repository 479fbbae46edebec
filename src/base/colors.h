#pragma once
#include <cstdint>

namespace lumaforge {

// A colour in the byte order of the Windows COLORREF (red in the low byte), usable anywhere.
using Color = uint32_t;
constexpr Color MakeColor(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<Color>(r) | (static_cast<Color>(g) << 8) | (static_cast<Color>(b) << 16);
}

namespace palette {
inline constexpr Color kWindow = MakeColor(255, 255, 255);
inline constexpr Color kAccentText = MakeColor(131, 83, 108);
inline constexpr Color kHintText = MakeColor(188, 150, 170);
inline constexpr Color kLink = MakeColor(0, 0, 255);
inline constexpr Color kGreen = MakeColor(0, 128, 0);
inline constexpr Color kSelection = MakeColor(255, 241, 236);
inline constexpr Color kSelectionBorder = MakeColor(255, 217, 206);
inline constexpr Color kHotRow = MakeColor(255, 248, 246);
}  // namespace palette

}  // namespace lumaforge
