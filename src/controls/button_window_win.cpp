#include "controls/button_window_win.h"

namespace lumaforge {

bool ButtonWindow::PointerOver(LPARAM lParam) const {
    const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const RECT client = ClientRect();
    return PtInRect(&client, at) != FALSE;
}

bool ButtonWindow::PointerOverNow() const {
    POINT at{};
    GetCursorPos(&at);
    return WindowFromPoint(at) == Handle();
}

void ButtonWindow::CancelPress() {
    const bool mouse = mouseHeld_;
    mouseHeld_ = keyHeld_ = false;
    if (mouse && GetCapture() == Handle())
        ReleaseCapture();
}

LRESULT ButtonWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (!tracking_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
                tracking_ = TrackMouseEvent(&track) != FALSE;
            }
            PointerMoved(PointerOver(lParam));
            return 0;
        case WM_MOUSELEAVE:
            tracking_ = false;
            PointerLeft();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!keyHeld_ && PressBegan()) {
                mouseHeld_ = true;
                SetCapture(Handle());
            }
            return 0;
        case WM_LBUTTONUP:
            if (mouseHeld_) {
                // Held no longer before the capture goes, so its going is no loss of the press.
                mouseHeld_ = false;
                if (GetCapture() == Handle())
                    ReleaseCapture();
                const bool over = PointerOver(lParam);
                PressEnded(over, over);
            }
            return 0;
        case WM_CAPTURECHANGED:
            // Capture taken away in the middle of a press (a message box, another window): no click.
            if (mouseHeld_ && reinterpret_cast<HWND>(lParam) != Handle()) {
                mouseHeld_ = false;
                PressEnded(false, false);
            }
            return 0;
        case WM_DESTROY:
            CancelPress();
            break;
    }
    if (!takesKeyboard_)
        return PaintedWindow::OnMessage(message, wParam, lParam);
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_SPACE && !(lParam & 0x40000000)) {
                if (!mouseHeld_ && PressBegan())
                    keyHeld_ = true;
                return 0;
            }
            if (wParam == VK_RETURN) {
                KeyClicked();
                return 0;
            }
            break;
        case WM_KEYUP:
            if (wParam == VK_SPACE && keyHeld_) {
                keyHeld_ = false;
                PressEnded(true, PointerOverNow());
                return 0;
            }
            break;
        case WM_KILLFOCUS:
            if (keyHeld_) {
                keyHeld_ = false;
                PressEnded(false, PointerOverNow());
            }
            Invalidate();
            break;
        case WM_SETFOCUS:
        case WM_UPDATEUISTATE:
            // The focus rectangle comes and goes.
            Invalidate();
            break;
        case BM_CLICK:
            // An access key of the caption, through the dialog keyboard handling.
            KeyClicked();
            return 0;
        case WM_GETDLGCODE:
            return DrawnButtonDialogCode(lParam);
    }
    return PaintedWindow::OnMessage(message, wParam, lParam);
}

}  // namespace lumaforge
