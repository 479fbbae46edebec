#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "install/system_access.h"

namespace lumaforge {

// The size and CRC-32 of the bytes an installation wrote into a file: enough to tell whether the
// file still holds them (the package's own entries carry the same two figures).
struct FileFingerprint {
    uint64_t size = 0;
    uint32_t crc = 0;
    static FileFingerprint Of(std::string_view bytes);
    bool operator==(const FileFingerprint&) const = default;
};

enum class RecordKind : uint8_t {
    Begin,          // a segment starts: one installation, application or restore (`path` says which)
    Done,           // the segment's every change was made
    FolderCreated,  // `path`
    FileCreated,    // `path`, holding `content`
    FileReplaced,   // `path`, its old bytes kept as `saved` in the journal's folder; `content` is
                    // what was written there, nothing when the file was deleted
    Scratch,        // `path`, a scratch folder of the program's own
    KeyCreated,     // `root`, `path`
    KeyDeleted,     // `root`, `path` (its values come as records of their own before it)
    Value,          // `root`, `path`, `valueName`: `before` and `after`, nothing for "not there"
    Setting,        // `setting` applied
};

struct JournalRecord {
    RecordKind kind = RecordKind::Begin;
    std::string path;
    RegRoot root = RegRoot::CurrentUser;
    std::string valueName;
    std::optional<RegValue> before;
    std::optional<RegValue> after;
    std::optional<FileFingerprint> content;
    std::string saved;
    SystemSetting setting = SystemSetting::Pointers;

    bool operator==(const JournalRecord&) const = default;
};

// The journal as text a person can read: a header line, then one record per line, e.g.
//   value HKCU "Control Panel\Cursors" "Arrow" was sz "C:\Mine\arrow.cur" now sz "C:\..."
// Texts are quoted with \" \\ and \xHH escapes for control bytes; a registry string shows as its
// text when that gives its bytes back exactly, any other value as hexadecimal bytes.
std::string FormatJournal(const std::vector<JournalRecord>& records);
// Nothing when the text is no journal or a line cannot be read.
std::optional<std::vector<JournalRecord>> ParseJournal(std::string_view text);

// The journal of one installed package (or one folder icon, or one restore) in a folder of its
// own: "journal.txt" and the old bytes of replaced files in "saved\". Every write rewrites the
// whole journal through a temporary file that is flushed before it takes the journal's place, so
// after a crash the journal is the one before or after the write, never a torn one.
class InstallJournal {
public:
    static constexpr char kFileName[] = "journal.txt";

    // `folder` ends with a backslash.
    InstallJournal(SystemFiles& files, std::string folder);
    virtual ~InstallJournal() = default;
    InstallJournal(const InstallJournal&) = delete;
    InstallJournal& operator=(const InstallJournal&) = delete;

    // Reads the records already there; false (and no records) when there is no readable journal.
    bool Load();
    const std::vector<JournalRecord>& Records() const { return records_; }
    const std::string& Folder() const { return folder_; }
    std::string File() const { return folder_ + kFileName; }

    // Appends records and writes the journal; when it returns they are on the disk.
    virtual void Append(const std::vector<JournalRecord>& added);
    // Replaces the records (a rolled-back segment dropped); an empty journal goes with its folder.
    void Rewrite(std::vector<JournalRecord> records);
    // Where the old bytes of the next replaced file go; nothing when no journal is kept.
    virtual std::optional<std::string> NewSavedFile(std::string& savedName);
    std::string SavedPath(const std::string& savedName) const { return folder_ + "saved\\" + savedName; }
    // Removes the journal with its folder.
    bool Remove();

protected:
    void Write();
    void EnsureFolder();

    SystemFiles& files_;
    std::string folder_;
    std::vector<JournalRecord> records_;
    int nextSaved_ = 0;
    bool folderMade_ = false;
};

// Records nothing: the changes are made without a journal (for measuring what the journal costs).
class NullJournal : public InstallJournal {
public:
    explicit NullJournal(SystemFiles& files) : InstallJournal(files, {}) {}
    void Append(const std::vector<JournalRecord>&) override {}
    std::optional<std::string> NewSavedFile(std::string&) override { return std::nullopt; }
};

}  // namespace lumaforge
