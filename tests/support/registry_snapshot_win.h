#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "base/handles_win.h"

namespace lumaforge::test {

// A registry key with its whole sub-tree as it was when the snapshot was taken, put back (or
// deleted again, when it did not exist) on destruction. The installers' tests write the real keys
// of the test prefix; each test leaves them as it found them.
class RegistrySnapshot {
public:
    RegistrySnapshot(HKEY root, std::wstring path) : root_(root), path_(std::move(path)) {
        HKEY key = nullptr;
        existed_ = RegOpenKeyExW(root_, path_.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (existed_)
            saved_ = Save(UniqueHKey(key).Get());
    }
    ~RegistrySnapshot() {
        RegDeleteTreeW(root_, path_.c_str());
        if (existed_)
            Restore(root_, path_, saved_);
    }
    RegistrySnapshot(const RegistrySnapshot&) = delete;
    RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;

private:
    struct Value {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    struct Key {
        std::vector<Value> values;
        std::vector<std::pair<std::wstring, Key>> subKeys;
    };

    static Key Save(HKEY key) {
        Key saved;
        for (DWORD index = 0;; ++index) {
            wchar_t name[16384];
            DWORD nameLength = static_cast<DWORD>(std::size(name));
            DWORD type = 0;
            DWORD size = 0;
            if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                break;
            Value value{std::wstring(name, nameLength), type, std::vector<BYTE>(size)};
            RegQueryValueExW(key, value.name.c_str(), nullptr, nullptr, value.data.data(), &size);
            saved.values.push_back(std::move(value));
        }
        for (DWORD index = 0;; ++index) {
            wchar_t name[256];
            DWORD nameLength = static_cast<DWORD>(std::size(name));
            if (RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            HKEY sub = nullptr;
            if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS)
                saved.subKeys.emplace_back(std::wstring(name, nameLength), Save(UniqueHKey(sub).Get()));
        }
        return saved;
    }

    static void Restore(HKEY root, const std::wstring& path, const Key& saved) {
        HKEY created = nullptr;
        if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr) != ERROR_SUCCESS)
            return;
        const UniqueHKey key(created);
        for (const Value& value : saved.values) {
            RegSetValueExW(key.Get(), value.name.c_str(), 0, value.type, value.data.data(),
                           static_cast<DWORD>(value.data.size()));
        }
        for (const auto& [name, sub] : saved.subKeys)
            Restore(key.Get(), name, sub);
    }

    HKEY root_;
    std::wstring path_;
    bool existed_ = false;
    Key saved_;
};

}  // namespace lumaforge::test
