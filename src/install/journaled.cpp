#include "install/journaled.h"

#include <utility>
#include <vector>

#include "install/journal_store.h"

namespace lumaforge {

std::unique_ptr<InstallJournal> OpenJournal(InstallHost& host, const std::string& folder) {
    if (!host.keepJournal)
        return std::make_unique<NullJournal>(host.system.files);
    auto journal = std::make_unique<InstallJournal>(host.system.files, folder);
    journal->Load();
    return journal;
}

void RollBack(InstallHost& host, InstallJournal& journal, size_t from) {
    if (!host.keepJournal)
        return;
    ReplayBackwards(host.system, journal, from, journal.Records().size());
    std::vector<JournalRecord> records = journal.Records();
    records.resize(from);
    journal.Rewrite(std::move(records));
}

TakeBackResult TakeBackJournal(SystemAccess system, InstallJournal& journal) {
    size_t end = journal.Records().size();
    if (const LastSegment last = FindLastSegment(journal.Records());
        !last.done && journal.Records()[last.begin].path == kUninstallSegment) {
        end = last.begin;
    } else {
        JournalRecord begin;
        begin.kind = RecordKind::Begin;
        begin.path = kUninstallSegment;
        journal.Append({begin});
    }
    TakeBackResult result;
    result.replay = ReplayBackwards(system, journal, 0, end);
    result.finished = result.replay.Finished() && journal.Remove();
    return result;
}

}  // namespace lumaforge
