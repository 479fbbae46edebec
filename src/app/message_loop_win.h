#pragma once
#include <windows.h>

namespace lumaforge {

// One message as the program's loop handles it: the main window's own keys first (page shortcuts,
// F5), then its keyboard navigation (Tab between controls, Enter and Escape for the window unless
// a control asks for them), then the usual translation and dispatch.
void DispatchProgramMessage(HWND mainWindow, MSG& msg);

// The program's message loop; returns the exit code of the quit message.
int RunMessageLoop(HWND mainWindow);

}  // namespace lumaforge
