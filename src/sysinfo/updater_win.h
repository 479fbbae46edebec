#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace lumaforge {

// The updater library beside the program and its one function. DoUpdate gets the window that owns
// its questions and the address of the update list as an ANSI string; it returns when it is done
// (its result means nothing to the program).
inline constexpr char kUpdaterLibrary[] = "Update.dll";
inline constexpr char kUpdaterFunction[] = "DoUpdate";
using DoUpdateFunction = BOOL(WINAPI*)(HWND owner, const char* updateListAddress);

// Where the update list lies on the resource server.
inline constexpr char kUpdateListServerPath[] = "SiteBack/updateTxt/1.txt";

std::string UpdateListAddress(std::string_view resourceUrl);
std::string UpdaterLibraryPath(std::string_view appPath);

// Loads the library at `libraryPath` at run time, calls its DoUpdate and frees it again. A missing
// or damaged library, or one without DoUpdate, only means the call is skipped: false then, true
// when DoUpdate ran. The program must start and run without the library.
bool CallUpdater(const std::string& libraryPath, HWND owner, const std::string& updateListAddress);

}  // namespace lumaforge
