#pragma once
#include <string>

#include "base/resource_kind.h"
#include "install/install_context_win.h"

namespace lumaforge {

// The installer of a kind for a cached package; true when the row counts as installed. Login
// screens never do.
bool InstallPackage(InstallContext& ctx, TResourceKind kind, const std::string& packagePath);
// "&Apply directly" for an installed package of a kind that offers it.
void ApplyDirectly(InstallContext& ctx, TResourceKind kind, const std::string& name);
// "&Uninstall": removes what the installer put into the system; true when the row's installed mark
// goes. Only visual styles, cursor schemes, screen savers and sound schemes are uninstalled.
bool Uninstall(InstallContext& ctx, TResourceKind kind, const std::string& name);
// The restore link of a kind's page (for screen savers: "Cancel the screensaver").
void RestoreDefaults(InstallContext& ctx, TResourceKind kind);

}  // namespace lumaforge
