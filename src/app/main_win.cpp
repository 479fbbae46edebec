#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/main_window_win.h"
#include "app/message_loop_win.h"
#include "net/msg_box_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    using namespace lumaforge;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    LoadMsgBoxCaptions();

    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    TFrmMain window(path, {});
    window.SetQuitOnDestroy(true);
    if (!window.Create())
        return 1;
    ShowWindow(window.Handle(), showCommand == SW_HIDE ? SW_SHOWNORMAL : showCommand);
    UpdateWindow(window.Handle());

    const int exitCode = RunMessageLoop(window.Handle());
    OleUninitialize();
    return exitCode;
}
