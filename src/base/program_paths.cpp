#include "base/program_paths.h"

#include "base/resource_kind.h"

namespace lumaforge {
namespace {
std::string Join(std::string_view a, std::string_view b, std::string_view c = {}, std::string_view d = {}) {
    std::string path;
    path.reserve(a.size() + b.size() + c.size() + d.size());
    path.append(a).append(b).append(c).append(d);
    return path;
}
}  // namespace

std::string ProgramPaths::LocalCatalogFile() const {
    return appPath_ + "config.txt";
}

std::string ProgramPaths::LocalManifestFile() const {
    return appPath_ + "manifest.txt";
}

std::string ProgramPaths::LocalManifestSignatureFile() const {
    return appPath_ + "manifest.sig";
}

std::string ProgramPaths::ApiSettingsFile() const {
    return appPath_ + "api.txt";
}

std::string ProgramPaths::KindCacheFolder(int kind) const {
    return Join(appPath_, "cache\\", KindName(kind).value_or(""), "\\");
}

std::string ProgramPaths::CacheFile(int kind, std::string_view name, std::string_view extension) const {
    return Join(KindCacheFolder(kind), name, extension);
}

std::string ProgramPaths::PackageFile(int kind, std::string_view name) const {
    return CacheFile(kind, name, ".zip");
}

std::string ProgramPaths::PreviewFile(int kind, std::string_view name) const {
    return CacheFile(kind, name, ".jpg");
}

std::string ProgramPaths::FolderIconsFolder() const {
    return appPath_ + "cache\\icons\\";
}

std::string ProgramPaths::ThemesFolder() const {
    return winPath_ + "\\Resources\\Themes";
}

std::string ProgramPaths::CursorSchemeFolder(std::string_view name) const {
    return InstalledCursorFolder(name) + "\\";
}

std::string ProgramPaths::SoundSchemeFolder(std::string_view name) const {
    return InstalledSoundFolder(name) + "\\";
}

std::string ProgramPaths::InstalledThemeFolder(std::string_view name) const {
    return Join(ThemesFolder(), "\\", name);
}

std::string ProgramPaths::InstalledThemeFile(std::string_view name) const {
    return Join(winPath_, "\\Resources\\Themes\\", name, ".theme");
}

std::string ProgramPaths::InstalledCursorFolder(std::string_view name) const {
    return Join(winPath_, "\\Cursors\\", name);
}

std::string ProgramPaths::InstalledScreenSaverFile(std::string_view name) const {
    return Join(sysPath_, "\\", name, ".scr");
}

std::string ProgramPaths::InstalledSoundFolder(std::string_view name) const {
    return Join(winPath_, "\\Media\\", name);
}

std::string ProgramPaths::ResourceServerPath(int kind, std::string_view encodedName, std::string_view extension) {
    return Join(kResourceServerFolder, KindName(kind).value_or(""), "/", Join(encodedName, extension));
}

}  // namespace lumaforge
