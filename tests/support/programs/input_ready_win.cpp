// Run once before the Windows tests in a fresh Wine session: Wine's desktop process starts with the
// first window and, until it has, input given with SendInput can vanish. This shows a window, puts
// the pointer on it and clicks until the window has had the click through its own loop; it exits
// with 0 then (after the clicks still on their way have arrived), or 1 after 60 seconds.
#include <windows.h>

namespace {
bool clicked = false;

LRESULT CALLBACK ReadyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONUP)
        clicked = true;
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ReadyProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"InputReady";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, L"InputReady", L"Input ready", WS_POPUP | WS_VISIBLE, 100, 100, 200,
                                  200, nullptr, nullptr, instance, nullptr);
    SetForegroundWindow(window);
    const ULONGLONG end = GetTickCount64() + 60000;
    ULONGLONG nextClick = 0;
    while (!clicked && GetTickCount64() < end) {
        if (GetTickCount64() >= nextClick) {
            SetCursorPos(200, 200);
            INPUT click[2]{};
            click[0].type = click[1].type = INPUT_MOUSE;
            click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
            click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
            SendInput(2, click, sizeof(INPUT));
            nextClick = GetTickCount64() + 500;
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    // A click that Wine held back while its desktop started can still be on its way; it must land
    // here, not on the first test's window under the same point.
    const ULONGLONG settle = GetTickCount64() + 1500;
    while (GetTickCount64() < settle) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    DestroyWindow(window);
    return clicked ? 0 : 1;
}
