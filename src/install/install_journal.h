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
// own: "journal.txt" and the old bytes of replaced files in "saved\". Records are added at the end
// of the file and flushed before the changes they announce are made, so a crash can cut short only
// the last write, whose changes were never made: a last line without its line end is read as never
// written. A file that was cut short, or that cannot be read, is replaced whole at its next write,
// through a temporary file that is flushed before it takes the journal's place; so is the journal
// that drops a rolled-back segment.
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
    // Whether the file holds exactly the records, without a write cut short after them.
    bool Whole() const { return onDisk_ == OnDisk::Whole; }
    const std::vector<JournalRecord>& Records() const { return records_; }
    const std::string& Folder() const { return folder_; }
    std::string File() const { return folder_ + kFileName; }

    // Appends records and writes the journal; when it returns they are on the disk.
    void Append(const std::vector<JournalRecord>& added) { Add(added, true); }
    // Appends records without waiting for the disk, for those that announce nothing a power cut
    // would keep: the mark that a segment finished (lost, it leaves the segment to be rolled back
    // at the next start, as a cut a moment earlier would) and the settings applied.
    void AppendLazily(const std::vector<JournalRecord>& added) { Add(added, false); }
    // Replaces the records (a rolled-back segment dropped); an empty journal goes with its folder.
    void Rewrite(std::vector<JournalRecord> records);
    // Where the old bytes of the next replaced file go; nothing when no journal is kept.
    virtual std::optional<std::string> NewSavedFile(std::string& savedName);
    std::string SavedPath(const std::string& savedName) const { return folder_ + "saved\\" + savedName; }
    // Removes the journal with its folder.
    bool Remove();

protected:
    virtual void Add(const std::vector<JournalRecord>& added, bool flush);
    void Write();
    void EnsureFolder();

    SystemFiles& files_;
    std::string folder_;
    std::vector<JournalRecord> records_;
    int nextSaved_ = 0;
    bool folderMade_ = false;
    // What the file holds: nothing yet (no file, or an empty one), exactly `records_`, or what
    // only a whole rewrite can put right.
    enum class OnDisk { Nothing, Whole, Unknown };
    OnDisk onDisk_ = OnDisk::Unknown;
};

// Records nothing: the changes are made without a journal (for measuring what the journal costs).
class NullJournal : public InstallJournal {
public:
    explicit NullJournal(SystemFiles& files) : InstallJournal(files, {}) {}

protected:
    void Add(const std::vector<JournalRecord>&, bool) override {}
    std::optional<std::string> NewSavedFile(std::string&) override { return std::nullopt; }
};

}  // namespace lumaforge
