#pragma once
#include "base/file_probe.h"

namespace lumaforge {

// Looks paths up in the real file system.
class WinFileProbe final : public FileProbe {
public:
    bool FileExists(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
};

}  // namespace lumaforge
