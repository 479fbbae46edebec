#include "install/login_screen_win.h"

#include <stdexcept>

#include "base/registry_win.h"

namespace lumaforge {
namespace {
constexpr char kWinlogonKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

void WriteUiHost(RegistryKey& key, const std::string& value) {
    if (!key.WriteString("UIHost", value))
        throw std::runtime_error("Cannot write the value \"UIHost\" of HKEY_LOCAL_MACHINE\\" +
                                 std::string(kWinlogonKey) + ".");
}
}  // namespace

bool InstallLoginScreen(InstallContext& ctx, const std::string& packagePath) {
    ctx.extractor.ExtractPackage(packagePath, ctx.paths.WinPath(), TOverwriteMode::Always);
    RegistryKey winlogon = RegistryKey::Create(HKEY_LOCAL_MACHINE, kWinlogonKey);
    if (!winlogon)
        return false;
    WriteUiHost(winlogon, "%windir%\\\\logonui.exe");
    ctx.showMessage("Set login screen successfully.", mkInformation);
    return true;
}

void RestoreDefaultLoginScreen(InstallContext& ctx) {
    RegistryKey winlogon = RegistryKey::Create(HKEY_LOCAL_MACHINE, kWinlogonKey);
    if (!winlogon)
        return;
    WriteUiHost(winlogon, "logonui.exe");
    ctx.showMessage("Restored default system login screen successfully.", mkInformation);
}

}  // namespace lumaforge
