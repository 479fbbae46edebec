#pragma once
#include <string>
#include <string_view>

namespace lumaforge {

// Every file and folder the program reads or writes outside the Windows installers, and where on
// the resource server a package lives. The program folder ends with a backslash; the Windows and
// system folders do not, as Windows reports them.
class ProgramPaths {
public:
    static constexpr char kCatalogServerPath[] = "softdata/xp/config.txt";
    static constexpr char kApiServerPath[] = "api/api.txt";
    // The signed list of the catalog's and every file's size and SHA-256, and its signature.
    static constexpr char kManifestServerPath[] = "softdata/xp/manifest.txt";
    static constexpr char kManifestSignatureServerPath[] = "softdata/xp/manifest.sig";
    // Below it, per kind, the packages and previews: see ResourceServerPath.
    static constexpr char kResourceServerFolder[] = "softdata/xp/res/";

    void SetProgramFolder(std::string appPath) { appPath_ = std::move(appPath); }
    void SetSystemFolders(std::string winPath, std::string sysPath) {
        winPath_ = std::move(winPath);
        sysPath_ = std::move(sysPath);
    }
    const std::string& AppPath() const { return appPath_; }
    const std::string& WinPath() const { return winPath_; }
    const std::string& SysPath() const { return sysPath_; }

    // The catalog's local copy and the cached settings beside the program.
    std::string LocalCatalogFile() const;
    // With a catalog key: the manifest and signature that vouch for the local catalog copy.
    std::string LocalManifestFile() const;
    std::string LocalManifestSignatureFile() const;
    std::string ApiSettingsFile() const;

    // "cache\<kind>\" and its files: the package "<name>.zip" and the preview "<name>.jpg".
    std::string KindCacheFolder(int kind) const;
    std::string CacheFile(int kind, std::string_view name, std::string_view extension) const;
    std::string PackageFile(int kind, std::string_view name) const;
    std::string PreviewFile(int kind, std::string_view name) const;
    // "cache\icons\": one folder per folder-icon category.
    std::string FolderIconsFolder() const;

    // Where the installers put each kind, and where an installed package leaves its mark.
    std::string ThemesFolder() const;
    std::string CursorSchemeFolder(std::string_view name) const;
    std::string SoundSchemeFolder(std::string_view name) const;
    std::string InstalledThemeFile(std::string_view name) const;
    std::string InstalledThemeFolder(std::string_view name) const;
    std::string InstalledCursorFolder(std::string_view name) const;
    std::string InstalledScreenSaverFile(std::string_view name) const;
    std::string InstalledSoundFolder(std::string_view name) const;

    // "softdata/xp/res/<kind>/<name><extension>" on the resource server; the name comes encoded.
    static std::string ResourceServerPath(int kind, std::string_view encodedName, std::string_view extension);

private:
    std::string appPath_;
    std::string winPath_;
    std::string sysPath_;
};

}  // namespace lumaforge
