#pragma once
#include <exception>
#include <memory>
#include <string>

#include "install/install_host.h"
#include "install/install_journal.h"
#include "install/install_transaction.h"

namespace lumaforge {

// The journal in `folder` with the records already there; one that records nothing when the host
// keeps no journal.
std::unique_ptr<InstallJournal> OpenJournal(InstallHost& host, const std::string& folder);

// Takes back what the journal recorded from `from` on and drops those records.
void RollBack(InstallHost& host, InstallJournal& journal, size_t from);

// Takes a whole journal back, as an uninstall does: the uninstall is on record before its first
// change (an earlier one cut short is taken up), and the journal goes once everything is back.
struct TakeBackResult {
    ReplayResult replay;
    bool finished = false;
};
TakeBackResult TakeBackJournal(SystemAccess system, InstallJournal& journal);

// Runs `change` as one segment of the journal in `folder`. When it returns false or raises an
// error, what it changed is taken back; a passing journal goes once the change is made.
template <typename Change>
bool Journaled(InstallHost& host, const std::string& folder, const char* what, bool passing, Change&& change) {
    std::unique_ptr<InstallJournal> journal = OpenJournal(host, folder);
    const size_t from = journal->Records().size();
    InstallTransaction tx(host.system, *journal, what);
    bool done = false;
    try {
        done = change(tx);
    } catch (...) {
        try {
            RollBack(host, *journal, from);
        } catch (const std::exception&) {
            // The next start rolls back what is still on record.
        }
        throw;
    }
    if (!done) {
        RollBack(host, *journal, from);
        return false;
    }
    tx.Commit();
    if (passing && host.keepJournal)
        journal->Remove();
    return true;
}

}  // namespace lumaforge
