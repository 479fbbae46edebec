#include "controls/dpi_scale.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace lumaforge {
namespace {

int MulDivRounded(int value, int numerator, int denominator) {
    if (denominator <= 0)
        return value;
    const int64_t product = static_cast<int64_t>(value) * numerator;
    const int64_t half = denominator / 2;
    const int64_t magnitude = (std::llabs(product) + half) / denominator;
    return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

int ScaleEdge(int edge96, int parent96, int parent, int dpi) {
    if (edge96 >= parent96)
        return parent + (edge96 > parent96 ? ScaleLength(edge96 - parent96, dpi) : 0);
    return std::min(ScaleLength(edge96, dpi), parent);
}

}  // namespace

int ScaleLength(int length96, int dpi) {
    return MulDivRounded(length96, dpi, kBaseDpi);
}

int UnscaleLength(int pixels, int dpi) {
    return MulDivRounded(pixels, kBaseDpi, dpi);
}

LayoutBox ScaleBox(const LayoutBox& box96, int dpi) {
    return {ScaleLength(box96.left, dpi), ScaleLength(box96.top, dpi), ScaleLength(box96.right, dpi),
            ScaleLength(box96.bottom, dpi)};
}

LayoutBox ScaleChildBox(const LayoutBox& child96, LayoutSize parent96, LayoutSize parent, int dpi) {
    // A child that hung over its parent's edge at 96 DPI (a clipped part on purpose) keeps doing so
    // by its scaled overhang; everything inside stays inside.
    return {ScaleEdge(child96.left, parent96.width, parent.width, dpi),
            ScaleEdge(child96.top, parent96.height, parent.height, dpi),
            ScaleEdge(child96.right, parent96.width, parent.width, dpi),
            ScaleEdge(child96.bottom, parent96.height, parent.height, dpi)};
}

int NearestSkinScale(int dpi) {
    const int percent2 = 2 * ScaleLength(100, dpi);  // twice the percentage, so halves compare exactly
    int best = kSkinScales[0];
    for (int scale : kSkinScales)
        if (std::abs(2 * scale - percent2) <= std::abs(2 * best - percent2))
            best = scale;
    return best;
}

std::wstring ScaledSkinName(std::wstring_view name, int percent) {
    const size_t suffix = name.rfind(L'_');
    if (percent == 100 || suffix == std::wstring_view::npos)
        return std::wstring(name);
    return std::wstring(name.substr(0, suffix)) + L"_" + std::to_wstring(percent) + std::wstring(name.substr(suffix));
}

}  // namespace lumaforge
