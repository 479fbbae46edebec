#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/file_probe.h"
#include "base/short_name.h"

namespace lumaforge {

// The six resource kinds; the number is the Tag of the kind's list.
enum class TResourceKind : int { Theme = 0, Logon = 1, Cursor = 2, ScreenSaver = 3, Icon = 4, Sound = 5 };
inline constexpr int kResourceKindCount = 6;

enum TDownloadState : uint8_t { dsNone = 0, dsWaiting = 1, dsDownloading = 2, dsDownloaded = 3, dsFailed = 4 };

// The record behind every list row. A new row is all zeros: not downloaded, 0 %, not installed.
struct TResourceItem {
    ShortName Name;
    uint8_t State = dsNone;
    int32_t Progress = 0;
    uint8_t Installed = 0;
};

// Indexes of the nine pictures of the lists' image list.
enum ListImage : int {
    kImageNone = -1,
    kImageNotInstalled = 1,
    kImageInstalled = 2,
    kImageDownloading = 3,
    kImageDownloaded = 4,
    kImageFailed = 5,
    kImageCategoryExpanded = 6,
    kImageCategoryCollapsed = 7,
    kImageWaiting = 8,
};
inline constexpr int kListImageCount = 9;

// The key of a kind in cache paths and server paths; nothing for a number outside 0-5.
std::optional<std::string_view> KindName(int kind);

// "cache\<kind>\<name><extension>" below the program folder (which ends with a backslash).
std::string CacheFilePath(std::string_view appPath, int kind, std::string_view name, std::string_view extension);
// The cached package, "cache\<kind>\<name>.zip".
std::string PackagePath(std::string_view appPath, int kind, std::string_view name);
// "cache\<kind>\" below the program folder.
std::string KindCacheFolder(std::string_view appPath, int kind);

// The status column's text for a state; dsDownloaded reads "下载成功" only while the package exists,
// so the caller passes that fact.
std::string StatusText(uint8_t state, int progress, bool packageExists);
int StatusImage(uint8_t state);

// Where the program looks for what it has already downloaded and installed.
struct LocalPaths {
    std::string appPath;  // with trailing backslash
    std::string winPath;  // without trailing backslash
    std::string sysPath;  // without trailing backslash
};

// The state of a freshly added row: cached package and installed mark, by kind.
void DetectLocalState(TResourceItem& item, int kind, const LocalPaths& paths, const FileProbe& probe);

}  // namespace lumaforge
