#include "install/screen_saver_win.h"

#include "base/files_win.h"
#include "base/registry_win.h"
#include "base/unicode_win.h"
#include "install/package_name.h"

namespace lumaforge {
namespace {
constexpr char kDesktopKey[] = "Control Panel\\Desktop";

// The 8.3 form, which the screen saver setting has always held; the long form when the file system
// keeps no short names.
std::string ShortPath(const std::string& path) {
    const std::wstring wide = ToWide(path);
    std::wstring buffer(MAX_PATH, L'\0');
    DWORD length = GetShortPathNameW(wide.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length > buffer.size()) {
        buffer.resize(length);
        length = GetShortPathNameW(wide.c_str(), buffer.data(), length);
    }
    return length > 0 && length <= buffer.size() ? ToUtf8(buffer.substr(0, length)) : path;
}
}  // namespace

bool InstallScreenSaver(InstallContext& ctx, const std::string& packagePath) {
    ctx.extractor.ExtractPackage(packagePath, ctx.paths.SysPath(), TOverwriteMode::Always);
    return ApplyScreenSaver(ctx, PackageNameWithoutLastFour(packagePath));
}

bool ApplyScreenSaver(InstallContext& ctx, const std::string& name) {
    return SetScreenSaver(ctx, ctx.paths.InstalledScreenSaverFile(name), false);
}

bool SetScreenSaver(InstallContext& ctx, const std::string& file, bool cancel) {
    if (!cancel && !FileExists(file)) {
        ctx.showMessage("没有找到屏保文件", mkInformation);
        return false;
    }
    RegistryKey desktop = RegistryKey::OpenToChange(HKEY_CURRENT_USER, kDesktopKey);
    if (!desktop)
        return false;
    if (cancel) {
        desktop.WriteStringOrThrow("SCRNSAVE.EXE", "");
    } else {
        desktop.WriteStringOrThrow("SCRNSAVE.EXE", ShortPath(file));
        desktop.WriteStringOrThrow("ScreenSaverIsSecure", "1");
    }
    SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, 1, nullptr, SPIF_SENDCHANGE);
    if (!cancel)
        PostMessageW(GetDesktopWindow(), WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    return true;
}

void CancelScreenSaver(InstallContext& ctx) {
    if (SetScreenSaver(ctx, {}, true))
        ctx.showMessage("Canceled screensavers successfully.", mkInformation);
}

void PreviewScreenSaver(InstallContext& ctx, const std::string& name) {
    // "/s" runs it as the shell's own verb for screen savers does; a system that knows no screen
    // savers (Wine) would start it without arguments, which means: show your settings.
    ctx.shellExecute("open", ctx.paths.InstalledScreenSaverFile(name), "/s", SW_SHOWNORMAL);
}

}  // namespace lumaforge
