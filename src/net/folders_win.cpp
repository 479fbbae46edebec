#include "net/folders_win.h"

#include <windows.h>
#include <shlobj.h>

#include "base/handles_win.h"
#include "base/text.h"
#include "base/unicode_win.h"

namespace lumaforge {

void DeleteFolderTree(const std::string& path) {
    std::string base = path;
    if (base.empty() || base.back() != '\\')
        base += '\\';
    WIN32_FIND_DATAW found{};
    UniqueFindHandle find(FindFirstFileW(ToWide(base + "*.*").c_str(), &found));
    if (find) {
        do {
            const std::string name = ToUtf8(found.cFileName);
            const std::string_view trimmed = Trim(name);
            if (trimmed == "." || trimmed == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteFolderTree(base + name);
            else
                DeleteFileW(ToWide(base + name).c_str());
        } while (FindNextFileW(find.Get(), &found));
    }
    find.Reset();
    RemoveDirectoryW(ToWide(base).c_str());
}

std::string GetSpecialFolder(int csidl) {
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list)
        return {};
    wchar_t path[MAX_PATH + 1] = {};
    const bool ok = SHGetPathFromIDListW(list, path) != FALSE;
    CoTaskMemFree(list);
    return ok ? ToUtf8(path) : std::string();
}

}  // namespace lumaforge
