#include "sysinfo/links_win.h"

#include <windows.h>

namespace lumaforge {

std::string HomepageAddress(std::string_view resourceUrl) {
    return std::string(resourceUrl) + kHomepageServerPath;
}

void OpenWebPage(const ShellExecuteFunction& shellExecute, const std::string& address) {
    if (shellExecute && !address.empty())
        shellExecute("open", address, "", SW_SHOWNORMAL);
}

}  // namespace lumaforge
