#pragma once
#include <windows.h>

#include "install/system_access.h"

namespace lumaforge {

// The file system as the installers change it: a file is written whole into a temporary file
// beside it, flushed, and moved into place with write-through; a read-only file is made writable
// before it is replaced or deleted.
class WinSystemFiles : public SystemFiles {
public:
    bool FileExists(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
    std::optional<std::string> ReadFile(const std::string& path) const override;
    std::vector<std::string> List(const std::string& folder) const override;
    std::optional<uint64_t> WriteTime(const std::string& path) const override;
    void WriteFileDurably(const std::string& path, std::string_view bytes) override;
    void AppendToFile(const std::string& path, std::string_view bytes, bool flush) override;
    void CreateFolder(const std::string& path) override;
    void Move(const std::string& from, const std::string& to) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveEmptyFolder(const std::string& path) override;
    bool RemoveTree(const std::string& path) override;
    std::string ShortPath(const std::string& path) const override;
};

// HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, values read and written as stored.
class WinSystemRegistry : public SystemRegistry {
public:
    bool KeyExists(RegRoot root, const std::string& key) const override;
    std::optional<RegValue> ReadValue(RegRoot root, const std::string& key, const std::string& name) const override;
    std::vector<std::string> SubKeyNames(RegRoot root, const std::string& key) const override;
    std::vector<std::string> ValueNames(RegRoot root, const std::string& key) const override;
    void CreateKey(RegRoot root, const std::string& key) override;
    void WriteValue(RegRoot root, const std::string& key, const std::string& name, const RegValue& value) override;
    void DeleteValue(RegRoot root, const std::string& key, const std::string& name) override;
    bool DeleteEmptyKey(RegRoot root, const std::string& key) override;
};

// Pointers reloaded and announced, the screen saver setting broadcast, the shell's icons rebuilt.
class WinSystemSettings : public SystemSettings {
public:
    void Apply(SystemSetting setting) override;
    void ShowPointer(const std::string& cursorFile, unsigned systemCursorId) override;
    void ShowBuiltInPointers() override;
    void StartScreenSaver() override;
};

}  // namespace lumaforge
