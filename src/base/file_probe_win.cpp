#include "base/file_probe_win.h"

#include <windows.h>

#include "base/unicode_win.h"

namespace lumaforge {
namespace {
DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(ToWide(path).c_str());
}
}  // namespace

bool WinFileProbe::FileExists(const std::string& path) const {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WinFileProbe::FolderExists(const std::string& path) const {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace lumaforge
