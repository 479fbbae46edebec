#include "install/visual_style_win.h"

#include "base/files_win.h"
#include "install/package_name.h"

namespace lumaforge {

bool InstallVisualStyle(InstallContext& ctx, const std::string& packagePath) {
    // Files already in the theme folder stay as they are: a style the user changed keeps its changes.
    ctx.extractor.ExtractPackage(packagePath, ctx.paths.ThemesFolder(), TOverwriteMode::Never);
    const std::string name = PackageNameOf(packagePath);
    if (FileExists(ctx.paths.InstalledThemeFile(name)))
        return ApplyVisualStyle(ctx, name);
    ctx.showMessage("Failed to apply the theme.", mkInformation);
    return false;
}

bool ApplyVisualStyle(InstallContext& ctx, const std::string& name) {
    const std::string parameters = " shell32.dll, Control_RunDLL desk.cpl desk,@Themes /Action:OpenTheme /file:\"" +
                                   ctx.paths.InstalledThemeFile(name) + "\"";
    // Whether and when the style is applied is the Display control panel's decision.
    ctx.shellExecute("", ctx.paths.SysPath() + "\\rundll32.exe", parameters, SW_SHOWNORMAL);
    return true;
}

}  // namespace lumaforge
