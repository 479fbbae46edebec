#pragma once
#include <string>
#include <string_view>

#include "download/preview_downloader.h"

namespace lumaforge {

// The preview pictures of the cache on disk.
class WinPreviewStore final : public PreviewStore {
public:
    bool Exists(const std::string& path) override;
    bool Write(const std::string& path, std::string_view bytes) override;
    bool Move(const std::string& from, const std::string& to) override;
    void Delete(const std::string& path) override;
};

}  // namespace lumaforge
