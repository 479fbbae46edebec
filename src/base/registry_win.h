#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/handles_win.h"

namespace lumaforge {

// A registry key, closed with the object. Settings are written through a key created with any
// missing parents; values are read, restored or deleted through a key opened without creation, so
// reading never leaves an empty key behind.
class RegistryKey {
public:
    RegistryKey() = default;

    // Nothing (an invalid key) when the key does not exist or cannot be opened.
    static RegistryKey OpenToRead(HKEY root, const std::string& path);
    static RegistryKey OpenToChange(HKEY root, const std::string& path);
    static RegistryKey Create(HKEY root, const std::string& path);
    // As Create, raising an error that names the key when it cannot be made.
    static RegistryKey CreateOrThrow(HKEY root, const std::string& path);
    // Deletes a key with its whole sub-tree; true when it is gone afterwards (or never was).
    static bool DeleteTree(HKEY root, const std::string& path);

    explicit operator bool() const { return static_cast<bool>(key_); }
    HKEY Get() const { return key_.Get(); }

    // A REG_SZ or REG_EXPAND_SZ value as stored (not expanded); nothing when absent or of another type.
    std::optional<std::string> ReadString(const std::string& name) const;
    std::optional<uint32_t> ReadDword(const std::string& name) const;
    bool HasValue(const std::string& name) const;
    // A REG_EXPAND_SZ value: its copies must stay expandable.
    bool IsExpandable(const std::string& name) const;
    std::vector<std::string> SubKeyNames() const;

    bool WriteString(const std::string& name, const std::string& value, bool expandable = false);
    // As WriteString, raising an error that names the value and the key when it cannot be written.
    void WriteStringOrThrow(const std::string& name, const std::string& value, bool expandable = false);
    bool WriteDword(const std::string& name, uint32_t value);
    // True when the value is gone afterwards (or never was).
    bool DeleteValue(const std::string& name);

private:
    RegistryKey(HKEY key, HKEY root, const std::string& path);
    UniqueHKey key_;
    std::string name_;  // the root and the path, for messages
};

}  // namespace lumaforge
