// What the install journal costs: installs and uninstalls one demo package of each kind with the
// journal and with a null journal, interleaved rounds in one run, and prints the medians and the
// ratio per kind. Visual styles, cursor schemes, screen savers and sound schemes are uninstalled;
// login screens and icon themes, which have restore links instead, are restored.
//
//   journal_bench.exe RES_FOLDER [ROUNDS]
//
// RES_FOLDER is the demo content's package folder (scripts/journal-bench.sh makes it). The
// program folder, the Windows folder and the system folder are temporary folders of the run, so
// only the registry of the prefix is touched. An uninstall without a journal leaves values behind
// (that is what the journal mends), so the keys the installers write are put back at the end.
//
// Every timed step starts on a settled disk, as one that a click starts does: the file system's
// pending changes are written out first. Otherwise the journal's first flush would also write out
// what the round before it left pending (its uninstall, the other variant's run).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/program_paths.h"
#include "base/resource_kind.h"
#include "bench_stats.h"
#include "install/install_context_win.h"
#include "install/installers.h"
#include "support/registry_snapshot_win.h"

using namespace lumaforge;
using namespace lumaforge::bench;

namespace {

// The first package of a kind's folder, as a path under it without ".zip"; the visual styles are
// one folder deeper, in their categories.
std::string FirstPackage(const std::string& folder) {
    for (const FolderEntry& entry : ListFolder(folder)) {
        if (!entry.isFolder && entry.name.size() > 4 && entry.name.ends_with(".zip"))
            return entry.name.substr(0, entry.name.size() - 4);
    }
    for (const FolderEntry& entry : ListFolder(folder)) {
        if (entry.isFolder && entry.name != "." && entry.name != "..") {
            if (const std::string inner = FirstPackage(folder + "\\" + entry.name); !inner.empty())
                return entry.name + "\\" + inner;
        }
    }
    return {};
}

// A flush writes out the file system's whole pending log (ext4 under Wine; NTFS likewise).
void SettleDisk(const std::string& root) {
    const std::string file = root + "\\settle";
    const UniqueHandle handle(
        CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (handle && WriteFile(handle.Get(), "s", 1, &written, nullptr))
        FlushFileBuffers(handle.Get());
}

std::string TempRoot() {
    char buffer[MAX_PATH];
    GetTempPathA(MAX_PATH, buffer);
    return std::string(buffer) + "lumaforge-journal-bench-" + std::to_string(GetCurrentProcessId());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: journal_bench RES_FOLDER [ROUNDS]\n");
        return 2;
    }
    // The user's settings as they were, put back when the bench ends.
    const test::RegistrySnapshot keys[] = {
        {HKEY_CURRENT_USER, L"Control Panel\\Cursors"},
        {HKEY_CURRENT_USER, L"Control Panel\\Desktop"},
        {HKEY_CURRENT_USER, L"AppEvents"},
        {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID"},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Icons"},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients"},
    };
    const std::string res = argv[1];
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
    const std::string root = TempRoot();
    const struct RemovedAtEnd {
        const std::string& folder;
        ~RemovedAtEnd() { DeleteFolderTree(folder); }
    } removed{root};
    ProgramPaths paths;
    paths.SetProgramFolder(root + "\\program\\");
    paths.SetSystemFolders(root + "\\windows", root + "\\windows\\system32");
    CreateFolderPath(root + "\\windows\\system32");
    CreateFolderPath(root + "\\windows\\Resources\\Themes");
    CreateFolderPath(root + "\\windows\\Cursors");
    CreateFolderPath(root + "\\windows\\Media");

    WinAnsiCodePage codePage;
    TPackageExtractor extractor(codePage);
    InstallContext context(paths, extractor);
    context.showMessage = [](const std::string&, TMsgKind) { return IDYES; };
    // Without a journal, an uninstall is the one of rows installed before the journals: the files
    // of the cached package found unchanged go, after the question, answered yes.
    // Nothing is launched: the display panel and the INF installer are not the journal's cost.
    context.shellExecute = [](const std::string&, const std::string&, const std::string&, int) -> intptr_t {
        return 33;
    };

    std::printf(
        "kind          package                 install ms (journal / null)  ratio   uninstall ms (journal / "
        "null)  ratio\n");
    for (int kindNumber = 0; kindNumber < kResourceKindCount; ++kindNumber) {
        const auto kind = static_cast<TResourceKind>(kindNumber);
        const std::string kindName(*KindName(kindNumber));
        const std::string found = FirstPackage(res + "\\" + kindName);
        const std::string name = found.substr(found.find_last_of('\\') + 1);
        if (found.empty()) {
            std::printf("%-13s (no package)\n", kindName.c_str());
            continue;
        }
        std::string bytes;
        if (!ReadWholeFile(res + "\\" + kindName + "\\" + found + ".zip", bytes))
            return 1;
        const std::string package = paths.PackageFile(kindNumber, name);
        CreateFolderPath(package.substr(0, package.rfind('\\')));
        WriteWholeFile(package, bytes);

        std::vector<double> install[2], uninstall[2];
        for (int round = 0; round < rounds; ++round) {
            for (int journal = 1; journal >= 0; --journal) {
                context.keepJournal = journal == 1;
                try {
                    SettleDisk(root);
                    const auto start = Clock::now();
                    InstallPackage(context, kind, package);
                    const auto installed = Clock::now();
                    SettleDisk(root);
                    const auto uninstallStart = Clock::now();
                    if (kind == TResourceKind::Logon || kind == TResourceKind::Icon)
                        RestoreDefaults(context, kind);
                    else
                        Uninstall(context, kind, name);
                    const auto done = Clock::now();
                    install[journal].push_back(Ms(installed - start));
                    uninstall[journal].push_back(Ms(done - uninstallStart));
                } catch (const std::exception& error) {
                    std::fprintf(stderr, "%s: %s\n", kindName.c_str(), error.what());
                    return 1;
                }
            }
        }
        const double in1 = Median(install[1]), in0 = Median(install[0]);
        const double un1 = Median(uninstall[1]), un0 = Median(uninstall[0]);
        std::printf("%-13s %-23s %8.2f / %8.2f             %5.2fx   %8.2f / %8.2f             %5.2fx\n",
                    kindName.c_str(), name.c_str(), in1, in0, in0 > 0 ? in1 / in0 : 0.0, un1, un0,
                    un0 > 0 ? un1 / un0 : 0.0);
        std::fflush(stdout);
    }
    return 0;
}
