#include "install/install_transaction.h"

#include <algorithm>
#include <exception>
#include <set>
#include <stdexcept>

namespace lumaforge {
namespace {
std::string WithoutBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

std::string ParentOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

JournalRecord ValueRecord(RegRoot root, const std::string& key, const std::string& name, std::optional<RegValue> before,
                          std::optional<RegValue> after) {
    JournalRecord record;
    record.kind = RecordKind::Value;
    record.root = root;
    record.path = key;
    record.valueName = name;
    record.before = std::move(before);
    record.after = std::move(after);
    return record;
}

JournalRecord PathRecord(RecordKind kind, std::string path, RegRoot root = RegRoot::CurrentUser) {
    JournalRecord record;
    record.kind = kind;
    record.path = std::move(path);
    record.root = root;
    return record;
}

std::string RegistryName(RegRoot root, const std::string& key, const std::string& name) {
    return std::string(root == RegRoot::CurrentUser ? "HKEY_CURRENT_USER\\" : "HKEY_LOCAL_MACHINE\\") + key + " \"" +
           (name.empty() ? "(default)" : name) + "\"";
}
}  // namespace

InstallTransaction::InstallTransaction(SystemAccess system, InstallJournal& journal, std::string what)
    : system_(system), journal_(journal), what_(std::move(what)) {}

void InstallTransaction::Record(std::vector<JournalRecord> records, bool flush) {
    if (!pending_.empty()) {
        // Expected values are relied on as being on the disk.
        flush = true;
        records.insert(records.begin(), pending_.begin(), pending_.end());
        for (JournalRecord& record : pending_) {
            if (record.kind == RecordKind::Value)
                expected_.push_back(std::move(record));
        }
        pending_.clear();
    }
    if (!begun_) {
        records.insert(records.begin(), PathRecord(RecordKind::Begin, what_));
        begun_ = true;
    }
    if (flush)
        journal_.Append(records);
    else
        journal_.AppendLazily(records);
}

void InstallTransaction::CreateFolderPath(const std::string& folder) {
    std::vector<std::string> missing;
    for (std::string path = WithoutBackslash(folder); !path.empty() && !system_.files.FolderExists(path);
         path = ParentOf(path))
        missing.insert(missing.begin(), path);
    if (missing.empty())
        return;
    std::vector<JournalRecord> records;
    for (const std::string& path : missing)
        records.push_back(PathRecord(RecordKind::FolderCreated, path));
    Record(std::move(records));
    for (const std::string& path : missing)
        system_.files.CreateFolder(path);
}

void InstallTransaction::WriteFile(const std::string& path, std::string_view bytes) {
    JournalRecord record = PathRecord(RecordKind::FileCreated, path);
    record.content = FileFingerprint::Of(bytes);
    if (system_.files.FileExists(path)) {
        const std::optional<std::string> old = system_.files.ReadFile(path);
        if (!old)
            throw std::runtime_error("Cannot read the file \"" + path + "\"");
        if (*old == bytes)
            return;
        record.kind = RecordKind::FileReplaced;
        // The old bytes are safe in the journal before the record that points at them exists.
        if (const std::optional<std::string> saved = journal_.NewSavedFile(record.saved))
            system_.files.WriteFileDurably(*saved, *old);
    }
    Record({record});
    system_.files.WriteFileDurably(path, bytes);
}

void InstallTransaction::RemoveFile(const std::string& path) {
    if (!system_.files.FileExists(path))
        return;
    const std::optional<std::string> old = system_.files.ReadFile(path);
    if (!old)
        throw std::runtime_error("Cannot read the file \"" + path + "\"");
    JournalRecord record = PathRecord(RecordKind::FileReplaced, path);
    if (const std::optional<std::string> saved = journal_.NewSavedFile(record.saved))
        system_.files.WriteFileDurably(*saved, *old);
    Record({record});
    if (!system_.files.RemoveFile(path))
        throw std::runtime_error("Cannot delete the file \"" + path + "\"");
}

void InstallTransaction::AnnounceScratch(const std::string& folder) {
    Record({PathRecord(RecordKind::Scratch, WithoutBackslash(folder))});
}

std::vector<std::string> InstallTransaction::AnnouncePlacements(const std::vector<Placement>& placements) {
    std::vector<JournalRecord> records;
    std::vector<std::string> aside = PlacementRecords(placements, records);
    if (!records.empty())
        Record(std::move(records));
    return aside;
}

std::vector<std::string> InstallTransaction::AnnounceExtraction(const std::string& scratch,
                                                                const std::vector<Placement>& placements) {
    std::vector<JournalRecord> records;
    std::vector<std::string> aside = PlacementRecords(placements, records);
    // Last, so that a replay takes it away before the folders that hold it.
    records.push_back(PathRecord(RecordKind::Scratch, WithoutBackslash(scratch)));
    Record(std::move(records));
    return aside;
}

std::vector<std::string> InstallTransaction::PlacementRecords(const std::vector<Placement>& placements,
                                                              std::vector<JournalRecord>& records) {
    std::vector<std::string> aside(placements.size());
    records.reserve(records.size() + placements.size());
    for (size_t i = 0; i < placements.size(); ++i) {
        const Placement& placement = placements[i];
        if (placement.folder) {
            records.push_back(PathRecord(RecordKind::FolderCreated, placement.path));
            continue;
        }
        JournalRecord record =
            PathRecord(placement.replaces ? RecordKind::FileReplaced : RecordKind::FileCreated, placement.path);
        record.content = placement.content;
        if (placement.replaces) {
            if (std::optional<std::string> saved = journal_.NewSavedFile(record.saved))
                aside[i] = std::move(*saved);
        }
        records.push_back(std::move(record));
    }
    return aside;
}

void InstallTransaction::MissingKeys(RegRoot root, const std::string& key, std::vector<JournalRecord>& records,
                                     std::vector<std::string>& created) {
    std::vector<std::string> missing;
    for (std::string path = key; !path.empty(); path = ParentOf(path)) {
        if (std::find(created.begin(), created.end(), path) != created.end() || system_.registry.KeyExists(root, path))
            break;
        missing.insert(missing.begin(), path);
    }
    for (const std::string& path : missing) {
        records.push_back(PathRecord(RecordKind::KeyCreated, path, root));
        created.push_back(path);
    }
}

std::vector<JournalRecord> InstallTransaction::ValueRecords(const std::vector<ValueWrite>& writes,
                                                            std::vector<const ValueWrite*>& changes) {
    std::vector<JournalRecord> records;
    std::vector<std::string> created;
    for (const ValueWrite& write : writes) {
        if (write.keyOnly) {
            MissingKeys(write.root, write.key, records, created);
            continue;
        }
        std::optional<RegValue> before = system_.registry.ReadValue(write.root, write.key, write.name);
        if (before == write.value)
            continue;
        JournalRecord value = ValueRecord(write.root, write.key, write.name, std::move(before), write.value);
        changes.push_back(&write);
        if (IsOnRecord(value))
            continue;
        if (write.value)
            MissingKeys(write.root, write.key, records, created);
        records.push_back(std::move(value));
    }
    return records;
}

bool InstallTransaction::IsOnRecord(const JournalRecord& value) const {
    // The key is on record too: a missing one was recorded with the expected value.
    return std::find(expected_.begin(), expected_.end(), value) != expected_.end();
}

std::vector<const InstallTransaction::ValueWrite*> InstallTransaction::RecordValues(
    const std::vector<ValueWrite>& writes) {
    std::vector<const ValueWrite*> changes;
    std::vector<JournalRecord> records = ValueRecords(writes, changes);
    if (!records.empty())
        Record(std::move(records));
    return changes;
}

void InstallTransaction::ExpectValues(const std::vector<ValueWrite>& writes) {
    std::vector<const ValueWrite*> changes;
    std::vector<JournalRecord> records = ValueRecords(writes, changes);
    pending_.insert(pending_.end(), records.begin(), records.end());
}

void InstallTransaction::SetValues(const std::vector<ValueWrite>& writes) {
    for (const ValueWrite* write : RecordValues(writes)) {
        if (!write->value) {
            system_.registry.DeleteValue(write->root, write->key, write->name);
            continue;
        }
        if (!system_.registry.KeyExists(write->root, write->key))
            system_.registry.CreateKey(write->root, write->key);
        system_.registry.WriteValue(write->root, write->key, write->name, *write->value);
    }
}

void InstallTransaction::AnnounceValues(const std::vector<ValueWrite>& writes) {
    RecordValues(writes);
}

void InstallTransaction::SetValue(RegRoot root, const std::string& key, const std::string& name,
                                  const RegValue& value) {
    SetValues({{root, key, name, value}});
}

void InstallTransaction::SetString(RegRoot root, const std::string& key, const std::string& name,
                                   const std::string& text, bool expandable) {
    SetValue(root, key, name, RegValue::String(text, expandable));
}

void InstallTransaction::DeleteValue(RegRoot root, const std::string& key, const std::string& name) {
    SetValues({{root, key, name, std::nullopt}});
}

void InstallTransaction::CollectTree(RegRoot root, const std::string& key, std::vector<JournalRecord>& records) {
    for (const std::string& sub : system_.registry.SubKeyNames(root, key))
        CollectTree(root, key + "\\" + sub, records);
    for (const std::string& name : system_.registry.ValueNames(root, key))
        records.push_back(ValueRecord(root, key, name, system_.registry.ReadValue(root, key, name), std::nullopt));
    records.push_back(PathRecord(RecordKind::KeyDeleted, key, root));
}

void InstallTransaction::DeleteKeyTree(RegRoot root, const std::string& key) {
    if (!system_.registry.KeyExists(root, key))
        return;
    std::vector<JournalRecord> records;
    CollectTree(root, key, records);
    Record(records);
    for (const JournalRecord& record : records) {
        if (record.kind == RecordKind::Value)
            system_.registry.DeleteValue(root, record.path, record.valueName);
        else if (!system_.registry.DeleteEmptyKey(root, record.path))
            throw std::runtime_error("Cannot delete the registry key " + RegistryName(root, record.path, {}));
    }
}

void InstallTransaction::CreateKey(RegRoot root, const std::string& key) {
    std::vector<JournalRecord> records;
    std::vector<std::string> created;
    MissingKeys(root, key, records, created);
    if (records.empty())
        return;
    Record(std::move(records));
    system_.registry.CreateKey(root, key);
}

void InstallTransaction::Apply(SystemSetting setting) {
    JournalRecord record;
    record.kind = RecordKind::Setting;
    record.setting = setting;
    // What a setting changes lives in memory only and no power cut outlives it: the record needs
    // no flush, a kill leaves it in the file all the same.
    Record({record}, false);
    system_.settings.Apply(setting);
}

void InstallTransaction::Commit() {
    // Values expected but never set were not changed.
    pending_.clear();
    // A segment that changed nothing leaves no trace.
    if (begun_)
        Record({PathRecord(RecordKind::Done, {})}, false);
    committed_ = true;
}

ReplayResult ReplayBackwards(SystemAccess system, const InstallJournal& journal, size_t from, size_t to) {
    ReplayResult result;
    std::set<SystemSetting> settings;
    const std::vector<JournalRecord>& records = journal.Records();
    SystemFiles& files = system.files;
    SystemRegistry& registry = system.registry;
    auto holds = [&files](const std::string& path, const std::optional<FileFingerprint>& content) {
        const std::optional<std::string> bytes = files.ReadFile(path);
        return bytes && content && FileFingerprint::Of(*bytes) == *content;
    };
    for (size_t index = to; index-- > from;) {
        const JournalRecord& record = records[index];
        try {
            switch (record.kind) {
                case RecordKind::Begin:
                case RecordKind::Done:
                    break;
                case RecordKind::Setting:
                    settings.insert(record.setting);
                    break;
                case RecordKind::Scratch:
                    if (files.FolderExists(record.path) && !files.RemoveTree(record.path))
                        result.stayed.push_back(record.path);
                    break;
                case RecordKind::FolderCreated:
                    if (files.FolderExists(record.path) && !files.RemoveEmptyFolder(record.path))
                        result.kept.push_back(record.path);
                    break;
                case RecordKind::FileCreated:
                    if (!files.FileExists(record.path))
                        break;
                    if (!holds(record.path, record.content))
                        result.kept.push_back(record.path);
                    else if (!files.RemoveFile(record.path))
                        result.stayed.push_back(record.path);
                    break;
                case RecordKind::FileReplaced: {
                    const std::string saved = journal.SavedPath(record.saved);
                    const bool ours = record.content ? holds(record.path, record.content) : false;
                    const bool there = files.FileExists(record.path);
                    if (!files.FileExists(saved)) {
                        // The change never happened (its record was the last thing done), or the
                        // old bytes were never ours to keep.
                        if (ours)
                            result.stayed.push_back(record.path);
                        break;
                    }
                    if (ours || !there)
                        files.Move(saved, record.path);
                    else if (files.ReadFile(record.path) != files.ReadFile(saved))
                        result.kept.push_back(record.path);
                    break;
                }
                case RecordKind::KeyCreated:
                    registry.DeleteEmptyKey(record.root, record.path);
                    break;
                case RecordKind::KeyDeleted:
                    if (!registry.KeyExists(record.root, record.path))
                        registry.CreateKey(record.root, record.path);
                    break;
                case RecordKind::Value: {
                    const std::optional<RegValue> now = registry.ReadValue(record.root, record.path, record.valueName);
                    // A value changed since belongs to whoever changed it.
                    if (now != record.after)
                        break;
                    if (!record.before) {
                        registry.DeleteValue(record.root, record.path, record.valueName);
                        break;
                    }
                    if (!registry.KeyExists(record.root, record.path))
                        registry.CreateKey(record.root, record.path);
                    registry.WriteValue(record.root, record.path, record.valueName, *record.before);
                    break;
                }
            }
        } catch (const std::exception& error) {
            result.stayed.push_back(record.path.empty() ? error.what() : record.path);
        }
    }
    for (const SystemSetting setting : settings) {
        try {
            system.settings.Apply(setting);
        } catch (const std::exception&) {
            // The settings come back from the registry at the next logon all the same.
        }
    }
    return result;
}

}  // namespace lumaforge
