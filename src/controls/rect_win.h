#pragma once
#include <windows.h>

namespace lumaforge {

// A rectangle by its left-top corner and size, as layouts give their controls' places.
constexpr RECT Bounds(int x, int y, int w, int h) {
    return {x, y, x + w, y + h};
}
constexpr int Width(const RECT& r) {
    return r.right - r.left;
}
constexpr int Height(const RECT& r) {
    return r.bottom - r.top;
}

// The outer size of a window, frame included.
inline SIZE WindowSize(HWND hwnd) {
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

}  // namespace lumaforge
