// A login screen of thousands of files, its installation killed part-way as a crash or the task
// manager kills it, in a process of its own; the next start's recovery then leaves the Windows
// folder and the registry as they were before or as the installation leaves them, never a
// mixture, and no scratch folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/registry_win.h"
#include "base/unicode_win.h"
#include "install/installers.h"
#include "install/journal_store.h"
#include "install/journaled.h"
#include "support/install_environment_win.h"
#include "support/registry_snapshot_win.h"
#include "support/zip_maker.h"

namespace lumaforge {
namespace {

constexpr char kRootVariable[] = "LUMAFORGE_KILLED_INSTALL_ROOT";
constexpr char kWinlogonKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr int kPictures = 4000;

std::string UIHost() {
    return RegistryKey::OpenToRead(HKEY_LOCAL_MACHINE, kWinlogonKey).ReadString("UIHost").value_or("<none>");
}

// Every file below a folder with its bytes, and every folder.
void Collect(const std::string& folder, const std::string& relative, std::map<std::string, std::string>& tree) {
    for (const FolderEntry& entry : ListFolder(folder)) {
        if (entry.name == "." || entry.name == "..")
            continue;
        const std::string path = folder + "\\" + entry.name;
        const std::string name = relative + entry.name;
        if (entry.isFolder) {
            tree[name + "\\"] = "<folder>";
            Collect(path, name + "\\", tree);
        } else {
            ReadWholeFile(path, tree[name]);
        }
    }
}

std::map<std::string, std::string> Tree(const std::string& folder) {
    std::map<std::string, std::string> tree;
    Collect(folder, {}, tree);
    return tree;
}

// The program's folders under `root`, as the installation in the child process and the recovery
// in the test see them.
class Machine : protected test::InstallEnvironment {
public:
    std::string Package() const { return paths.PackageFile(static_cast<int>(TResourceKind::Logon), "Dawn"); }
    std::string Windows() const { return paths.WinPath(); }
    std::string Root() const { return paths.AppPath(); }
    void PutPackage() {
        std::vector<test::ZipEntry> entries = {{"logonui.exe", "Dawn's logon"}};
        for (int i = 0; i < kPictures; ++i)
            entries.push_back({"Dawn\\picture" + std::to_string(i) + ".bmp", std::string(2048, char('a' + i % 26))});
        CreateFolderPath(Package().substr(0, Package().rfind('\\')));
        ASSERT_TRUE(WriteWholeFile(Package(), test::MakeZip(entries)));
        ASSERT_TRUE(WriteWholeFile(Windows() + "\\logonui.exe", "Windows' own logon"));
    }
    // Installs as the program does when its row is clicked.
    void Install() { InstallLoginScreen(ctx, Package()); }
    // Takes the installation on record back, as its uninstall does.
    bool RollBackForTest() {
        WinSystem system;
        InstallJournal journal(system.files, PackageJournalFolder(paths, TResourceKind::Logon, "Dawn"));
        return journal.Load() && TakeBackJournal({system.files, system.registry, system.settings}, journal).finished;
    }
    RecoveryReport Recover() {
        WinSystem system;
        return RecoverInterruptedInstallations(paths, {system.files, system.registry, system.settings});
    }
    void UseRoot(const std::string& root) {
        paths.SetProgramFolder(root);
        paths.SetSystemFolders(root + "windows", root + "windows\\system32");
    }
};

// The child: installs into the folders the test names, until it is killed.
TEST(KilledInstall, DISABLED_InstallsTheLoginScreenOfTheParent) {
    char root[MAX_PATH] = {};
    ASSERT_NE(GetEnvironmentVariableA(kRootVariable, root, MAX_PATH), 0u);
    struct Child : Machine {
        void Run(const std::string& folder) {
            UseRoot(folder);
            Install();
        }
    } child;
    child.Run(root);
}

class KilledInstallTest : public ::testing::Test, protected Machine {
protected:
    // Starts the child and kills it once `ready` holds (checked every millisecond) and `delay`
    // milliseconds more have passed; false when the child ended first.
    template <typename Ready>
    bool InstallAndKill(Ready ready, DWORD delay) {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring command = L"\"" + std::wstring(self) +
                               L"\" --gtest_filter=KilledInstall.DISABLED_InstallsTheLoginScreenOfTheParent "
                               L"--gtest_also_run_disabled_tests";
        SetEnvironmentVariableA(kRootVariable, Root().c_str());
        // The child's temporary folders go with the test's own, since the kill leaves them.
        const std::string childTemp = Root() + "child-temp";
        CreateDirectoryA(childTemp.c_str(), nullptr);
        char temp[MAX_PATH] = {}, tmp[MAX_PATH] = {};
        GetEnvironmentVariableA("TEMP", temp, MAX_PATH);
        GetEnvironmentVariableA("TMP", tmp, MAX_PATH);
        SetEnvironmentVariableA("TEMP", childTemp.c_str());
        SetEnvironmentVariableA("TMP", childTemp.c_str());
        STARTUPINFOW startup{sizeof startup};
        PROCESS_INFORMATION process{};
        const bool started =
            CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
        SetEnvironmentVariableA(kRootVariable, nullptr);
        SetEnvironmentVariableA("TEMP", temp[0] ? temp : nullptr);
        SetEnvironmentVariableA("TMP", tmp[0] ? tmp : nullptr);
        if (!started)
            return false;
        const UniqueHandle thread(process.hThread);
        const UniqueHandle child(process.hProcess);
        while (!ready()) {
            if (WaitForSingleObject(child.Get(), 1) == WAIT_OBJECT_0)
                return false;
        }
        if (WaitForSingleObject(child.Get(), delay) == WAIT_OBJECT_0)
            return false;
        TerminateProcess(child.Get(), 9);
        WaitForSingleObject(child.Get(), INFINITE);
        return true;
    }

    test::RegistrySnapshot winlogon{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"};
};

TEST_F(KilledInstallTest, ALargeLoginScreenKilledPartWayLeavesTheOldStateOrTheNewAndNoScratchFolder) {
    PutPackage();
    const auto before = Tree(Windows());
    const std::string uiHostBefore = UIHost();
    // What a whole installation leaves, from a run that is not killed.
    Install();
    const auto after = Tree(Windows());
    const std::string uiHostAfter = UIHost();
    ASSERT_NE(after, before);
    ASSERT_TRUE(RollBackForTest());
    ASSERT_EQ(Tree(Windows()), before);

    const std::string scratch = Windows() + "\\.lumaforge-extract-1";
    const struct {
        const char* when;
        std::function<bool()> ready;
        DWORD delay;
    } kills[] = {
        {"while the pictures are unpacked", [&] { return test::PathExists(scratch); }, 0},
        {"later in the unpacking", [&] { return test::PathExists(scratch); }, 300},
        {"as the files take their places", [&] { return test::PathExists(Windows() + "\\Dawn"); }, 0},
    };
    int killed = 0;
    for (const auto& kill : kills) {
        SCOPED_TRACE(kill.when);
        if (!InstallAndKill(kill.ready, kill.delay))
            continue;
        ++killed;
        const RecoveryReport report = Recover();
        EXPECT_TRUE(report.stayed.empty());
        const auto tree = Tree(Windows());
        for (const auto& [path, bytes] : tree)
            EXPECT_EQ(path.find(".lumaforge-extract"), std::string::npos) << path;
        const bool old = tree == before && UIHost() == uiHostBefore;
        const bool whole = tree == after && UIHost() == uiHostAfter;
        EXPECT_TRUE(old || whole) << tree.size() << " entries of " << before.size() << " before and " << after.size()
                                  << " after";
        // Back to the old state for the next kill.
        if (whole)
            ASSERT_TRUE(RollBackForTest());
    }
    EXPECT_GT(killed, 0) << "the installation always ended before the kill";
}

}  // namespace
}  // namespace lumaforge
