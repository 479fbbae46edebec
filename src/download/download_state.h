#pragma once
#include <cstdint>

namespace lumaforge {

enum TDownloadState : uint8_t { dsNone = 0, dsWaiting = 1, dsDownloading = 2, dsDownloaded = 3, dsFailed = 4 };

}  // namespace lumaforge
