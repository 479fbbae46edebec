#include "base/file_probe_win.h"

#include "base/files_win.h"

namespace lumaforge {

bool WinFileProbe::FileExists(const std::string& path) const {
    return lumaforge::FileExists(path);
}

bool WinFileProbe::FolderExists(const std::string& path) const {
    return lumaforge::FolderExists(path);
}

}  // namespace lumaforge
