// The stand-in logon program of the demo login-screen packages. It only shows a window that says
// what it is; it asks for nothing and changes nothing, so a system that does start it stays usable.
// Esc, Enter or the close button end it.
#include <windows.h>

#include "base/handles_win.h"

namespace {

using lumaforge::UniqueGdiObj;

constexpr wchar_t kClassName[] = L"LumaforgeDemoLogon";
constexpr wchar_t kTitle[] = L"Lumaforge demo login screen";
constexpr wchar_t kHeading[] = L"Lumaforge demo login screen";
constexpr wchar_t kNote[] =
    L"This is the login screen of a Lumaforge demo package. It is a stand-in and does not log anyone on.\n"
    L"Press Esc to close it.";
constexpr int kWidth = 560;
constexpr int kHeight = 240;

struct Fonts {
    UniqueGdiObj<HFONT> heading;
    UniqueGdiObj<HFONT> note;
};

Fonts fonts;

void PaintGradient(HDC dc, const RECT& area) {
    // Dark blue at the top to a lighter blue at the bottom, in bands of four pixels.
    const LONG span = area.bottom - area.top > 0 ? area.bottom - area.top : 1;
    for (LONG y = area.top; y < area.bottom; y += 4) {
        const int t = static_cast<int>((y - area.top) * 255 / span);
        UniqueGdiObj<HBRUSH> brush(CreateSolidBrush(RGB(16 + t / 6, 48 + t / 4, 112 + t / 3)));
        RECT band{area.left, y, area.right, y + 4};
        FillRect(dc, &band, brush.Get());
    }
}

void Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client{};
    GetClientRect(window, &client);
    PaintGradient(dc, client);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(dc, fonts.heading.Get());
    RECT heading{client.left + 24, client.top + 40, client.right - 24, client.top + 100};
    DrawTextW(dc, kHeading, -1, &heading, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, fonts.note.Get());
    RECT note{client.left + 24, client.top + 120, client.right - 24, client.bottom - 16};
    DrawTextW(dc, kNote, -1, &note, DT_CENTER | DT_WORDBREAK);
    SelectObject(dc, old);
    EndPaint(window, &ps);
}

LRESULT CALLBACK LogonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE || wParam == VK_RETURN)
                DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HFONT MakeFont(int height, int weight) {
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Segoe UI");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    fonts.heading.Reset(MakeFont(28, FW_SEMIBOLD));
    fonts.note.Reset(MakeFont(15, FW_NORMAL));

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = LogonProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassW(&windowClass))
        return 1;

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, kWidth, kHeight};
    AdjustWindowRect(&frame, style, FALSE);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    HWND window = CreateWindowExW(0, kClassName, kTitle, style, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                                  instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
