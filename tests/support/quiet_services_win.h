#pragma once
#include <string>

#include "app/main_window_win.h"

namespace lumaforge::test {

// Services for a main window that asks nothing: no updater, no start-page question, every message
// answered with OK; the resource and API server at `url`.
inline TFrmMain::Services QuietServices(const std::string& url) {
    TFrmMain::Services services;
    services.resourceUrl = url;
    services.apiUrl = url;
    services.callUpdater = [](HWND) {};
    services.showHomePagePrompt = [] {};
    services.showMessage = [](HWND, const std::string&, TMsgKind) { return IDOK; };
    return services;
}

}  // namespace lumaforge::test
