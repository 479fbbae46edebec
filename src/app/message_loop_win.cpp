#include "app/message_loop_win.h"

#include "controls/window_win.h"

namespace lumaforge {

void DispatchProgramMessage(HWND mainWindow, MSG& msg) {
    // The window's own keys (page shortcuts, F5) come first; only those of its own controls.
    if (msg.hwnd == mainWindow || IsChild(mainWindow, msg.hwnd)) {
        if (Window* window = Window::FromHandle(mainWindow); window && window->PreTranslate(msg))
            return;
    }
    if (IsDialogMessageW(mainWindow, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int RunMessageLoop(HWND mainWindow) {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchProgramMessage(mainWindow, msg);
    return static_cast<int>(msg.wParam);
}

}  // namespace lumaforge
