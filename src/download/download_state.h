#pragma once
#include <cstdint>

namespace lumaforge {

// dsRefused is only reported, never kept in a row: a download whose size or SHA-256 is not what the
// catalog's signed manifest lists. The row then shows failed.
enum TDownloadState : uint8_t {
    dsNone = 0,
    dsWaiting = 1,
    dsDownloading = 2,
    dsDownloaded = 3,
    dsFailed = 4,
    dsRefused = 5
};

}  // namespace lumaforge
