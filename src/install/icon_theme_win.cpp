#include "install/icon_theme_win.h"

#include <charconv>
#include <stdexcept>
#include <vector>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/registry_win.h"
#include "base/text.h"
#include "base/unicode_win.h"

namespace lumaforge {
namespace {
constexpr char kClsidKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID";
constexpr char kShellIconsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Icons";
constexpr char kMailIconKey[] = "SOFTWARE\\Clients\\Mail\\Outlook Express\\DefaultIcon";
constexpr char kBrowsersKey[] = "SOFTWARE\\Clients\\StartMenuInternet";
constexpr char kWindowMetricsKey[] = "Control Panel\\Desktop\\WindowMetrics";
constexpr char kShellIconSize[] = "Shell Icon Size";
constexpr char kBackup[] = "Lumaforge_Backup";

// A client's own icon is kept once, at the first theme ever applied, so that a restore after any
// number of themes gives it back; the backup keeps the icon's value type.
void SetClientIcon(const std::string& path, const std::string& location) {
    RegistryKey key = RegistryKey::CreateOrThrow(HKEY_LOCAL_MACHINE, path);
    if (!key.HasValue(kBackup))
        key.WriteStringOrThrow(kBackup, key.ReadString("").value_or(""), key.IsExpandable(""));
    key.WriteStringOrThrow("", location);
}

void RestoreClientIcon(const std::string& path) {
    RegistryKey key = RegistryKey::OpenToChange(HKEY_LOCAL_MACHINE, path);
    if (!key)
        return;
    if (const std::optional<std::string> backup = key.ReadString(kBackup))
        key.WriteStringOrThrow("", *backup, key.IsExpandable(kBackup));
}

bool SameSection(std::string_view a, std::string_view b) {
    return AsciiLower(a) == AsciiLower(b);
}

void WriteShellIconSize(const std::string& size) {
    RegistryKey metrics = RegistryKey::OpenToChange(HKEY_CURRENT_USER, kWindowMetricsKey);
    if (!metrics)
        throw std::runtime_error(std::string("Cannot open the registry key HKEY_CURRENT_USER\\") + kWindowMetricsKey);
    metrics.WriteStringOrThrow(kShellIconSize, size);
}
}  // namespace

void TSetIcons::SetIcons(const std::string& themeFile, bool restore) {
    theme_.reset();
    if (!themeFile.empty()) {
        std::string bytes;
        if (!ReadWholeFile(themeFile, bytes))
            throw std::runtime_error("Cannot open file \"" + themeFile + "\"");
        theme_.emplace(DecodeMarkedText(bytes, WinAnsiCodePage()), ThemePathOf(themeFile));
    }
    SetDesktopIcons(restore);
    SetStartIcons(restore);
    SetFolderIcons(restore);
    SetDriveIcons(restore);
    SetOtherIcons(restore);
    RefreshShellIcons();
}

void TSetIcons::SetDesktopIcons(bool restore) {
    SetClsidIcons("Desktop Icons", restore);
}

void TSetIcons::SetStartIcons(bool restore) {
    SetClsidIcons("Start Icons", restore);
    if (restore) {
        RestoreClientIcon(kMailIconKey);
        if (const RegistryKey browsers = RegistryKey::OpenToRead(HKEY_LOCAL_MACHINE, kBrowsersKey)) {
            for (const std::string& browser : browsers.SubKeyNames())
                RestoreClientIcon(std::string(kBrowsersKey) + "\\" + browser + "\\DefaultIcon");
        }
        return;
    }
    // A theme without a mail icon leaves the browsers alone too.
    const std::string mail = Location("Start Icons", "E-mail");
    if (mail.empty())
        return;
    SetClientIcon(kMailIconKey, mail);
    const std::string internet = Location("Start Icons", "Internet");
    if (internet.empty())
        return;
    if (const RegistryKey browsers = RegistryKey::OpenToRead(HKEY_LOCAL_MACHINE, kBrowsersKey)) {
        for (const std::string& browser : browsers.SubKeyNames())
            SetClientIcon(std::string(kBrowsersKey) + "\\" + browser + "\\DefaultIcon", internet);
    }
}

void TSetIcons::SetFolderIcons(bool restore) {
    SetClsidIcons("Folder Icons", restore);
    SetShellIcons("Folder Icons", restore);
}

void TSetIcons::SetDriveIcons(bool restore) {
    SetShellIcons("Drive Icons", restore);
}

void TSetIcons::SetOtherIcons(bool restore) {
    SetShellIcons("Other Icons", restore);
}

void TSetIcons::SetClsidIcons(std::string_view section, bool restore) {
    for (const ClsidIconRow& row : ClsidIconTable) {
        if (!SameSection(row.section, section))
            continue;
        const std::string classKey = std::string(kClsidKey) + "\\" + row.clsid;
        if (restore) {
            // Also for a class the theme never set, and once more for the recycle bin's second row.
            RegistryKey::DeleteTree(HKEY_CURRENT_USER, classKey);
            continue;
        }
        const std::string location = Location(row.section, row.key);
        if (location.empty())
            continue;
        const std::string iconKey = classKey + "\\DefaultIcon";
        RegistryKey key = RegistryKey::CreateOrThrow(HKEY_CURRENT_USER, iconKey);
        key.WriteStringOrThrow(row.valueName, location);
    }
}

void TSetIcons::SetShellIcons(std::string_view section, bool restore) {
    RegistryKey key = restore ? RegistryKey::OpenToChange(HKEY_LOCAL_MACHINE, kShellIconsKey)
                              : RegistryKey::CreateOrThrow(HKEY_LOCAL_MACHINE, kShellIconsKey);
    if (!key)
        return;  // nothing to restore
    for (const ShellIconRow& row : ShellIconTable) {
        if (!SameSection(row.section, section))
            continue;
        if (restore) {
            key.DeleteValue(row.valueName);
            continue;
        }
        const std::string location = Location(row.section, row.key);
        if (!location.empty())
            key.WriteStringOrThrow(row.valueName, location);
    }
}

std::string TSetIcons::Location(std::string_view section, std::string_view key) const {
    return theme_ ? theme_->Location(section, key) : std::string();
}

bool RefreshShellIcons() {
    std::string size;
    {
        const RegistryKey metrics = RegistryKey::OpenToRead(HKEY_CURRENT_USER, kWindowMetricsKey);
        if (!metrics)
            return false;
        size = metrics.ReadString(kShellIconSize).value_or("");
    }
    const std::string_view digits = Trim(size);
    int pixels = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pixels);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return false;  // the icons are written all the same; the shell shows them when it next reads them
    WriteShellIconSize(std::to_string(pixels - 1));
    BroadcastIconMetrics();
    WriteShellIconSize(size);
    BroadcastIconMetrics();
    return true;
}

void BroadcastIconMetrics() {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETICONMETRICS, 0, SMTO_ABORTIFHUNG, 10000, &result);
}

bool ApplyIconTheme(InstallContext& ctx, const std::string& themeFile) {
    if (!FileExists(themeFile))
        return false;
    TSetIcons().SetIcons(themeFile, false);
    ctx.showMessage("Applied system icons successfully.", mkInformation);
    return true;
}

void RestoreDefaultIcons(InstallContext& ctx) {
    TSetIcons().SetIcons({}, true);
    ctx.showMessage("Restored default system icons successfully.", mkInformation);
}

}  // namespace lumaforge
