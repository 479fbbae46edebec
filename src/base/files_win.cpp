#include "base/files_win.h"

#include <windows.h>
#include <shlobj.h>

#include "base/handles_win.h"
#include "base/unicode_win.h"

namespace lumaforge {
namespace {
std::string WithBackslash(std::string path) {
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

}  // namespace

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<FolderEntry> ListFolder(const std::string& folder) {
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAW found{};
    UniqueFindHandle find(FindFirstFileW(ToWide(WithBackslash(folder) + "*.*").c_str(), &found));
    if (!find)
        return entries;
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        entries.push_back({ToUtf8(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0,
                           (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (FindNextFileW(find.Get(), &found));
    return entries;
}

bool CreateFolderPath(const std::string& path) {
    const std::string full = WithBackslash(path);
    // Past a drive ("C:\") or a share ("\\server\share\") nothing can be created; start after it.
    size_t from = full.size() > 2 && full[1] == ':' ? 3 : 0;
    if (full.starts_with("\\\\")) {
        const size_t share = full.find('\\', 2);
        from = share == std::string::npos ? full.size() : full.find('\\', share + 1) + 1;
    }
    for (size_t slash = full.find('\\', from); slash != std::string::npos; slash = full.find('\\', slash + 1)) {
        if (slash > 0)
            CreateDirectoryW(ToWide(full.substr(0, slash)).c_str(), nullptr);
    }
    return FolderExists(full);
}

void DeleteFolderTree(const std::string& path) {
    const std::string base = WithBackslash(path);
    const DWORD attributes = GetFileAttributesW(ToWide(base).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    // Deleting through a link would erase files that are not ours: a link goes as a link.
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        for (const FolderEntry& entry : ListFolder(base)) {
            const std::wstring entryPath = ToWide(base + entry.name);
            if (!entry.isFolder)
                DeleteFileW(entryPath.c_str());
            else if (entry.isLink)
                RemoveDirectoryW(entryPath.c_str());
            else
                DeleteFolderTree(base + entry.name);
        }
    }
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

bool DeleteFileUtf8(const std::string& path) {
    return DeleteFileW(ToWide(path).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    UniqueHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    content.clear();
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        content.append(buffer, read);
    }
}

bool WriteWholeFile(const std::string& path, std::string_view content) {
    UniqueHandle file(
        CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size();
}

}  // namespace lumaforge
