#include "install/login_screen_win.h"

#include "base/registry_win.h"

namespace lumaforge {
namespace {
constexpr char kWinlogonKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
}  // namespace

bool InstallLoginScreen(InstallContext& ctx, const std::string& packagePath) {
    ctx.extractor.ExtractPackage(packagePath, ctx.paths.WinPath(), TOverwriteMode::Always);
    RegistryKey winlogon = RegistryKey::Create(HKEY_LOCAL_MACHINE, kWinlogonKey);
    if (!winlogon)
        return false;
    winlogon.WriteStringOrThrow("UIHost", "%windir%\\\\logonui.exe");
    ctx.showMessage("Set login screen successfully.", mkInformation);
    return true;
}

void RestoreDefaultLoginScreen(InstallContext& ctx) {
    RegistryKey winlogon = RegistryKey::Create(HKEY_LOCAL_MACHINE, kWinlogonKey);
    if (!winlogon)
        return;
    winlogon.WriteStringOrThrow("UIHost", "logonui.exe");
    ctx.showMessage("Restored default system login screen successfully.", mkInformation);
}

}  // namespace lumaforge
