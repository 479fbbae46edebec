#include "app/resource_item.h"

#include <array>
#include <cstdio>

namespace lumaforge {
namespace {
constexpr std::array<std::string_view, kResourceKindCount> kKindNames = {"theme",      "logon", "cursor",
                                                                         "screensave", "icon",  "sound"};
}

std::optional<std::string_view> KindName(int kind) {
    if (kind < 0 || kind >= kResourceKindCount)
        return std::nullopt;
    return kKindNames[kind];
}

std::string KindCacheFolder(std::string_view appPath, int kind) {
    std::string path(appPath);
    path += "cache\\";
    path += KindName(kind).value_or("");
    path += '\\';
    return path;
}

std::string CacheFilePath(std::string_view appPath, int kind, std::string_view name, std::string_view extension) {
    std::string path = KindCacheFolder(appPath, kind);
    path += name;
    path += extension;
    return path;
}

std::string PackagePath(std::string_view appPath, int kind, std::string_view name) {
    return CacheFilePath(appPath, kind, name, ".zip");
}

std::string StatusText(uint8_t state, int progress, bool packageExists) {
    switch (state) {
        case dsWaiting:
            return "等待下载";
        case dsDownloading: {
            char text[32];
            std::snprintf(text, sizeof text, "进度:%2d%%", progress);
            return text;
        }
        case dsDownloaded:
            return packageExists ? "下载成功" : "";
        case dsFailed:
            return "下载失败";
        default:
            return "";
    }
}

int StatusImage(uint8_t state) {
    switch (state) {
        case dsWaiting:
            return kImageWaiting;
        case dsDownloading:
            return kImageDownloading;
        case dsDownloaded:
            return kImageDownloaded;
        case dsFailed:
            return kImageFailed;
        default:
            return kImageNone;
    }
}

void DetectLocalState(TResourceItem& item, int kind, const LocalPaths& paths, const FileProbe& probe) {
    std::string name(item.Name.View());
    if (probe.FileExists(PackagePath(paths.appPath, kind, name)))
        item.State = dsDownloaded;
    bool installed = false;
    switch (static_cast<TResourceKind>(kind)) {
        case TResourceKind::Theme:
            installed = probe.FileExists(paths.winPath + "\\Resources\\Themes\\" + name + ".theme");
            break;
        case TResourceKind::Cursor:
            installed = probe.FolderExists(paths.winPath + "\\Cursors\\" + name);
            break;
        case TResourceKind::ScreenSaver:
            installed = probe.FileExists(paths.sysPath + "\\" + name + ".scr");
            break;
        case TResourceKind::Sound:
            installed = probe.FolderExists(paths.winPath + "\\Media\\" + name);
            break;
        case TResourceKind::Logon:
        case TResourceKind::Icon:
            break;
    }
    item.Installed = installed ? 1 : 0;
}

}  // namespace lumaforge
