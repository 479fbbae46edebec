#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace lumaforge {

// What gives one folder its own icon in the shell: a hidden "desktop.ini" inside it that names the
// icon file, and the folder's system attribute, without which the shell does not read that file.

// "desktop.ini" in the folder, written with or without a trailing backslash.
std::string FolderSettingsFile(std::string_view folder);

// The settings file's lines for an icon file, each ended by CR LF.
std::string FolderIconSettingsText(std::string_view iconFile);

// Replaces the folder's settings file, whatever it held, by one naming the icon, and hides it. The
// file is in the ANSI code page, or in UTF-16 when the icon's path does not fit that code page.
// Raises std::runtime_error when the file cannot be written.
void WriteFolderIconSettings(const std::string& folder, const std::string& iconFile);

// Deletes the folder's settings file; a missing one is no error. Raises std::runtime_error when the
// file stays.
void DeleteFolderIconSettings(const std::string& folder);

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
