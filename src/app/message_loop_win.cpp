#include "app/message_loop_win.h"

namespace lumaforge {

void DispatchProgramMessage(HWND mainWindow, MSG& msg) {
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
