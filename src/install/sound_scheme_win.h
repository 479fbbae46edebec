#pragma once
#include <string>

#include "install/install_context_win.h"

namespace lumaforge {

// Launches the default installation of an INF file through the platform's setup interface
// (rundll32 setupapi,InstallHinfSection), hidden, without waiting for it; true when it launched.
bool RunInfInstall(InstallContext& ctx, const std::string& infPath);

// Runs <WinPath>\Media\<name>\install.inf, which registers the scheme and its sounds.
bool ApplySoundScheme(InstallContext& ctx, const std::string& name);

// Makes ".default" the active scheme and copies each event's ".Default" sound into its ".current"
// one, for the applications ".Default" and "Explorer". Keys are never created; a refused write
// raises std::runtime_error.
void RestoreDefaultSoundScheme();

// The link "Restore the default sound scheme": the restore, and its report.
void RestoreDefaultSounds(InstallContext& ctx);

// Removes a scheme: its event sounds under ".Default" and "Explorer", its registration and the
// folder <WinPath>\Media\<name>. The active scheme is replaced by the default one first. False
// when "AppEvents\Schemes" does not exist, or for a name that is no single folder name.
bool RemoveSoundScheme(InstallContext& ctx, const std::string& name);

}  // namespace lumaforge
