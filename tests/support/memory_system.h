#pragma once
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "install/install_transaction.h"
#include "install/system_access.h"

namespace lumaforge::test {

// The process dying in the middle of its work.
class InjectedCrash : public std::runtime_error {
public:
    InjectedCrash() : std::runtime_error("injected crash") {}
};

// Counts every change made to the in-memory system (journal writes included) and kills the
// "process" at the chosen one: that change is not made, and neither is any later one, so that no
// clean-up code can run after the crash.
class CrashSwitch {
public:
    void FailAt(int step) {
        failAt_ = step;
        steps_ = 0;
        dead_ = false;
    }
    void Revive() {
        failAt_ = 0;
        dead_ = false;
    }
    // Whether the write that the crash cuts short leaves part of its bytes (a power cut in the
    // middle of an append) or none.
    void TearWrites(bool tear) { tear_ = tear; }
    bool TearsWrites() const { return tear_; }
    void Step() {
        if (dead_)
            throw InjectedCrash();
        if (failAt_ != 0 && ++steps_ == failAt_) {
            dead_ = true;
            throw InjectedCrash();
        }
    }
    bool Crashed() const { return dead_; }

private:
    int failAt_ = 0;
    int steps_ = 0;
    bool dead_ = false;
    bool tear_ = false;
};

// A file system in memory that compares names as Windows does. A path without a backslash is a
// drive, which always exists.
class MemoryFiles : public SystemFiles {
public:
    explicit MemoryFiles(CrashSwitch& crash) : crash_(crash) {}

    bool FileExists(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
    std::optional<std::string> ReadFile(const std::string& path) const override;
    std::vector<std::string> List(const std::string& folder) const override;
    // The order of the writes: every write ticks a clock of its own.
    std::optional<uint64_t> WriteTime(const std::string& path) const override;
    void WriteFileDurably(const std::string& path, std::string_view bytes) override;
    // A crash in the middle of it leaves the first half of the added bytes when the switch tears
    // writes.
    void AppendToFile(const std::string& path, std::string_view bytes, bool flush) override;
    // What a power cut leaves: the bytes appended since a file was last flushed are gone.
    void LoseUnflushedBytes();
    void CreateFolder(const std::string& path) override;
    void Move(const std::string& from, const std::string& to) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveEmptyFolder(const std::string& path) override;
    bool RemoveTree(const std::string& path) override;

    // Test set-up, never failing: a file with its folders.
    void Put(const std::string& path, const std::string& bytes);
    // A file that refuses to be deleted (in use).
    void Lock(const std::string& path) { locked_.push_back(Key(path)); }
    // Every file and folder outside `except` (a folder), with the bytes of the files.
    std::map<std::string, std::string> Snapshot(const std::string& except = {}) const;

private:
    struct Entry {
        std::string path;  // as it was created
        bool folder = false;
        std::string bytes;
        uint64_t written = 0;
        size_t flushed = std::string::npos;  // how many of the bytes are on the disk (all: npos)
    };
    static std::string Key(std::string path);
    bool ParentExists(const std::string& key) const;

    CrashSwitch& crash_;
    std::map<std::string, Entry> entries_;
    std::vector<std::string> locked_;
    uint64_t clock_ = 0;
};

class MemoryRegistry : public SystemRegistry {
public:
    explicit MemoryRegistry(CrashSwitch& crash) : crash_(crash) {}

    bool KeyExists(RegRoot root, const std::string& key) const override;
    std::optional<RegValue> ReadValue(RegRoot root, const std::string& key, const std::string& name) const override;
    std::vector<std::string> SubKeyNames(RegRoot root, const std::string& key) const override;
    std::vector<std::string> ValueNames(RegRoot root, const std::string& key) const override;
    void CreateKey(RegRoot root, const std::string& key) override;
    void WriteValue(RegRoot root, const std::string& key, const std::string& name, const RegValue& value) override;
    void DeleteValue(RegRoot root, const std::string& key, const std::string& name) override;
    bool DeleteEmptyKey(RegRoot root, const std::string& key) override;

    // Test set-up, never failing: a string value with its keys.
    void Put(RegRoot root, const std::string& key, const std::string& name, const std::string& text);
    void PutKey(RegRoot root, const std::string& key);
    std::optional<std::string> Text(RegRoot root, const std::string& key, const std::string& name) const;
    // Every key and value as text.
    std::map<std::string, std::string> Snapshot() const;

private:
    struct Key {
        std::string path;
        std::map<std::string, std::pair<std::string, RegValue>> values;  // folded name: name, value
    };
    static std::string Fold(RegRoot root, const std::string& key);

    CrashSwitch& crash_;
    std::map<std::string, Key> keys_;
};

class RecordingSettings : public SystemSettings {
public:
    void Apply(SystemSetting setting) override { applied.push_back(setting); }
    void ShowPointer(const std::string& file, unsigned id) override { pointers.emplace_back(file, id); }
    std::vector<SystemSetting> applied;
    std::vector<std::pair<std::string, unsigned>> pointers;
};

// The three together, sharing one crash switch.
struct MemorySystem {
    CrashSwitch crash;
    MemoryFiles files{crash};
    MemoryRegistry registry{crash};
    RecordingSettings settings;
    SystemAccess Access() { return {files, registry, settings}; }
};

}  // namespace lumaforge::test
