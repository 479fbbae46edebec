#include "base/registry_win.h"

#include <cwchar>
#include <stdexcept>

#include "base/unicode_win.h"

namespace lumaforge {
namespace {
HKEY Open(HKEY root, const std::string& path, REGSAM access) {
    HKEY key = nullptr;
    return RegOpenKeyExW(root, ToWide(path).c_str(), 0, access, &key) == ERROR_SUCCESS ? key : nullptr;
}

std::string KeyName(HKEY root, const std::string& path) {
    return (root == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") + path;
}
}  // namespace

RegistryKey::RegistryKey(HKEY key, HKEY root, const std::string& path) : key_(key), name_(KeyName(root, path)) {}

RegistryKey RegistryKey::OpenToRead(HKEY root, const std::string& path) {
    return RegistryKey(Open(root, path, KEY_READ), root, path);
}

RegistryKey RegistryKey::OpenToChange(HKEY root, const std::string& path) {
    return RegistryKey(Open(root, path, KEY_READ | KEY_WRITE), root, path);
}

RegistryKey RegistryKey::Create(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    const LSTATUS status = RegCreateKeyExW(root, ToWide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    return RegistryKey(status == ERROR_SUCCESS ? key : nullptr, root, path);
}

RegistryKey RegistryKey::CreateOrThrow(HKEY root, const std::string& path) {
    RegistryKey key = Create(root, path);
    if (!key)
        throw std::runtime_error("Cannot create the registry key " + key.name_);
    return key;
}

bool RegistryKey::DeleteTree(HKEY root, const std::string& path) {
    const LSTATUS status = RegDeleteTreeW(root, ToWide(path).c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::optional<std::string> RegistryKey::ReadString(const std::string& name) const {
    const std::wstring valueName = ToWide(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key_.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    // The value may change between the two calls; a larger one is read again.
    for (;;) {
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LSTATUS status = RegQueryValueExW(key_.Get(), valueName.c_str(), nullptr, &type,
                                                reinterpret_cast<BYTE*>(text.data()), &bytes);
        if (status == ERROR_MORE_DATA) {
            size = bytes;
            continue;
        }
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        // Stored strings need not end with a terminator, and may hold one or more.
        text.resize(bytes / sizeof(wchar_t));
        text.resize(std::wcslen(text.c_str()));
        return ToUtf8(text);
    }
}

std::optional<uint32_t> RegistryKey::ReadDword(const std::string& name) const {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key_.Get(), ToWide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

bool RegistryKey::HasValue(const std::string& name) const {
    return RegQueryValueExW(key_.Get(), ToWide(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool RegistryKey::IsExpandable(const std::string& name) const {
    DWORD type = 0;
    return RegQueryValueExW(key_.Get(), ToWide(name).c_str(), nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
           type == REG_EXPAND_SZ;
}

std::vector<std::string> RegistryKey::SubKeyNames() const {
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];  // the longest key name the registry allows, with its terminator
        DWORD length = static_cast<DWORD>(std::size(name));
        if (RegEnumKeyExW(key_.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(ToUtf8(std::wstring_view(name, length)));
    }
    return names;
}

bool RegistryKey::WriteString(const std::string& name, const std::string& value, bool expandable) {
    const std::wstring text = ToWide(value);
    return RegSetValueExW(key_.Get(), ToWide(name).c_str(), 0, expandable ? REG_EXPAND_SZ : REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void RegistryKey::WriteStringOrThrow(const std::string& name, const std::string& value, bool expandable) {
    if (!WriteString(name, value, expandable))
        throw std::runtime_error("Cannot write the registry value \"" + (name.empty() ? "(default)" : name) + "\" of " +
                                 name_);
}

bool RegistryKey::WriteDword(const std::string& name, uint32_t value) {
    const DWORD data = value;
    return RegSetValueExW(key_.Get(), ToWide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const std::string& name) {
    const LSTATUS status = RegDeleteValueW(key_.Get(), ToWide(name).c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace lumaforge
