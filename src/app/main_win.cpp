#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/main_window_win.h"
#include "app/message_loop_win.h"
#include "net/msg_box_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    using namespace lumaforge;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    TFrmMain window(path, {});
    window.SetQuitOnDestroy(true);
    // The frame goes on the screen first: the common controls, COM and GDI+ load (delay-loaded)
    // while the pages are built into the visible window.
    if (!window.CreateFrame())
        return 1;
    ShowWindow(window.Handle(), showCommand == SW_HIDE ? SW_SHOWNORMAL : showCommand);
    UpdateWindow(window.Handle());

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    LoadMsgBoxCaptions();
    window.BuildContents();

    const int exitCode = RunMessageLoop(window.Handle());
    OleUninitialize();
    return exitCode;
}
