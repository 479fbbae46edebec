#include "sysinfo/updater_win.h"

#include "base/handles_win.h"
#include "base/unicode_win.h"

namespace lumaforge {
namespace {

// The list's address as the ANSI text DoUpdate takes. Our addresses are ASCII; anything the ANSI
// code page cannot hold would reach the library as '?', so such an address is not passed at all.
bool ToAnsi(const std::string& utf8, std::string& ansi) {
    const std::wstring wide = ToWide(utf8);
    if (wide.empty())
        return utf8.empty();
    BOOL lossy = FALSE;
    const int size =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, &lossy);
    if (size <= 0 || lossy)
        return false;
    ansi.resize(size);
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), size, nullptr, nullptr);
    return true;
}

}  // namespace

std::string UpdateListAddress(std::string_view resourceUrl) {
    return std::string(resourceUrl) + kUpdateListServerPath;
}

std::string UpdaterLibraryPath(std::string_view appPath) {
    return std::string(appPath) + kUpdaterLibrary;
}

bool CallUpdater(const std::string& libraryPath, HWND owner, const std::string& updateListAddress) {
    std::string address;
    if (!ToAnsi(updateListAddress, address))
        return false;
    // A damaged file must fail quietly instead of raising the system's bad-image box. The full
    // path keeps the search order away; the altered search path lets the library find its own
    // neighbours.
    DWORD oldMode = 0;
    const BOOL modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    UniqueModule library(LoadLibraryExW(ToWide(libraryPath).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (modeSet)
        SetThreadErrorMode(oldMode, nullptr);
    if (!library)
        return false;
    auto doUpdate =
        reinterpret_cast<DoUpdateFunction>(reinterpret_cast<void*>(GetProcAddress(library.Get(), kUpdaterFunction)));
    if (!doUpdate)
        return false;
    doUpdate(owner, address.c_str());
    return true;
}

}  // namespace lumaforge
