#include "support/real_input_win.h"

#include <gtest/gtest.h>

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

// What the mouse messages this thread took from its queue showed; a hook has no other way out.
struct MouseSeen {
    POINT last{-1, -1};
    int leftPresses = 0;
    int rightPresses = 0;
};
thread_local MouseSeen mouseSeen;

LRESULT CALLBACK NoteMouse(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0) {
        mouseSeen.last = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)->pt;
        if (wParam == WM_LBUTTONDOWN || wParam == WM_LBUTTONDBLCLK || wParam == WM_NCLBUTTONDOWN ||
            wParam == WM_NCLBUTTONDBLCLK)
            ++mouseSeen.leftPresses;
        if (wParam == WM_RBUTTONDOWN || wParam == WM_RBUTTONDBLCLK || wParam == WM_NCRBUTTONDOWN)
            ++mouseSeen.rightPresses;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Whether this process clicked, and whether it gave a press again. A press Wine held back can
// still arrive after the test ended, and must not land in the window of the next test process.
bool clickedHere = false;
bool pressGivenAgain = false;

class DrainLateClicks : public ::testing::Environment {
public:
    void TearDown() override {
        if (clickedHere)
            LoopUntil(
                nullptr, [] { return false; }, pressGivenAgain ? 2000 : 500);
    }
};
[[maybe_unused]] ::testing::Environment* const drainLateClicks =
    ::testing::AddGlobalTestEnvironment(new DrainLateClicks);

class MouseHook {
public:
    MouseHook() : hook_(SetWindowsHookExW(WH_MOUSE, NoteMouse, nullptr, GetCurrentThreadId())) { mouseSeen = {}; }
    ~MouseHook() {
        if (hook_)
            UnhookWindowsHookEx(hook_);
    }
    MouseHook(const MouseHook&) = delete;
    MouseHook& operator=(const MouseHook&) = delete;

private:
    HHOOK hook_;
};
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
    // Under Wine a press can vanish: the first one after the pointer arrived somewhere new is taken
    // as the arrival, and a loaded machine delays the X server's notice of it. Each press is
    // therefore watched until the program's loop takes it, and given again if it never came.
    const MouseHook hook;
    if (!SetCursorPos(screen.x, screen.y))
        return false;
    std::vector<INPUT> move{Mouse(MOUSEEVENTF_MOVE)};
    if (!Send(move))
        return false;
    const HWND root = GetAncestor(WindowFromPoint(screen), GA_ROOT);
    LoopUntil(
        root, [&] { return mouseSeen.last.x == screen.x && mouseSeen.last.y == screen.y; }, 2000);
    LoopUntil(
        root, [] { return false; }, 250);
    const bool left = button == MouseButton::Left;
    const int& presses = left ? mouseSeen.leftPresses : mouseSeen.rightPresses;
    // The clicks go in one batch, so that two of them always make a double click.
    std::vector<INPUT> inputs;
    for (int i = 0; i < clicks; ++i) {
        inputs.push_back(Mouse(left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN));
        inputs.push_back(Mouse(left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP));
    }
    clickedHere = true;
    for (int attempt = 0; attempt < 3 && presses == 0; ++attempt) {
        pressGivenAgain = pressGivenAgain || attempt > 0;
        if (!Send(inputs))
            return false;
        // The first press is taken (and handled) here; the rest stay queued for the caller's loop,
        // where a menu they open runs as it does for the user.
        LoopUntil(
            root, [&] { return presses != 0; }, 1500);
    }
    return presses != 0;
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
