#pragma once
#include <string>

#include "install/install_context_win.h"

namespace lumaforge {

// A login screen: its files straight into the Windows folder, and the logon system pointed at the
// "logonui.exe" there. Never marked installed.
bool InstallLoginScreen(InstallContext& ctx, const std::string& packagePath);
// The link "Restore the default login screen".
void RestoreDefaultLoginScreen(InstallContext& ctx);

}  // namespace lumaforge
