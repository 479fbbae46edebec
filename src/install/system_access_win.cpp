#include "install/system_access_win.h"

#include <stdexcept>

#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/registry_win.h"
#include "base/unicode_win.h"
#include "install/cursor_scheme.h"
#include "install/icon_theme_win.h"

namespace lumaforge {
namespace {
HKEY RootOf(RegRoot root) {
    return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

std::string KeyName(RegRoot root, const std::string& key) {
    return (root == RegRoot::CurrentUser ? "HKEY_CURRENT_USER\\" : "HKEY_LOCAL_MACHINE\\") + key;
}

[[noreturn]] void RaiseFileError(const char* what, const std::string& path) {
    throw std::runtime_error(std::string("Cannot ") + what + " \"" + path + "\" (error " +
                             std::to_string(GetLastError()) + ")");
}

void MakeWritable(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

// The system takes over a cursor it accepts; one it refuses is ours to free.
void SetSystemCursorFrom(HCURSOR cursor, unsigned id) {
    if (cursor && !SetSystemCursor(cursor, id))
        DestroyCursor(cursor);
}
}  // namespace

bool WinSystemFiles::FileExists(const std::string& path) const {
    return lumaforge::FileExists(path);
}

bool WinSystemFiles::FolderExists(const std::string& path) const {
    return lumaforge::FolderExists(path);
}

std::optional<std::string> WinSystemFiles::ReadFile(const std::string& path) const {
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return std::nullopt;
    return bytes;
}

std::optional<uint64_t> WinSystemFiles::WriteTime(const std::string& path) const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(ToWide(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
}

std::vector<std::string> WinSystemFiles::List(const std::string& folder) const {
    std::vector<std::string> names;
    for (const FolderEntry& entry : ListFolder(folder))
        names.push_back(entry.name);
    return names;
}

void WinSystemFiles::WriteFileDurably(const std::string& path, std::string_view bytes) {
    const std::wstring target = ToWide(path);
    const std::wstring temp = target + L".lumaforge-new";
    bool written = false;
    {
        UniqueHandle file(
            CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD count = 0;
        written = file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
                  count == bytes.size() && FlushFileBuffers(file.Get());
    }
    MakeWritable(target);
    if (!written || !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temp.c_str());
        SetLastError(error);
        RaiseFileError("write the file", path);
    }
}

void WinSystemFiles::AppendToFile(const std::string& path, std::string_view bytes, bool flush) {
    UniqueHandle file(CreateFileW(ToWide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD count = 0;
    if (!file || !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) ||
        count != bytes.size() || (flush && !FlushFileBuffers(file.Get())))
        RaiseFileError("write the file", path);
}

void WinSystemFiles::CreateFolder(const std::string& path) {
    if (!CreateDirectoryW(ToWide(path).c_str(), nullptr) && !lumaforge::FolderExists(path))
        RaiseFileError("create the folder", path);
}

void WinSystemFiles::Move(const std::string& from, const std::string& to) {
    MakeWritable(ToWide(to));
    if (!MoveFileExW(ToWide(from).c_str(), ToWide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
        RaiseFileError("move the file", from);
}

bool WinSystemFiles::RemoveFile(const std::string& path) {
    MakeWritable(ToWide(path));
    return DeleteFileUtf8(path);
}

bool WinSystemFiles::RemoveEmptyFolder(const std::string& path) {
    return RemoveDirectoryW(ToWide(path).c_str()) || !lumaforge::FolderExists(path);
}

bool WinSystemFiles::RemoveTree(const std::string& path) {
    DeleteFolderTree(path);
    return !lumaforge::FolderExists(path);
}

// The 8.3 form, which the screen saver setting has always held; the long form when the file system
// keeps no short names.
std::string WinSystemFiles::ShortPath(const std::string& path) const {
    const std::wstring wide = ToWide(path);
    std::wstring buffer(MAX_PATH, L'\0');
    DWORD length = GetShortPathNameW(wide.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length > buffer.size()) {
        buffer.resize(length);
        length = GetShortPathNameW(wide.c_str(), buffer.data(), length);
    }
    return length > 0 && length <= buffer.size() ? ToUtf8(buffer.substr(0, length)) : path;
}

bool WinSystemRegistry::KeyExists(RegRoot root, const std::string& key) const {
    return static_cast<bool>(RegistryKey::OpenToRead(RootOf(root), key));
}

std::optional<RegValue> WinSystemRegistry::ReadValue(RegRoot root, const std::string& key,
                                                     const std::string& name) const {
    const RegistryKey opened = RegistryKey::OpenToRead(RootOf(root), key);
    if (!opened)
        return std::nullopt;
    const std::wstring valueName = ToWide(name);
    for (;;) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(opened.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        RegValue value{type, std::string(size, '\0')};
        const LSTATUS status = RegQueryValueExW(opened.Get(), valueName.c_str(), nullptr, &type,
                                                reinterpret_cast<BYTE*>(value.data.data()), &size);
        if (status == ERROR_MORE_DATA)
            continue;  // it grew between the two calls
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        value.type = type;
        value.data.resize(size);
        return value;
    }
}

std::vector<std::string> WinSystemRegistry::SubKeyNames(RegRoot root, const std::string& key) const {
    const RegistryKey opened = RegistryKey::OpenToRead(RootOf(root), key);
    return opened ? opened.SubKeyNames() : std::vector<std::string>();
}

std::vector<std::string> WinSystemRegistry::ValueNames(RegRoot root, const std::string& key) const {
    std::vector<std::string> names;
    const RegistryKey opened = RegistryKey::OpenToRead(RootOf(root), key);
    if (!opened)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];  // the longest value name the registry allows
        DWORD length = static_cast<DWORD>(std::size(name));
        if (RegEnumValueW(opened.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(ToUtf8(std::wstring_view(name, length)));
    }
    return names;
}

void WinSystemRegistry::CreateKey(RegRoot root, const std::string& key) {
    RegistryKey::CreateOrThrow(RootOf(root), key);
}

void WinSystemRegistry::WriteValue(RegRoot root, const std::string& key, const std::string& name,
                                   const RegValue& value) {
    const RegistryKey opened = RegistryKey::OpenToChange(RootOf(root), key);
    if (!opened || RegSetValueExW(opened.Get(), ToWide(name).c_str(), 0, value.type,
                                  reinterpret_cast<const BYTE*>(value.data.data()),
                                  static_cast<DWORD>(value.data.size())) != ERROR_SUCCESS)
        throw std::runtime_error("Cannot write the registry value \"" + (name.empty() ? "(default)" : name) + "\" of " +
                                 KeyName(root, key));
}

void WinSystemRegistry::DeleteValue(RegRoot root, const std::string& key, const std::string& name) {
    RegistryKey opened = RegistryKey::OpenToChange(RootOf(root), key);
    if (opened && !opened.DeleteValue(name))
        throw std::runtime_error("Cannot delete the registry value \"" + (name.empty() ? "(default)" : name) +
                                 "\" of " + KeyName(root, key));
}

bool WinSystemRegistry::DeleteEmptyKey(RegRoot root, const std::string& key) {
    if (!KeyExists(root, key))
        return true;
    if (!ValueNames(root, key).empty() || !SubKeyNames(root, key).empty())
        return false;
    return RegDeleteKeyW(RootOf(root), ToWide(key).c_str()) == ERROR_SUCCESS || !KeyExists(root, key);
}

void WinSystemSettings::Apply(SystemSetting setting) {
    switch (setting) {
        case SystemSetting::Pointers:
            SystemParametersInfoW(SPI_SETCURSORS, 0, nullptr, SPIF_SENDCHANGE);
            break;
        case SystemSetting::ScreenSaver:
            SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, 1, nullptr, SPIF_SENDCHANGE);
            break;
        case SystemSetting::ShellIcons:
            RefreshShellIcons();
            break;
    }
}

void WinSystemSettings::ShowPointer(const std::string& cursorFile, unsigned systemCursorId) {
    SetSystemCursorFrom(LoadCursorFromFileW(ToWide(cursorFile).c_str()), systemCursorId);
}

void WinSystemSettings::ShowBuiltInPointers() {
    const HMODULE program = GetModuleHandleW(nullptr);
    for (size_t role = 0; role < kCursorRoleCount; ++role) {
        // A resource cursor is shared by the module; the system gets a copy of its own.
        const std::wstring resource = L"CUR_" + std::to_wstring(role);
        if (const HCURSOR builtIn = LoadCursorW(program, resource.c_str()))
            SetSystemCursorFrom(CopyCursor(builtIn), CursorRoleTable[role].systemCursorId);
    }
}

void WinSystemSettings::StartScreenSaver() {
    PostMessageW(GetDesktopWindow(), WM_SYSCOMMAND, SC_SCREENSAVE, 0);
}

}  // namespace lumaforge
