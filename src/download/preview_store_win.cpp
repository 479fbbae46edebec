#include "download/preview_store_win.h"

#include <windows.h>

#include "base/files_win.h"
#include "base/unicode_win.h"

namespace lumaforge {

bool WinPreviewStore::Exists(const std::string& path) {
    return FileExists(path);
}

bool WinPreviewStore::Write(const std::string& path, std::string_view bytes) {
    return WriteWholeFile(path, bytes);
}

bool WinPreviewStore::Move(const std::string& from, const std::string& to) {
    return MoveFileExW(ToWide(from).c_str(), ToWide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

void WinPreviewStore::Delete(const std::string& path) {
    DeleteFileUtf8(path);
}

}  // namespace lumaforge
