#include "install/journal_store.h"

#include "base/md5.h"
#include "base/text.h"

namespace lumaforge {
namespace {
bool IsPassing(std::string_view category) {
    return AsciiLower(category) == "restore";
}
}  // namespace

std::string JournalRootFolder(const ProgramPaths& paths) {
    return paths.AppPath() + "journal\\";
}

std::string PackageJournalFolder(const ProgramPaths& paths, TResourceKind kind, std::string_view name) {
    return JournalRootFolder(paths) + std::string(KindName(static_cast<int>(kind)).value_or("")) + "\\" +
           std::string(name) + "\\";
}

std::string FolderIconJournalFolder(const ProgramPaths& paths, std::string_view folder) {
    std::string key(folder);
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    // A folder's path cannot be a folder name; Windows compares paths without regard to case.
    return JournalRootFolder(paths) + "folder-icon\\" + Md5Hex(AsciiLower(key)) + "\\";
}

std::string OemJournalFolder(const ProgramPaths& paths, std::string_view fileName) {
    return JournalRootFolder(paths) + "oem\\" + AsciiLower(fileName) + "\\";
}

std::string PassingJournalFolder(const ProgramPaths& paths, std::string_view category, std::string_view name) {
    return JournalRootFolder(paths) + std::string(category) + "\\" + std::string(name) + "\\";
}

bool IsInstalledByJournal(const ProgramPaths& paths, const FileProbe& probe, TResourceKind kind,
                          std::string_view name) {
    // Interrupted installations are rolled back before the lists are filled, so a journal that is
    // there holds a finished one.
    return probe.FileExists(PackageJournalFolder(paths, kind, name) + InstallJournal::kFileName);
}

LastSegment FindLastSegment(const std::vector<JournalRecord>& records) {
    LastSegment last;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].kind == RecordKind::Begin)
            last = {i, false};
        else if (records[i].kind == RecordKind::Done)
            last.done = true;
    }
    if (records.empty())
        last.done = true;
    return last;
}

RecoveryReport RecoverInterruptedInstallations(const ProgramPaths& paths, SystemAccess system) {
    RecoveryReport report;
    const std::string root = JournalRootFolder(paths);
    for (const std::string& category : system.files.List(root)) {
        const std::string categoryFolder = root + category;
        if (!system.files.FolderExists(categoryFolder))
            continue;
        for (const std::string& name : system.files.List(categoryFolder)) {
            const std::string folder = categoryFolder + "\\" + name;
            if (!system.files.FolderExists(folder))
                continue;
            InstallJournal journal(system.files, folder + "\\");
            if (!journal.Load()) {
                // Records come before changes: without a journal file nothing was changed yet. A
                // journal that cannot be read is left for a person to read.
                if (!system.files.FileExists(journal.File()))
                    system.files.RemoveTree(folder);
                continue;
            }
            std::vector<JournalRecord> records = journal.Records();
            if (records.empty()) {
                // Its first write was cut short, before the change it announced.
                journal.Remove();
                continue;
            }
            const LastSegment last = FindLastSegment(records);
            if (!last.done && records[last.begin].path == kUninstallSegment) {
                // Finished rather than undone: its replay takes back only what is still ours.
                const ReplayResult replay = ReplayBackwards(system, journal, 0, last.begin);
                report.stayed.insert(report.stayed.end(), replay.stayed.begin(), replay.stayed.end());
                if (replay.Finished())
                    journal.Remove();
                continue;
            }
            if (!last.done) {
                const ReplayResult replay = ReplayBackwards(system, journal, last.begin, records.size());
                report.stayed.insert(report.stayed.end(), replay.stayed.begin(), replay.stayed.end());
                report.rolledBack.push_back(folder);
                records.resize(last.begin);
            }
            // A scratch folder that could not be removed when its extraction ended goes now.
            for (const JournalRecord& record : records) {
                if (record.kind == RecordKind::Scratch && system.files.FolderExists(record.path)) {
                    if (system.files.RemoveTree(record.path))
                        ++report.scratchRemoved;
                    else
                        report.stayed.push_back(record.path);
                }
            }
            if (IsPassing(category))
                records.clear();
            try {
                if (records.size() != journal.Records().size() || !journal.Whole())
                    journal.Rewrite(std::move(records));
            } catch (const std::exception& error) {
                report.stayed.push_back(error.what());
            }
        }
        system.files.RemoveEmptyFolder(categoryFolder);
    }
    return report;
}

}  // namespace lumaforge
