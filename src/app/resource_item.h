#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/file_probe.h"
#include "base/program_paths.h"
#include "base/resource_kind.h"
#include "base/short_name.h"
#include "download/download_state.h"

namespace lumaforge {

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

std::string StatusText(uint8_t state, int progress);
int StatusImage(uint8_t state);

// What the disk says of a freshly added row: its package cached, and its installed mark by kind.
struct LocalState {
    bool packageCached = false;
    bool installed = false;
};
LocalState DetectLocalState(std::string_view name, int kind, const ProgramPaths& paths, const FileProbe& probe);

}  // namespace lumaforge
