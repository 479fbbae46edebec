#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "install/icon_theme.h"
#include "install/install_context_win.h"

namespace lumaforge {

// Writes an icon theme's locations into the registry, or takes them out again: per-user icons of
// shell folder classes, the machine-wide "Shell Icons" table, and the icons of the registered mail
// and browser clients, whose own icons are kept in "Lumaforge_Backup" at the first application and
// put back by a restore. A refused registry write raises std::runtime_error.
class TSetIcons {
public:
    // Applies a theme file (restore false) or restores the defaults (restore true; the file is
    // then not read), and makes the shell reload its icons.
    void SetIcons(const std::string& themeFile, bool restore);

    void SetDesktopIcons(bool restore);
    void SetStartIcons(bool restore);
    void SetFolderIcons(bool restore);
    void SetDriveIcons(bool restore);
    void SetOtherIcons(bool restore);
    // The rows of ClsidIconTable and ShellIconTable of one section.
    void SetClsidIcons(std::string_view section, bool restore);
    void SetShellIcons(std::string_view section, bool restore);

private:
    std::string Location(std::string_view section, std::string_view key) const;

    std::optional<IconThemeFile> theme_;
};

// Makes the shell rebuild its icons by nudging "Shell Icon Size" down by one and back, announcing
// each change. False when the size is missing or not a number.
bool RefreshShellIcons();

// Tells every top-level window that the icon metrics changed, waiting at most 10 s for each.
void BroadcastIconMetrics();

// Applies an extracted theme's file and reports it; false, without a message, when the file is
// missing.
bool ApplyIconTheme(InstallContext& ctx, const std::string& themeFile);

// The link "Restore the default system icons": the restore, and its report.
void RestoreDefaultIcons(InstallContext& ctx);

}  // namespace lumaforge
