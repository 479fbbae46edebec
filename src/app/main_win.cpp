#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <exception>
#include <string>

#include "app/main_window_win.h"
#include "app/message_loop_win.h"
#include "base/unicode_win.h"
#include "install/install_context_win.h"
#include "install/installers.h"
#include "net/msg_box_win.h"

namespace {

// The uninstaller runs the program with this switch before it removes it: the program holds the
// records of what it installed, so only the program can take every customisation back. No window
// is shown; the exit code says how it went.
constexpr wchar_t kTakeBackSwitch[] = L"/takeback";
constexpr int kTakenBack = 0;
constexpr int kSomethingStayed = 1;

bool HasTakeBackSwitch() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return false;
    const bool found = count == 2 && lstrcmpiW(arguments[1], kTakeBackSwitch) == 0;
    LocalFree(arguments);
    return found;
}

int TakeBackEveryCustomisation(const std::wstring& programPath) {
    using namespace lumaforge;
    std::string folder = ToUtf8(programPath);
    folder.erase(folder.find_last_of('\\') + 1);
    ProgramPaths paths;
    paths.SetProgramFolder(folder);
    WinSystem system;
    try {
        const TakeBackReport report = TakeBackEverything(paths, {system.files, system.registry, system.settings});
        return report.Finished() ? kTakenBack : kSomethingStayed;
    } catch (const std::exception&) {
        // The journals stay where they are, for the next start or the next try.
        return kSomethingStayed;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    using namespace lumaforge;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (HasTakeBackSwitch()) {
        const int status = TakeBackEveryCustomisation(path);
        OleUninitialize();
        return status;
    }
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
