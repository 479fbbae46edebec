#include "controls/panel_win.h"

#include "base/handles_win.h"

namespace lumaforge {

bool Panel::Create(HWND parent, const RECT& bounds, Color background) {
    background_ = background;
    return CreateWindowOf(L"LumaforgePanel", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                          WS_EX_CONTROLPARENT, parent, bounds);
}

void Panel::Paint(HDC dc, const RECT& client) {
    UniqueGdiObj<HBRUSH> brush(CreateSolidBrush(background_));
    FillRect(dc, &client, brush.Get());
}

LRESULT Panel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            if (HWND parent = GetParent(Handle()))
                return SendMessageW(parent, message, wParam, lParam);
            break;
    }
    return PaintedWindow::OnMessage(message, wParam, lParam);
}

Panel& PageControl::AddPage() {
    auto page = std::make_unique<Panel>();
    RECT client = ClientRect();
    page->Create(Handle(), client);
    page->SetVisible(false);
    pages_.push_back(std::move(page));
    return *pages_.back();
}

void PageControl::ShowPage(int index) {
    if (index < 0 || index >= static_cast<int>(pages_.size()) || index == active_)
        return;
    // Show the new page before hiding the old one, so nothing behind them flashes through.
    pages_[index]->SetVisible(true);
    if (active_ >= 0)
        pages_[active_]->SetVisible(false);
    active_ = index;
}

}  // namespace lumaforge
