#include "controls/check_button_win.h"

#include "base/handles_win.h"

namespace lumaforge {

void ButtonGroup::Check(CheckButton* button) {
    for (CheckButton* other : buttons_)
        other->SetChecked(other == button);
}

bool CheckButton::Create(HWND parent, const RECT& bounds, const std::wstring& caption, const Style& style,
                         ButtonGroup* group) {
    caption_ = caption;
    style_ = style;
    group_ = group;
    if (group_)
        group_->Add(this);
    return CreateWindowOf(L"LumaforgeCheckButton", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, parent, bounds, caption);
}

void CheckButton::SetChecked(bool checked) {
    if (checked_ == checked)
        return;
    checked_ = checked;
    Invalidate();
}

void CheckButton::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    SetWindowTextW(Handle(), caption.c_str());
    Invalidate();
}

void CheckButton::SetStyle(const Style& style) {
    style_ = style;
    Invalidate();
}

void CheckButton::Click() {
    if (group_)
        group_->Check(this);
    else
        SetChecked(!checked_);
    if (onClick)
        onClick();
}

void CheckButton::Paint(HDC dc, const RECT& client) {
    UniqueGdiObj<HBRUSH> background(CreateSolidBrush(palette::kWindow));
    FillRect(dc, &client, background.Get());
    if (checked_ || hovered_ || pressed_) {
        Color fill = checked_ || pressed_ ? palette::kSelection : palette::kHotRow;
        UniqueGdiObj<HBRUSH> face(CreateSolidBrush(fill));
        UniqueGdiObj<HPEN> border(CreatePen(PS_SOLID, 1, palette::kSelectionBorder));
        ScopedSelectObject selectBrush(dc, face.Get());
        ScopedSelectObject selectPen(dc, border.Get());
        RoundRect(dc, client.left, client.top, client.right, client.bottom, 6, 6);
    }
    if (checked_) {
        // A bar at the left edge marks the page being shown.
        RECT bar{client.left + 1, client.top + 5, client.left + 4, client.bottom - 5};
        UniqueGdiObj<HBRUSH> accent(CreateSolidBrush(style_.color));
        FillRect(dc, &bar, accent.Get());
    }
    ScopedSelectObject font(dc, style_.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, style_.color);
    RECT text = client;
    text.left += style_.borderSpace + 6;
    text.right -= style_.borderSpace;
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    if (GetFocus() == Handle()) {
        RECT focus = client;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

LRESULT CheckButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (!hovered_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
                TrackMouseEvent(&track);
                hovered_ = true;
                Invalidate();
            }
            return 0;
        case WM_MOUSELEAVE:
            hovered_ = false;
            Invalidate();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            pressed_ = true;
            SetCapture(Handle());
            Invalidate();
            return 0;
        case WM_LBUTTONUP: {
            bool wasPressed = pressed_;
            pressed_ = false;
            ReleaseCapture();
            POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            RECT client = ClientRect();
            Invalidate();
            if (wasPressed && PtInRect(&client, pt))
                Click();
            return 0;
        }
        case WM_KEYUP:
            if (wParam == VK_SPACE || wParam == VK_RETURN)
                Click();
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            Invalidate();
            break;
        case WM_GETDLGCODE:
            return DLGC_BUTTON;
    }
    return PaintedWindow::OnMessage(message, wParam, lParam);
}

}  // namespace lumaforge
