#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "controls/dpi_scale.h"
#include "controls/fonts_win.h"
#include "controls/picture_win.h"

namespace lumaforge {

// What the windows of a top-level window take over when it moves to a DPI: fonts and skin pictures
// made for the new DPI in place of those made for the old one, and the DPI to scale lengths of the
// 96-DPI layout by. A window holding an old font or picture swaps it for the new one in
// Window::OnScaleChanged; a window that makes fonts of its own adds their replacements here before
// its children are visited, and hands the old ones over to be deleted once the walk is done.
struct ScaleChange {
    int dpi = kBaseDpi;
    std::vector<std::pair<HFONT, HFONT>> fonts;
    std::function<std::shared_ptr<const Picture>(const std::shared_ptr<const Picture>&)> pictures;
    std::vector<UniqueFont> retiredFonts;

    int Scale(int length96) const { return ScaleLength(length96, dpi); }
    // The font in place of `old`; `old` itself when it is not replaced.
    HFONT Font(HFONT old) const;
    std::shared_ptr<const Picture> Picture(const std::shared_ptr<const lumaforge::Picture>& old) const;
};

// The 96-DPI places of every window below a top-level window, taken the first time the window is
// seen, and the scaling of all of them to a new DPI. Standard controls get their fonts swapped by
// WM_SETFONT; windows of this program hear OnScaleChanged after their move, parents before their
// children.
class ScaledLayout {
public:
    // `clientSize96` is the top-level window's client size in the 96-DPI layout.
    explicit ScaledLayout(LayoutSize clientSize96) : clientSize96_(clientSize96) {}

    // Takes the places of windows not seen yet (as they are at the DPI of the last Apply), then
    // moves every window below `root` to its place at `change.dpi` inside the root's client area
    // as it is now.
    void Apply(HWND root, ScaleChange& change);
    int Dpi() const { return dpi_; }

private:
    struct Place {
        LayoutBox box96;
        LayoutSize client96;
    };
    Place Record(HWND hwnd) const;

    LayoutSize clientSize96_;
    int dpi_ = kBaseDpi;
    std::map<HWND, Place> places_;
};

// The DPI a window is shown at (the system's where the system cannot say per window).
int WindowDpi(HWND hwnd);
// The outer rectangle of a window of this style whose client area is `client` pixels, at `dpi`.
RECT FrameForClient(SIZE client, DWORD style, DWORD exStyle, int dpi);

}  // namespace lumaforge
