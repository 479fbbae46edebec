#include "controls/window_win.h"

#include <exception>

#include "base/unicode_win.h"
#include "controls/accessible_win.h"
#include "controls/standard_controls_win.h"

namespace lumaforge {

Window::~Window() {
    accessible_.reset();
    if (hwnd_) {
        // The window may outlive its owner object only by mistake; detach before destroying so no
        // message reaches a half-destroyed object.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool Window::CreateWindowOf(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent, const RECT& bounds,
                            const std::wstring& text, int id) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof existing};
    if (!GetClassInfoExW(instance, className, &existing)) {
        WNDCLASSEXW wc{sizeof wc};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = StaticProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        wc.lpszClassName = className;
        if (!RegisterClassExW(&wc))
            return false;
    }
    HMENU menuOrId = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
    return CreateWindowExW(exStyle, className, text.c_str(), style, bounds.left, bounds.top, bounds.right - bounds.left,
                           bounds.bottom - bounds.top, parent, menuOrId, instance, this) != nullptr;
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        LRESULT result = self->Dispatch(message, wParam, lParam);
        self->accessible_.reset();
        self->hwnd_ = nullptr;
        return result;
    }
    return self->Dispatch(message, wParam, lParam);
}

void Window::OnScaleChanged(ScaleChange&) {}

Window* Window::FromHandle(HWND hwnd) {
    // Ours by its class's window procedure, which a subclassed window of ours no longer shows as its
    // own.
    if (!hwnd || GetClassLongPtrW(hwnd, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&StaticProc))
        return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    // An error must not unwind through the system's message dispatch: the operation that raised it
    // is abandoned and its text shown, and the program goes on.
    try {
        if (message == WM_COMMAND && lParam) {
            if (StandardControl* control = StandardControl::FromHandle(reinterpret_cast<HWND>(lParam))) {
                control->OnNotify(HIWORD(wParam));
                return 0;
            }
        }
        if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) {
            StandardControl* control = StandardControl::FromHandle(reinterpret_cast<HWND>(lParam));
            if (HBRUSH brush = control ? control->OnControlColor(reinterpret_cast<HDC>(wParam)) : nullptr)
                return reinterpret_cast<LRESULT>(brush);
        }
        if (message == WM_GETOBJECT) {
            if (LRESULT answer = AnswerGetObject(wParam, lParam))
                return answer;
        }
        return OnMessage(message, wParam, lParam);
    } catch (...) {
        ReportCurrentError();
    }
    return 0;
}

LRESULT Window::AnswerGetObject(WPARAM wParam, LPARAM lParam) {
    auto* source = dynamic_cast<AccessibleSource*>(this);
    if (!source || !source->AccessibleProvided())
        return 0;
    if (!accessible_)
        accessible_ = std::make_unique<AccessibleBridge>(hwnd_, *source);
    return accessible_->Answer(wParam, lParam);
}

void Window::ReportCurrentError() {
    try {
        throw;
    } catch (const std::exception& error) {
        ReportError(error.what());
    } catch (...) {
        ReportError("Unknown error");
    }
}

void Window::ReportError(const std::string& text) {
    Window* root = FromHandle(GetAncestor(hwnd_, GA_ROOT));
    if (root && root != this)
        root->ReportError(text);
    else
        MessageBoxW(hwnd_, ToWide(text).c_str(), nullptr, MB_OK | MB_ICONERROR);
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT Window::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Window::SetBounds(int x, int y, int width, int height) {
    SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::SetVisible(bool visible) {
    ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

RECT Window::ClientRect() const {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    return rc;
}

void Window::Invalidate() {
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void PaintedWindow::PaintBuffered(HDC target) {
    RECT client = ClientRect();
    SIZE size{client.right, client.bottom};
    if (size.cx <= 0 || size.cy <= 0)
        return;
    HDC buffer = buffer_.Prepare(target, size);
    if (!buffer) {
        Paint(target, client);
        return;
    }
    {
        ScopedSaveDc saved(buffer);
        Paint(buffer, client);
    }
    BitBlt(target, 0, 0, size.cx, size.cy, buffer, 0, 0, SRCCOPY);
}

void PaintedWindow::PaintParentBackground(HDC dc) {
    HWND parent = GetParent(Handle());
    if (!parent)
        return;
    POINT origin{0, 0};
    MapWindowPoints(Handle(), parent, &origin, 1);
    POINT old;
    OffsetViewportOrgEx(dc, -origin.x, -origin.y, &old);
    {
        ScopedSaveDc saved(dc);
        SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    }
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

LRESULT PaintedWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Handle(), &ps);
            PaintBuffered(dc);
            EndPaint(Handle(), &ps);
            return 0;
        }
        case WM_PRINTCLIENT: {
            RECT client = ClientRect();
            Paint(reinterpret_cast<HDC>(wParam), client);
            return 0;
        }
        case WM_DESTROY:
            buffer_.Release();
            break;
    }
    return Window::OnMessage(message, wParam, lParam);
}

LRESULT DrawnButtonDialogCode(LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    LRESULT code = DLGC_BUTTON;
    if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
        code |= DLGC_WANTMESSAGE;
    return code;
}

}  // namespace lumaforge
