// The screen saver of the demo packages: "Lumaforge" bouncing over a black screen. It answers the
// arguments Windows hands a screen saver: "/s" runs it full screen, "/p <window>" draws into the
// preview box of the Display control panel until that box goes, "/c" (and no argument at all, as
// Windows treats it) shows its settings, of which it has none. Any other argument ends it at once.
#include <windows.h>

#include <cstdlib>
#include <cwctype>
#include <iterator>

#include "base/handles_win.h"

namespace {

using lumaforge::UniqueGdiObj;
using lumaforge::UniqueMemoryDc;

constexpr wchar_t kClassName[] = L"LumaforgeDemoSaver";
constexpr wchar_t kTitle[] = L"Lumaforge";
constexpr wchar_t kText[] = L"Lumaforge";
constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFrameMs = 30;
// Mice report small moves on their own, and Windows sends one move as the window appears.
constexpr int kMouseSlack = 4;
constexpr COLORREF kColours[] = {RGB(255, 215, 64), RGB(96, 200, 255), RGB(255, 112, 160), RGB(128, 240, 128),
                                 RGB(200, 150, 255)};

struct SaverState {
    bool preview = false;
    UniqueGdiObj<HFONT> font;
    SIZE textSize{};
    POINT position{};
    POINT step{};
    int colour = 0;
    bool mouseSeen = false;
    POINT firstMouse{};
};

SaverState state;

void PrepareScene(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    const int height = client.bottom > 0 ? client.bottom : 1;
    state.font.Reset(CreateFontW(-(height / 8 > 8 ? height / 8 : 8), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                 DEFAULT_PITCH | FF_SWISS, L"Arial"));
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, state.font.Get());
    GetTextExtentPoint32W(dc, kText, lstrlenW(kText), &state.textSize);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    const int speed = height / 150 > 1 ? height / 150 : 1;
    state.step = {speed, speed};
    state.position = {(client.right - state.textSize.cx) / 2, (client.bottom - state.textSize.cy) / 3};
}

// One step of the bounce; the colour changes whenever the text meets an edge.
void Advance(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    const LONG maxX = client.right - state.textSize.cx;
    const LONG maxY = client.bottom - state.textSize.cy;
    state.position.x += state.step.x;
    state.position.y += state.step.y;
    bool bounced = false;
    if ((state.position.x <= 0 && state.step.x < 0) || (state.position.x >= maxX && state.step.x > 0)) {
        state.step.x = -state.step.x;
        bounced = true;
    }
    if ((state.position.y <= 0 && state.step.y < 0) || (state.position.y >= maxY && state.step.y > 0)) {
        state.step.y = -state.step.y;
        bounced = true;
    }
    if (bounced)
        state.colour = (state.colour + 1) % static_cast<int>(std::size(kColours));
    InvalidateRect(window, nullptr, FALSE);
}

// Drawn off screen first, so the moving text does not flicker.
void Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client{};
    GetClientRect(window, &client);
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    UniqueGdiObj<HBITMAP> canvas(CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (memory && canvas) {
        HGDIOBJ oldBitmap = SelectObject(memory.Get(), canvas.Get());
        FillRect(memory.Get(), &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        HGDIOBJ oldFont = SelectObject(memory.Get(), state.font.Get());
        SetBkMode(memory.Get(), TRANSPARENT);
        SetTextColor(memory.Get(), kColours[state.colour]);
        TextOutW(memory.Get(), state.position.x, state.position.y, kText, lstrlenW(kText));
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
        SelectObject(memory.Get(), oldFont);
        SelectObject(memory.Get(), oldBitmap);
    }
    EndPaint(window, &ps);
}

bool MovedBeyondSlack(LPARAM lParam) {
    const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (!state.mouseSeen) {
        state.mouseSeen = true;
        state.firstMouse = at;
        return false;
    }
    return std::abs(at.x - state.firstMouse.x) > kMouseSlack || std::abs(at.y - state.firstMouse.y) > kMouseSlack;
}

LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            PrepareScene(window);
            SetTimer(window, kFrameTimer, kFrameMs, nullptr);
            return 0;
        case WM_TIMER:
            Advance(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_DESTROY:
            KillTimer(window, kFrameTimer);
            PostQuitMessage(0);
            return 0;
    }
    // The preview lives inside the control panel's window and leaves input to it.
    if (!state.preview) {
        switch (message) {
            case WM_SETCURSOR:
                SetCursor(nullptr);
                return TRUE;
            case WM_MOUSEMOVE:
                if (MovedBeyondSlack(lParam))
                    DestroyWindow(window);
                return 0;
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
            case WM_XBUTTONDOWN:
            case WM_MOUSEWHEEL:
                DestroyWindow(window);
                return 0;
            case WM_ACTIVATEAPP:
                if (!wParam)
                    DestroyWindow(window);
                return 0;
            case WM_SYSCOMMAND:
                if ((wParam & 0xFFF0) == SC_SCREENSAVE)
                    return 0;  // already running
                break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int RunSaver(HINSTANCE instance, HWND previewParent) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = SaverProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassW(&windowClass))
        return 1;

    HWND window = nullptr;
    if (previewParent) {
        // The child goes with the preview box: its WM_DESTROY ends the loop.
        state.preview = true;
        RECT box{};
        GetClientRect(previewParent, &box);
        window = CreateWindowExW(0, kClassName, kTitle, WS_CHILD | WS_VISIBLE, 0, 0, box.right, box.bottom,
                                 previewParent, nullptr, instance, nullptr);
    } else {
        window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, kTitle, WS_POPUP | WS_VISIBLE,
                                 GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                                 GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr,
                                 nullptr, instance, nullptr);
        if (window)
            SetForegroundWindow(window);
    }
    if (!window)
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

// "/s", "-S", "/p 1234", "/c:1234": the letter, and the window number that may follow it.
wchar_t ParseArguments(const wchar_t* text, HWND& window) {
    while (*text == L' ' || *text == L'\t')
        ++text;
    if (*text != L'/' && *text != L'-')
        return L'c';
    const wchar_t letter = static_cast<wchar_t>(std::towlower(text[1]));
    if (letter == 0)
        return L'c';
    text += 2;
    while (*text == L':' || *text == L' ' || *text == L'\t')
        ++text;
    window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(text, nullptr, 10)));
    return letter;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
    HWND window = nullptr;
    switch (ParseArguments(arguments ? arguments : L"", window)) {
        case L's':
            return RunSaver(instance, nullptr);
        case L'p':
            return window && IsWindow(window) ? RunSaver(instance, window) : 1;
        case L'c':
            MessageBoxW(window && IsWindow(window) ? window : nullptr, L"No settings", kTitle,
                        MB_OK | MB_ICONINFORMATION);
            return 0;
        default:
            return 0;
    }
}
