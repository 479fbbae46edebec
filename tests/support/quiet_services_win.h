#pragma once
#include <string>

#include "app/main_window_win.h"
#include "support/win_test_support.h"

namespace lumaforge::test {

// Services for a main window that asks nothing: no updater, no start-page question, every message
// answered with OK; the resource and API server at `url`, no catalog key.
inline TFrmMain::Services QuietServices(const std::string& url) {
    TFrmMain::Services services;
    services.resourceUrl = url;
    services.apiUrl = url;
    // The test servers sign nothing unless a test says so, whatever key the build (run.sh) holds.
    services.catalogPublicKey.clear();
    services.callUpdater = [](HWND) {};
    services.showHomePagePrompt = [] {};
    services.showMessage = [](HWND, const std::string&, TMsgKind) { return IDOK; };
    return services;
}

// Shows the window as the program does and runs the loop until the catalog has filled the lists
// (or failed and said so); whether it settled.
inline bool ShowAndLoadCatalog(TFrmMain& window, int showCommand = SW_SHOWNOACTIVATE) {
    ShowWindow(window.Handle(), showCommand);
    return PumpUntil([&] { return window.CatalogSettled(); }, 30000);
}

// The window as the user meets it for input: created, shown with its catalog loaded, and in front
// (real keys and clicks go to the foreground window); whether it got that far.
inline bool OpenInFront(TFrmMain& window) {
    if (!window.Create() || !ShowAndLoadCatalog(window, SW_SHOW))
        return false;
    SetForegroundWindow(window.Handle());
    return true;
}

// The first row of the list, category or not, with this name; kNoNode when there is none.
inline NodeId RowNamed(ResourceList& list, const std::string& name) {
    for (size_t i = 0; i < list.Tree().Size(); ++i)
        if (list.Tree().Item(static_cast<NodeId>(i)).Name.View() == name)
            return static_cast<NodeId>(i);
    return kNoNode;
}

}  // namespace lumaforge::test
