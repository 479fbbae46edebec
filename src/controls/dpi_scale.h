#pragma once
#include <string>
#include <string_view>

namespace lumaforge {

// The layouts are written in units of a 96-DPI screen ("100 %"); a window turns them into its own
// pixels with the DPI of the monitor it is on.
inline constexpr int kBaseDpi = 96;

// A length of the 96-DPI layout at `dpi`, to the nearest pixel, halves away from zero (as MulDiv
// rounds), so the same length always gives the same pixels wherever it is used.
int ScaleLength(int length96, int dpi);
// The other way: pixels at `dpi` in 96-DPI units, to the nearest unit.
int UnscaleLength(int pixels, int dpi);

// A rectangle in a parent's client coordinates, right and bottom exclusive.
struct LayoutBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const LayoutBox&) const = default;
};

struct LayoutSize {
    int width = 0;
    int height = 0;
    bool operator==(const LayoutSize&) const = default;
};

LayoutBox ScaleBox(const LayoutBox& box96, int dpi);

// A child's place at `dpi`, given its place and its parent's client size in the 96-DPI layout and
// the parent's client size at `dpi` (which a frame of fixed width can make differ from the scaled
// size): an edge that lay on the parent's right or bottom client edge stays on it, and no edge
// leaves the parent. Scaling keeps the order of edges, so children that did not overlap at 96 DPI
// do not overlap at any DPI.
LayoutBox ScaleChildBox(const LayoutBox& child96, LayoutSize parent96, LayoutSize parent, int dpi);

// The scales the skin pictures are drawn at, in percent of the 96-DPI size.
inline constexpr int kSkinScales[] = {100, 125, 150, 200};
// The drawn scale nearest to `dpi`; between two, the larger, as shrinking a picture blurs less
// than enlarging it.
int NearestSkinScale(int dpi);
// The resource name of a skin picture drawn at `percent`: PAGE_BACK_BMP at 150 % is
// PAGE_BACK_150_BMP; at 100 % the name as it is.
std::wstring ScaledSkinName(std::wstring_view name, int percent);

}  // namespace lumaforge
