#pragma once
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "install/install_journal.h"
#include "install/system_access.h"

namespace lumaforge {

struct SystemAccess {
    SystemFiles& files;
    SystemRegistry& registry;
    SystemSettings& settings;
};

// The one way the installers change the user's system. Every change is first written into the
// journal, which is on the disk before the change is made; a group of changes known together is
// announced in one write. A change that would leave things as they are is neither recorded nor
// made. A segment that never reaches Commit is rolled back by the next start.
class InstallTransaction {
public:
    // Opens a segment of `journal` named `what` ("install", "apply", "restore", ...).
    InstallTransaction(SystemAccess system, InstallJournal& journal, std::string what);
    InstallTransaction(const InstallTransaction&) = delete;
    InstallTransaction& operator=(const InstallTransaction&) = delete;

    SystemAccess& System() { return system_; }
    SystemFiles& Files() { return system_.files; }
    SystemRegistry& Registry() { return system_.registry; }

    // Files and folders.
    void CreateFolderPath(const std::string& folder);
    // Creates or replaces a file (the old bytes kept in the journal).
    void WriteFile(const std::string& path, std::string_view bytes);
    // Deletes a file (its bytes kept in the journal); a missing file is no change.
    void RemoveFile(const std::string& path);

    // The package extractor's side. A scratch folder is announced before it is made.
    void AnnounceScratch(const std::string& folder);
    struct Placement {
        std::string path;
        bool folder = false;    // a folder that did not exist (with everything staged in it)
        bool replaces = false;  // a file that was there
        FileFingerprint content;
        bool operator==(const Placement&) const = default;
    };
    // Announces what the extraction is about to place, parents before what they hold (a folder
    // placed whole is followed by everything in it, so that an uninstall can tell its files from
    // the user's). For each replaced file: where its old bytes must go before the new ones take
    // its place (empty when no journal is kept).
    std::vector<std::string> AnnouncePlacements(const std::vector<Placement>& placements);
    // The placements and the scratch folder in one write, before either is made: an extraction
    // that plans its placements from the package's list of entries costs one flush, not two.
    std::vector<std::string> AnnounceExtraction(const std::string& scratch, const std::vector<Placement>& placements);

    // Registry values, written (or deleted, when `value` is empty) as one group. Missing keys are
    // created, each recorded so that it can go again.
    struct ValueWrite {
        RegRoot root;
        std::string key;
        std::string name;
        std::optional<RegValue> value;
        bool keyOnly = false;  // only the key (announced writes)
    };
    void SetValues(const std::vector<ValueWrite>& writes);
    // Records writes that another program (an INF installation) is about to make.
    void AnnounceValues(const std::vector<ValueWrite>& writes);
    // Values to be set once the changes announced next are made (a login screen's UIHost, after
    // its files): their records join that announcement, so that setting them after an unpacking
    // needs no flush, which would write out the unpacked files too. SetValues then records only
    // those that are no longer as expected (changed meanwhile, or set to another value).
    void ExpectValues(const std::vector<ValueWrite>& writes);
    void SetValue(RegRoot root, const std::string& key, const std::string& name, const RegValue& value);
    void SetString(RegRoot root, const std::string& key, const std::string& name, const std::string& text,
                   bool expandable = false);
    void DeleteValue(RegRoot root, const std::string& key, const std::string& name);
    // A key with everything below it; every value is recorded so that it can come back.
    void DeleteKeyTree(RegRoot root, const std::string& key);
    // A key created only when missing (recorded so that it goes again when it is still empty).
    void CreateKey(RegRoot root, const std::string& key);

    // Records and applies a system setting.
    void Apply(SystemSetting setting);

    // Records that every change of the segment was made.
    void Commit();
    bool Committed() const { return committed_; }

private:
    // With `flush`, the records are on the disk when it returns.
    void Record(std::vector<JournalRecord> records, bool flush = true);
    std::vector<std::string> PlacementRecords(const std::vector<Placement>& placements,
                                              std::vector<JournalRecord>& records);
    std::vector<const ValueWrite*> RecordValues(const std::vector<ValueWrite>& writes);
    void MissingKeys(RegRoot root, const std::string& key, std::vector<JournalRecord>& records,
                     std::vector<std::string>& created);
    std::vector<JournalRecord> ValueRecords(const std::vector<ValueWrite>& writes,
                                            std::vector<const ValueWrite*>& changes);
    bool IsOnRecord(const JournalRecord& value) const;
    void CollectTree(RegRoot root, const std::string& key, std::vector<JournalRecord>& records);

    SystemAccess system_;
    InstallJournal& journal_;
    std::string what_;
    bool begun_ = false;
    bool committed_ = false;
    // Expected values: the records still to be written with the next announcement, and those
    // already on the disk.
    std::vector<JournalRecord> pending_;
    std::vector<JournalRecord> expected_;
};

// What taking changes back left in place.
struct ReplayResult {
    // Files changed since the installation wrote them, and folders that still hold something:
    // the user's now, left as they are.
    std::vector<std::string> kept;
    // What should have gone back but could not (a file in use, a refused registry write).
    std::vector<std::string> stayed;
    bool Finished() const { return stayed.empty(); }
};

// The one replay loop of uninstall and crash recovery: takes the records back from the last to
// the first. A file or folder goes only when the installation created it and it still holds the
// bytes it wrote; a replaced file comes back from the journal where the installation's bytes are
// still there; a registry value gets its previous state back where it still has the value the
// installation wrote. The settings the records applied are applied again at the end.
ReplayResult ReplayBackwards(SystemAccess system, const InstallJournal& journal, size_t from, size_t to);

}  // namespace lumaforge
