#include "app/resource_item.h"

#include <cstdio>

namespace lumaforge {

std::string StatusText(uint8_t state, int progress) {
    switch (state) {
        case dsWaiting:
            return "等待下载";
        case dsDownloading: {
            char text[32];
            std::snprintf(text, sizeof text, "进度:%2d%%", progress);
            return text;
        }
        case dsDownloaded:
            return "下载成功";
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

LocalState DetectLocalState(std::string_view rowName, int kind, const ProgramPaths& paths, const FileProbe& probe) {
    const std::string name(rowName);
    LocalState local;
    local.packageCached = probe.FileExists(paths.PackageFile(kind, name));
    switch (static_cast<TResourceKind>(kind)) {
        case TResourceKind::Theme:
            local.installed = probe.FileExists(paths.InstalledThemeFile(name));
            break;
        case TResourceKind::Cursor:
            local.installed = probe.FolderExists(paths.InstalledCursorFolder(name));
            break;
        case TResourceKind::ScreenSaver:
            local.installed = probe.FileExists(paths.InstalledScreenSaverFile(name));
            break;
        case TResourceKind::Sound:
            local.installed = probe.FolderExists(paths.InstalledSoundFolder(name));
            break;
        case TResourceKind::Logon:
        case TResourceKind::Icon:
            break;
    }
    return local;
}

}  // namespace lumaforge
