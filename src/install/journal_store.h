#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "base/file_probe.h"
#include "base/program_paths.h"
#include "base/resource_kind.h"
#include "install/install_transaction.h"

namespace lumaforge {

// The segment an uninstall opens before it takes a journal back: an uninstall cut short is
// finished by the next start, so that it never leaves half an installation.
inline constexpr char kUninstallSegment[] = "uninstall";

// The journals live in the program's data beside the cache, two levels deep:
// "journal\<kind>\<name>\" for an installed package, "journal\folder-icon\<id>\" for a folder's
// icon, "journal\oem\<file>\" for the OEM information and logo, and "journal\restore\<kind>\" for
// restores, which need the journal only while they are being made.
std::string JournalRootFolder(const ProgramPaths& paths);
std::string PackageJournalFolder(const ProgramPaths& paths, TResourceKind kind, std::string_view name);
std::string FolderIconJournalFolder(const ProgramPaths& paths, std::string_view folder);
std::string OemJournalFolder(const ProgramPaths& paths, std::string_view fileName);
std::string PassingJournalFolder(const ProgramPaths& paths, std::string_view category, std::string_view name);

// Whether the package's installation is on record: its journal holds a finished installation.
bool IsInstalledByJournal(const ProgramPaths& paths, const FileProbe& probe, TResourceKind kind, std::string_view name);

// Index of the first record of the journal's last segment, and whether that segment finished.
struct LastSegment {
    size_t begin = 0;
    bool done = false;
};
LastSegment FindLastSegment(const std::vector<JournalRecord>& records);

struct RecoveryReport {
    std::vector<std::string> rolledBack;  // the journals whose last change was taken back
    std::vector<std::string> stayed;      // what could not be taken back
    int scratchRemoved = 0;
};

// Run at start, before anything reads the installed state: every segment that an interrupted run
// left unfinished is rolled back from its journal, scratch folders that are still there are
// removed, and journals of passing changes go once they are finished.
RecoveryReport RecoverInterruptedInstallations(const ProgramPaths& paths, SystemAccess system);

}  // namespace lumaforge
