#include "install/installers_win.h"

#include <exception>

#include "base/files_win.h"
#include "install/cursor_scheme_win.h"
#include "install/icon_theme_win.h"
#include "install/login_screen_win.h"
#include "install/package_name.h"
#include "install/screen_saver_win.h"
#include "install/sound_scheme_win.h"
#include "install/visual_style_win.h"

namespace lumaforge {
namespace {
bool InstallCursorScheme(InstallContext& ctx, const std::string& packagePath) {
    const std::string name = PackageNameWithoutLastFour(packagePath);
    ctx.extractor.ExtractPackage(packagePath, ctx.paths.CursorSchemeFolder(name), TOverwriteMode::Always);
    ApplyCursorScheme(ctx, name);
    return true;
}

bool InstallSoundScheme(InstallContext& ctx, const std::string& packagePath) {
    const std::string name = PackageNameOf(packagePath);
    ctx.extractor.ExtractPackage(packagePath, ctx.paths.SoundSchemeFolder(name), TOverwriteMode::Always);
    return ApplySoundScheme(ctx, name);
}

bool InstallIconTheme(InstallContext& ctx, const std::string& packagePath) {
    const std::string name = PackageNameOf(packagePath);
    // The theme lives beside its package, in the cache. A package that cannot be extracted is no
    // theme: the installer says nothing and the row stays as it was.
    const std::string folder = packagePath.substr(0, packagePath.rfind('.'));
    try {
        ctx.extractor.ExtractPackage(packagePath, folder, TOverwriteMode::Always);
    } catch (const std::exception&) {
        return false;
    }
    const std::string themeFile = folder + "\\" + name + ".config";
    return ApplyIconTheme(ctx, themeFile);
}
}  // namespace

bool InstallPackage(InstallContext& ctx, TResourceKind kind, const std::string& packagePath) {
    switch (kind) {
        case TResourceKind::Theme:
            return InstallVisualStyle(ctx, packagePath);
        case TResourceKind::Logon:
            InstallLoginScreen(ctx, packagePath);
            return false;
        case TResourceKind::Cursor:
            return InstallCursorScheme(ctx, packagePath);
        case TResourceKind::ScreenSaver:
            return InstallScreenSaver(ctx, packagePath);
        case TResourceKind::Icon:
            return InstallIconTheme(ctx, packagePath);
        case TResourceKind::Sound:
            return InstallSoundScheme(ctx, packagePath);
    }
    return false;
}

void ApplyDirectly(InstallContext& ctx, TResourceKind kind, const std::string& name) {
    switch (kind) {
        case TResourceKind::Theme:
            ApplyVisualStyle(ctx, name);
            break;
        case TResourceKind::Cursor:
            ApplyCursorScheme(ctx, name);
            break;
        case TResourceKind::ScreenSaver:
            ApplyScreenSaver(ctx, name);
            break;
        case TResourceKind::Sound:
            ApplySoundScheme(ctx, name);
            break;
        case TResourceKind::Logon:
        case TResourceKind::Icon:
            break;
    }
}

bool Uninstall(InstallContext& ctx, TResourceKind kind, const std::string& name) {
    switch (kind) {
        case TResourceKind::Theme:
            DeleteFolderTree(ctx.paths.InstalledThemeFolder(name));
            DeleteFileUtf8(ctx.paths.InstalledThemeFile(name));
            return true;
        case TResourceKind::Cursor:
            DeleteFolderTree(ctx.paths.InstalledCursorFolder(name));
            RemoveCursorSchemeEntry(name);
            return true;
        case TResourceKind::ScreenSaver:
            if (!SetScreenSaver(ctx, {}, true))
                return false;
            DeleteFileUtf8(ctx.paths.InstalledScreenSaverFile(name));
            return true;
        case TResourceKind::Sound:
            return RemoveSoundScheme(ctx, name);
        case TResourceKind::Logon:
        case TResourceKind::Icon:
            break;
    }
    return false;
}

void RestoreDefaults(InstallContext& ctx, TResourceKind kind) {
    switch (kind) {
        case TResourceKind::Logon:
            RestoreDefaultLoginScreen(ctx);
            break;
        case TResourceKind::Cursor:
            RestoreDefaultCursors(ctx);
            break;
        case TResourceKind::ScreenSaver:
            CancelScreenSaver(ctx);
            break;
        case TResourceKind::Icon:
            RestoreDefaultIcons(ctx);
            break;
        case TResourceKind::Sound:
            RestoreDefaultSounds(ctx);
            break;
        case TResourceKind::Theme:
            break;
    }
}

}  // namespace lumaforge
