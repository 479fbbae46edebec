#pragma once
#include <windows.h>

#include <functional>
#include <initializer_list>

namespace lumaforge::test {

// Input as a user gives it: queued by SendInput, so it reaches the program's windows only through
// the message loop, with focus, capture, menus and translation doing their part.

// Presses and releases each key in turn.
bool PressKeys(std::initializer_list<WORD> keys);
// Holds `modifier` down while `key` is pressed and released (Shift+F10, Ctrl+1).
bool PressChord(WORD modifier, WORD key);
// Keys held down across other input (Alt and Ctrl over a click), released in the reverse order.
bool HoldKeys(std::initializer_list<WORD> keys);
bool ReleaseKeys(std::initializer_list<WORD> keys);

enum class MouseButton { Left, Right };
// Moves the pointer over the point of the window's client area and clicks it `clicks` times.
bool ClickAt(HWND window, POINT client, MouseButton button = MouseButton::Left, int clicks = 1);
// Opens the window's pop-up menu with the right button at the point and picks an item by its
// access key.
bool PickFromMenuAt(HWND window, POINT client, WORD accessKey);
// The same at a point of the screen.
bool ClickOnScreen(POINT screen, MouseButton button = MouseButton::Left, int clicks = 1);
// Moves the pointer to the point of the window's client area in one step, pressing or releasing
// buttons there (MOUSEEVENTF_LEFTDOWN, ...), for tests that look at a control between the steps.
bool MoveMouseTo(HWND window, POINT client, DWORD buttons = 0);

// Runs the program's own loop (the main window's keyboard navigation included) until `done`
// holds or `ms` milliseconds have passed; whether it held. A menu or dialogue opened meanwhile
// runs its own loop inside a dispatch, as it does for the user.
bool LoopUntil(HWND mainWindow, const std::function<bool()>& done, DWORD ms = 5000);

}  // namespace lumaforge::test
