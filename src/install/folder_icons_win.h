#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "install/folder_icon_settings.h"

namespace lumaforge {

// The shell's side of a folder's own icon (its settings file is made in folder_icon_settings.h).

// Hides the folder's settings file, as the shell keeps it, when there is one.
void HideFolderSettingsFile(const std::string& folder);

// Gives the folder the system attribute (PathMakeSystemFolder); false when that failed.
bool MakeSystemFolder(const std::string& folder);

// Calls the export 633 of shlwapi.dll with 47 when the library has it as an export without a
// name; any error it raises is swallowed.
void CallShlwapiOrdinal633();

// Whether the module exports something under the ordinal, and by the ordinal only.
bool IsNamelessExport(HMODULE module, WORD ordinal);

// Calls `function(argument)` on this thread; false when it raised an error (a processor fault or
// a raised error status), which is then swallowed and the call abandoned where it stood.
bool CallSwallowingFaults(void(WINAPI* function)(DWORD), DWORD argument);

// Makes the shell show the folder's icon anew: CallShlwapiOrdinal633, then the notifications
// SHCNE_UPDATEIMAGE, SHCNE_UPDATEITEM and SHCNE_ASSOCCHANGED for the folder's path.
void NotifyFolderIconChanged(const std::string& folder);

// The system's folder picker, owned by `owner`, titled `title`, rooted at `root` (the desktop when
// empty), starting at `initial`; only file-system folders can be confirmed. The program's other
// windows stay disabled while it is open. True, with the path in `chosen`, when a folder was
// confirmed.
bool BrowseForFolder(HWND owner, const std::string& title, const std::string& root, const std::string& initial,
                     std::string& chosen);

}  // namespace lumaforge
