#pragma once
#include <memory>
#include <vector>

#include "base/colors.h"
#include "controls/window_win.h"

namespace lumaforge {

// A plain container filled with one colour. It hands the notifications of its
// children on to its own parent, so the main window sees every control's events wherever the
// control sits in the nesting of pages and panels.
class Panel : public PaintedWindow {
public:
    bool Create(HWND parent, const RECT& bounds, Color background = palette::kWindow);
    void Paint(HDC dc, const RECT& client) override;
    Color Background() const { return background_; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Color background_ = palette::kWindow;
};

// Pages stacked in one place with no tabs: exactly one is shown at a time.
class PageControl : public Panel {
public:
    // Adds a page filling the control; pages are numbered in the order they are added.
    Panel& AddPage();
    void ShowPage(int index);
    int ActivePage() const { return active_; }
    Panel& Page(int index) { return *pages_[index]; }

private:
    std::vector<std::unique_ptr<Panel>> pages_;
    int active_ = -1;
};

}  // namespace lumaforge
