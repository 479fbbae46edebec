#pragma once
#include <string>

#include "install/install_context_win.h"

namespace lumaforge {

// A screen saver: "<name>.scr" and its files in the system folder, made the user's screen saver
// and started at once.
bool InstallScreenSaver(InstallContext& ctx, const std::string& packagePath);
bool ApplyScreenSaver(InstallContext& ctx, const std::string& name);
// Makes `file` the screen saver, or none when cancelling; true when the setting was written.
bool SetScreenSaver(InstallContext& ctx, const std::string& file, bool cancel);
// The link "Cancel the screensaver".
void CancelScreenSaver(InstallContext& ctx);
// "&Preview the screensaver": runs the installed screen saver.
void PreviewScreenSaver(InstallContext& ctx, const std::string& name);

}  // namespace lumaforge
