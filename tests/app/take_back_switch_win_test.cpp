// The program run with "/takeback", as its uninstaller runs it: every customisation on record goes
// back, no window opens, and the exit code tells the uninstaller whether anything stayed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/unicode_win.h"
#include "install/install_context_win.h"
#include "install/journal_store.h"
#include "support/win_test_support.h"

#ifndef LUMAFORGE_TEST_PROGRAM_DIR
#define LUMAFORGE_TEST_PROGRAM_DIR ""
#endif

namespace lumaforge {
namespace {

using test::TempFolder;

constexpr char kTestKey[] = "Software\\Lumaforge take-back test";

class TakeBackSwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring built = test::HostPath(LUMAFORGE_TEST_PROGRAM_DIR) + L"\\Lumaforge.exe";
        ASSERT_TRUE(CopyFileW(built.c_str(), (programFolder.Path() + L"Lumaforge.exe").c_str(), FALSE));
        paths.SetProgramFolder(ToUtf8(programFolder.Path()));
        RegDeleteTreeW(HKEY_CURRENT_USER, ToWide(kTestKey).c_str());
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, ToWide(kTestKey).c_str()); }

    SystemAccess Access() { return {system.files, system.registry, system.settings}; }

    // An installation on record: a folder with a file, and a registry value.
    void Install(TResourceKind kind, const std::string& name) {
        InstallJournal journal(system.files, PackageJournalFolder(paths, kind, name));
        InstallTransaction tx(Access(), journal, "install");
        tx.CreateFolderPath(Target(name));
        tx.WriteFile(Target(name) + "\\" + name + ".cur", "pointer of " + name);
        tx.SetString(RegRoot::CurrentUser, kTestKey, name, Target(name));
        tx.Commit();
    }
    std::string Target(const std::string& name) const { return ToUtf8(customised.Path()) + name; }

    // The program's exit code, or -1 when it did not end in time.
    DWORD RunProgram(const std::wstring& arguments) {
        std::wstring command = L"\"" + programFolder.Path() + L"Lumaforge.exe\" " + arguments;
        STARTUPINFOW startup{sizeof startup};
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return static_cast<DWORD>(-2);
        const UniqueHandle thread(process.hThread);
        const UniqueHandle child(process.hProcess);
        if (WaitForSingleObject(child.Get(), 60000) != WAIT_OBJECT_0) {
            TerminateProcess(child.Get(), 99);
            return static_cast<DWORD>(-1);
        }
        DWORD code = 0;
        GetExitCodeProcess(child.Get(), &code);
        return code;
    }

    TempFolder programFolder;
    TempFolder customised;
    ProgramPaths paths;
    WinSystem system;
};

TEST_F(TakeBackSwitchTest, TakesBackEveryInstallationAndEndsWithoutAWindow) {
    if (std::string(LUMAFORGE_TEST_PROGRAM_DIR).empty())
        GTEST_SKIP() << "no program folder";
    Install(TResourceKind::Cursor, "Neon");
    Install(TResourceKind::Theme, "Glass");
    ASSERT_TRUE(system.registry.ReadValue(RegRoot::CurrentUser, kTestKey, "Neon"));

    EXPECT_EQ(RunProgram(L"/TakeBack"), 0u);
    for (const char* name : {"Neon", "Glass"}) {
        EXPECT_FALSE(FolderExists(Target(name))) << name;
        EXPECT_FALSE(system.registry.ReadValue(RegRoot::CurrentUser, kTestKey, name)) << name;
    }
    EXPECT_FALSE(system.registry.KeyExists(RegRoot::CurrentUser, kTestKey));
    EXPECT_FALSE(FolderExists(JournalRootFolder(paths)));
    // Nothing left: a second run has nothing to do and says all went.
    EXPECT_EQ(RunProgram(L"/takeback"), 0u);
}

TEST_F(TakeBackSwitchTest, AFileInUseKeepsItsJournalAndTheExitCodeSaysSo) {
    if (std::string(LUMAFORGE_TEST_PROGRAM_DIR).empty())
        GTEST_SKIP() << "no program folder";
    Install(TResourceKind::Cursor, "Neon");
    Install(TResourceKind::Theme, "Glass");
    const UniqueHandle inUse(CreateFileW(ToWide(Target("Glass") + "\\Glass.cur").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(inUse.Get(), INVALID_HANDLE_VALUE);

    EXPECT_EQ(RunProgram(L"/takeback"), 1u);
    EXPECT_FALSE(FolderExists(Target("Neon")));
    EXPECT_TRUE(FileExists(PackageJournalFolder(paths, TResourceKind::Theme, "Glass") + InstallJournal::kFileName));
}

}  // namespace
}  // namespace lumaforge
