#include "support/real_input_win.h"

#include <iterator>
#include <vector>

#include "app/message_loop_win.h"

namespace lumaforge::test {
namespace {
INPUT Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT Mouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

bool Send(std::vector<INPUT>& inputs) {
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}
}  // namespace

bool PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        inputs.push_back(Key(key, false));
        inputs.push_back(Key(key, true));
    }
    return Send(inputs);
}

bool PressChord(WORD modifier, WORD key) {
    std::vector<INPUT> inputs{Key(modifier, false), Key(key, false), Key(key, true), Key(modifier, true)};
    return Send(inputs);
}

bool HoldKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back(Key(key, false));
    return Send(inputs);
}

bool ReleaseKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        inputs.push_back(Key(*key, true));
    return Send(inputs);
}

bool MoveMouseTo(HWND window, POINT client, DWORD buttons) {
    ClientToScreen(window, &client);
    INPUT input = Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons);
    input.mi.dx = MulDiv(client.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(client.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    std::vector<INPUT> inputs{input};
    return Send(inputs);
}

bool ClickAt(HWND window, POINT client, MouseButton button, int clicks) {
    ClientToScreen(window, &client);
    return ClickOnScreen(client, button, clicks);
}

bool PickFromMenuAt(HWND window, POINT client, WORD accessKey) {
    return ClickAt(window, client, MouseButton::Right) && PressKeys({accessKey});
}

bool ClickOnScreen(POINT screen, MouseButton button, int clicks) {
    if (!SetCursorPos(screen.x, screen.y))
        return false;
    // Wine takes the first button press after the pointer jumped as the pointer's arrival and
    // drops it; the move goes through the loop first, as a hand on the mouse would make it.
    std::vector<INPUT> move{Mouse(MOUSEEVENTF_MOVE)};
    if (!Send(move))
        return false;
    LoopUntil(
        GetAncestor(WindowFromPoint(screen), GA_ROOT), [] { return false; }, 250);
    const DWORD down = button == MouseButton::Left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN;
    const DWORD up = button == MouseButton::Left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP;
    std::vector<INPUT> inputs;
    for (int i = 0; i < clicks; ++i) {
        inputs.push_back(Mouse(down));
        inputs.push_back(Mouse(up));
    }
    return Send(inputs);
}

bool LoopUntil(HWND mainWindow, const std::function<bool()>& done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() > end)
            return false;
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchProgramMessage(mainWindow, msg);
        else
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

}  // namespace lumaforge::test
