#pragma once
#include <string>

#include "install/install_context_win.h"

namespace lumaforge {

// A visual style: "<name>.theme" and the folder "<name>" in the Windows theme folder, opened
// through the Display control panel, which applies it.
bool InstallVisualStyle(InstallContext& ctx, const std::string& packagePath);
bool ApplyVisualStyle(InstallContext& ctx, const std::string& name);

}  // namespace lumaforge
