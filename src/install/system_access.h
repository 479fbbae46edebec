#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumaforge {

// What the installers change in the user's system, behind three interfaces: the Windows layer
// implements them on the real file system, registry and settings; tests hand in in-memory ones.
// Paths are UTF-8 with backslashes, compared as Windows compares them (without regard to case).

enum class RegRoot : uint8_t { CurrentUser, LocalMachine };

inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;

// A registry value as stored: its type and its bytes (strings as UTF-16LE with their terminator).
struct RegValue {
    uint32_t type = kRegSz;
    std::string data;

    static RegValue String(std::string_view utf8, bool expandable = false);
    static RegValue Dword(uint32_t value);
    bool IsString() const { return type == kRegSz || type == kRegExpandSz; }
    // The text of a string value up to its first terminator; nothing for other types.
    std::optional<std::string> Text() const;
    bool operator==(const RegValue&) const = default;
};

class SystemFiles {
public:
    virtual ~SystemFiles() = default;
    virtual bool FileExists(const std::string& path) const = 0;
    virtual bool FolderExists(const std::string& path) const = 0;
    // A file's bytes; nothing when it cannot be read.
    virtual std::optional<std::string> ReadFile(const std::string& path) const = 0;
    // The names of a folder's entries (files and folders); empty when it cannot be read.
    virtual std::vector<std::string> List(const std::string& folder) const = 0;

    // The changes raise std::runtime_error, naming the path, when they cannot be made.
    // Creates or replaces a file as one step: the bytes go to a temporary file beside it, which is
    // flushed to the disk and then takes the file's place.
    virtual void WriteFileDurably(const std::string& path, std::string_view bytes) = 0;
    // Adds bytes at the end of a file (made when missing); with `flush`, they are on the disk when
    // it returns. A crash can cut the added bytes short, never touch the ones before them.
    virtual void AppendToFile(const std::string& path, std::string_view bytes, bool flush) = 0;
    // One folder whose parent exists.
    virtual void CreateFolder(const std::string& path) = 0;
    // Moves a file to `to` (replacing what is there), across volumes by a copy.
    virtual void Move(const std::string& from, const std::string& to) = 0;

    // Removals report instead of raising: true when the file or folder is gone (or never was).
    virtual bool RemoveFile(const std::string& path) = 0;
    virtual bool RemoveEmptyFolder(const std::string& path) = 0;
    // A folder of the program's own (a scratch folder, a journal) with everything in it.
    virtual bool RemoveTree(const std::string& path) = 0;

    // When a file was last written, in a unit that keeps the order of writes; nothing when unknown.
    virtual std::optional<uint64_t> WriteTime(const std::string& /*path*/) const { return std::nullopt; }

    // The form of a path that the screen saver setting holds (8.3 on Windows).
    virtual std::string ShortPath(const std::string& path) const { return path; }
};

class SystemRegistry {
public:
    virtual ~SystemRegistry() = default;
    virtual bool KeyExists(RegRoot root, const std::string& key) const = 0;
    virtual std::optional<RegValue> ReadValue(RegRoot root, const std::string& key, const std::string& name) const = 0;
    virtual std::vector<std::string> SubKeyNames(RegRoot root, const std::string& key) const = 0;
    virtual std::vector<std::string> ValueNames(RegRoot root, const std::string& key) const = 0;

    // Raise std::runtime_error, naming the key or value, when the change cannot be made.
    // Creates the key with any missing parents.
    virtual void CreateKey(RegRoot root, const std::string& key) = 0;
    // Into an existing key.
    virtual void WriteValue(RegRoot root, const std::string& key, const std::string& name, const RegValue& value) = 0;
    // A value that is not there is no error.
    virtual void DeleteValue(RegRoot root, const std::string& key, const std::string& name) = 0;
    // A key without values and sub-keys; true when it is gone afterwards (or never was).
    virtual bool DeleteEmptyKey(RegRoot root, const std::string& key) = 0;
};

// The settings the system reads once and must be told about when the registry changed.
enum class SystemSetting : uint8_t {
    Pointers,     // reload the pointers from "Control Panel\Cursors"
    ScreenSaver,  // the screen saver setting changed
    ShellIcons,   // rebuild the shell's icons
};

class SystemSettings {
public:
    virtual ~SystemSettings() = default;
    virtual void Apply(SystemSetting setting) = 0;
    // What shows at once without being a setting of its own: a pointer from a file, the
    // program's built-in pointers, the screen saver started now.
    virtual void ShowPointer(const std::string& /*cursorFile*/, unsigned /*systemCursorId*/) {}
    virtual void ShowBuiltInPointers() {}
    virtual void StartScreenSaver() {}
};

}  // namespace lumaforge
