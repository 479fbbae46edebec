#pragma once
#include <string>

#include "install/install_context_win.h"

namespace lumaforge {

// Makes the installed scheme <WinPath>\Cursors\<name>\ the user's pointers: replaces the system
// cursors at once, writes "Control Panel\Cursors" so that the scheme outlives a restart and
// registers it under its name in "Control Panel\Cursors\Schemes". False when the cursor settings
// key cannot be opened (nothing is changed then). A missing setup.inf or a refused registry write
// raises std::runtime_error.
bool ApplyCursorScheme(InstallContext& ctx, const std::string& name);

// The link "Restore the default cursor": removes the role values and the scheme name from
// "Control Panel\Cursors", puts the program's built-in pointers in place and reports it. The
// registered schemes stay.
void RestoreDefaultCursors(InstallContext& ctx);

// Removes a scheme's entry from "Control Panel\Cursors\Schemes", as its uninstall does.
void RemoveCursorSchemeEntry(const std::string& name);

}  // namespace lumaforge
