#include "controls/scale_change_win.h"

#include <algorithm>

#include "controls/window_win.h"

namespace lumaforge {
namespace {

void CollectPreorder(HWND parent, std::vector<HWND>& out) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        out.push_back(child);
        CollectPreorder(child, out);
    }
}

LayoutSize ClientSize(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return {client.right, client.bottom};
}

bool IsComboBox(HWND hwnd) {
    wchar_t name[16]{};
    GetClassNameW(hwnd, name, 16);
    return lstrcmpiW(name, L"ComboBox") == 0;
}

template <typename Function>
Function UserProc(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

HFONT ScaleChange::Font(HFONT old) const {
    for (const auto& [from, to] : fonts)
        if (from == old)
            return to;
    return old;
}

std::shared_ptr<const Picture> ScaleChange::Picture(const std::shared_ptr<const lumaforge::Picture>& old) const {
    if (!old || !pictures)
        return old;
    std::shared_ptr<const lumaforge::Picture> replacement = pictures(old);
    return replacement ? replacement : old;
}

ScaledLayout::Place ScaledLayout::Record(HWND hwnd) const {
    RECT bounds{};
    GetWindowRect(hwnd, &bounds);
    // A drop-down list's height is that of its open list; the closed box takes the font's.
    if (IsComboBox(hwnd)) {
        RECT dropped{};
        if (SendMessageW(hwnd, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
            bounds.bottom = bounds.top + (dropped.bottom - dropped.top);
    }
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&bounds), 2);
    const LayoutSize client = ClientSize(hwnd);
    return {{UnscaleLength(bounds.left, dpi_), UnscaleLength(bounds.top, dpi_), UnscaleLength(bounds.right, dpi_),
             UnscaleLength(bounds.bottom, dpi_)},
            {UnscaleLength(client.width, dpi_), UnscaleLength(client.height, dpi_)}};
}

void ScaledLayout::Apply(HWND root, ScaleChange& change) {
    std::vector<HWND> windows;
    CollectPreorder(root, windows);
    // Windows that are gone; a handle may come back for another window.
    std::erase_if(places_, [&](const auto& entry) { return !IsWindow(entry.first) || !IsChild(root, entry.first); });
    for (HWND hwnd : windows)
        if (!places_.contains(hwnd))
            places_.emplace(hwnd, Record(hwnd));
    dpi_ = change.dpi;

    for (HWND hwnd : windows) {
        if (!IsWindow(hwnd))
            continue;  // a handler before it destroyed it
        const Place& place = places_.at(hwnd);
        const HWND parent = GetParent(hwnd);
        const auto parentPlace = places_.find(parent);
        const LayoutSize parent96 = parent == root                 ? clientSize96_
                                    : parentPlace != places_.end() ? parentPlace->second.client96
                                                                   : LayoutSize{};
        const LayoutBox box = ScaleChildBox(place.box96, parent96, ClientSize(parent), change.dpi);
        SetWindowPos(hwnd, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        if (Window* window = Window::FromHandle(hwnd)) {
            window->OnScaleChanged(change);
        } else if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0))) {
            if (HFONT replacement = change.Font(font); replacement != font)
                SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(replacement), TRUE);
        }
    }
    // The closed height of a drop-down list follows its new font only now; its open height is set.
    InvalidateRect(root, nullptr, TRUE);
}

int WindowDpi(HWND hwnd) {
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = UserProc<GetDpiForWindowProc>("GetDpiForWindow");
    if (getDpiForWindow && hwnd)
        if (const UINT dpi = getDpiForWindow(hwnd))
            return static_cast<int>(dpi);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

RECT FrameForClient(SIZE client, DWORD style, DWORD exStyle, int dpi) {
    using AdjustForDpiProc = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = UserProc<AdjustForDpiProc>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    if (!adjustForDpi || !adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return frame;
}

}  // namespace lumaforge
