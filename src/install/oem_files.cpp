#include "install/oem_files.h"

#include "install/journal_store.h"
#include "install/journaled.h"

namespace lumaforge {
namespace {
constexpr char kSegment[] = "oem";

std::string JournalOf(const InstallHost& host, const std::string& path) {
    return OemJournalFolder(host.paths, path.substr(path.find_last_of('\\') + 1));
}
}  // namespace

void WriteOemFile(InstallHost& host, const std::string& path, std::string_view bytes) {
    Journaled(host, JournalOf(host, path), kSegment, false, [&](InstallTransaction& tx) {
        tx.WriteFile(path, bytes);
        return true;
    });
}

void DeleteOemFile(InstallHost& host, const std::string& path) {
    Journaled(host, JournalOf(host, path), kSegment, false, [&](InstallTransaction& tx) {
        tx.RemoveFile(path);
        return true;
    });
}

}  // namespace lumaforge
