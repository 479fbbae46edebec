// Icon themes against the real registry of the prefix.
#include "install/icon_theme_win.h"
#include "install/installers_win.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <vector>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/registry_win.h"
#include "base/unicode_win.h"
#include "support/install_environment_win.h"
#include "support/registry_snapshot_win.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

constexpr char kClsids[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID";
constexpr char kShellIcons[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Icons";
constexpr char kMail[] = "SOFTWARE\\Clients\\Mail\\Outlook Express\\DefaultIcon";
constexpr char kBrowsers[] = "SOFTWARE\\Clients\\StartMenuInternet\\";
constexpr char kMetrics[] = "Control Panel\\Desktop\\WindowMetrics";

std::string ClassKey(const std::string& clsid) {
    return std::string(kClsids) + "\\" + clsid;
}

std::optional<std::string> Value(HKEY root, const std::string& path, const std::string& name) {
    const RegistryKey key = RegistryKey::OpenToRead(root, path);
    return key ? key.ReadString(name) : std::nullopt;
}

void Write(HKEY root, const std::string& path, const std::string& name, const std::string& value) {
    ASSERT_TRUE(RegistryKey::Create(root, path).WriteString(name, value)) << path;
}

class IconThemeTest : public ::testing::Test, protected test::InstallEnvironment {
protected:
    IconThemeTest() {
        // Each test starts from a system without overrides or clients; the snapshots put them back.
        RegistryKey::DeleteTree(HKEY_CURRENT_USER, kClsids);
        RegistryKey::DeleteTree(HKEY_LOCAL_MACHINE, kShellIcons);
        RegistryKey::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients");
    }

    // A theme file in a folder of its own, as the installer extracts it.
    std::string Theme(const std::string& name, const std::string& text) {
        const std::string folder = ToUtf8(root.Path()) + name;
        EXPECT_TRUE(CreateFolderPath(folder));
        const std::string file = folder + "\\" + name + ".config";
        EXPECT_TRUE(WriteWholeFile(file, text));
        return file;
    }
    void Apply(const std::string& themeFile) { ASSERT_TRUE(ApplyIconTheme(ctx, themeFile)); }
    void Restore() { RestoreDefaultIcons(ctx); }

    test::RegistrySnapshot clsids{HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID"};
    test::RegistrySnapshot shellIcons{HKEY_LOCAL_MACHINE,
                                      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Icons"};
    test::RegistrySnapshot clients{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients"};
    test::RegistrySnapshot metrics{HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowMetrics"};
};

TEST_F(IconThemeTest, ClientIconsComeBackAfterTwoThemes) {
    Write(HKEY_LOCAL_MACHINE, kMail, "", "msimn.exe,-2");
    Write(HKEY_LOCAL_MACHINE, std::string(kBrowsers) + "IEXPLORE.EXE\\DefaultIcon", "", "iexplore.exe,-7");
    Write(HKEY_LOCAL_MACHINE, std::string(kBrowsers) + "FIREFOX.EXE\\DefaultIcon", "", "firefox.exe,0");

    const std::string first =
        Theme("First", "[Start Icons]\r\nE-mail=%themepath%mail.ico\r\nInternet=%themepath%web.ico\r\n");
    const std::string second = Theme("Second", "[Start Icons]\r\nE-mail=b-mail.ico\r\nInternet=b-web.ico\r\n");
    Apply(first);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kMail, ""), ToUtf8(root.Path()) + "First\\mail.ico");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, std::string(kBrowsers) + "FIREFOX.EXE\\DefaultIcon", ""),
              ToUtf8(root.Path()) + "First\\web.ico");
    Apply(second);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kMail, ""), "b-mail.ico");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kMail, "Lumaforge_Backup"), "msimn.exe,-2");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, std::string(kBrowsers) + "IEXPLORE.EXE\\DefaultIcon", ""), "b-web.ico");

    // A browser registered after the themes has nothing to go back to.
    Write(HKEY_LOCAL_MACHINE, std::string(kBrowsers) + "Opera\\DefaultIcon", "", "opera.exe,0");
    Restore();
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kMail, ""), "msimn.exe,-2");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, std::string(kBrowsers) + "IEXPLORE.EXE\\DefaultIcon", ""), "iexplore.exe,-7");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, std::string(kBrowsers) + "FIREFOX.EXE\\DefaultIcon", ""), "firefox.exe,0");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, std::string(kBrowsers) + "Opera\\DefaultIcon", ""), "opera.exe,0");
    EXPECT_FALSE(Value(HKEY_LOCAL_MACHINE, std::string(kBrowsers) + "Opera\\DefaultIcon", "Lumaforge_Backup"));
    // The backup goes once it is restored.
    EXPECT_FALSE(Value(HKEY_LOCAL_MACHINE, kMail, "Lumaforge_Backup"));
    EXPECT_FALSE(Value(HKEY_LOCAL_MACHINE, std::string(kBrowsers) + "IEXPLORE.EXE\\DefaultIcon", "Lumaforge_Backup"));
}

TEST_F(IconThemeTest, AClientWithoutAnIconOfItsOwnHasNoneAgainAfterTheRestore) {
    ASSERT_TRUE(RegistryKey::Create(HKEY_LOCAL_MACHINE, kMail));
    Apply(Theme("Mail", "[Start Icons]\r\nE-mail=mail.ico\r\n"));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kMail, ""), "mail.ico");
    Restore();
    const RegistryKey mail = RegistryKey::OpenToRead(HKEY_LOCAL_MACHINE, kMail);
    EXPECT_FALSE(mail.HasValue(""));
    EXPECT_FALSE(mail.HasValue("Lumaforge_Backup"));
}

TEST_F(IconThemeTest, WithoutAMailIconNeitherMailNorBrowsersChange) {
    Write(HKEY_LOCAL_MACHINE, kMail, "", "msimn.exe,-2");
    Write(HKEY_LOCAL_MACHINE, std::string(kBrowsers) + "IEXPLORE.EXE\\DefaultIcon", "", "iexplore.exe,-7");
    Apply(Theme("NoMail", "[Start Icons]\r\nE-mail=\r\nInternet=web.ico\r\nRun=run.ico\r\n"));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kMail, ""), "msimn.exe,-2");
    EXPECT_FALSE(Value(HKEY_LOCAL_MACHINE, kMail, "Lumaforge_Backup"));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, std::string(kBrowsers) + "IEXPLORE.EXE\\DefaultIcon", ""), "iexplore.exe,-7");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, ClassKey("{2559a1f3-21d7-11d4-bdaf-00c04f60b9f0}") + "\\DefaultIcon", ""),
              "run.ico");
}

TEST_F(IconThemeTest, DriveIconsOnlyChangeTheirOwnShellIcons) {
    Write(HKEY_LOCAL_MACHINE, kShellIcons, "3", "folder.ico");
    Write(HKEY_LOCAL_MACHINE, kShellIcons, "12", "ram.ico");
    Apply(Theme("Drives",
                "[drive icons]\r\nhard drive = %THEMEPATH%hdd.ico,1 \r\nCD-ROM Drive=cd.ico\r\nRAM Drive=\r\n"));

    const RegistryKey shellIcons = RegistryKey::OpenToRead(HKEY_LOCAL_MACHINE, kShellIcons);
    ASSERT_TRUE(shellIcons);
    EXPECT_EQ(shellIcons.ReadString("8"), ToUtf8(root.Path()) + "Drives\\hdd.ico,1");
    EXPECT_EQ(shellIcons.ReadString("11"), "cd.ico");
    EXPECT_EQ(shellIcons.ReadString("12"), "ram.ico");
    EXPECT_EQ(shellIcons.ReadString("3"), "folder.ico");
    for (const char* untouched : {"4", "5", "6", "7", "9", "10", "13", "29", "36", "40"})
        EXPECT_FALSE(shellIcons.HasValue(untouched)) << untouched;
    EXPECT_FALSE(RegistryKey::OpenToRead(HKEY_CURRENT_USER, kClsids));
    EXPECT_FALSE(RegistryKey::OpenToRead(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients"));
}

TEST_F(IconThemeTest, ClassIconsGoToTheirValueNames) {
    Apply(Theme("Desk",
                "[Desktop Icons]\r\nMy Computer=%ThemePath%pc.ico\r\nRecycle Bin (empty)=empty.ico\r\n"
                "Recycle Bin (full)=full.ico\r\n[Folder Icons]\r\nScanners && Cameras=scan.ico\r\n"));
    const std::string bin = ClassKey("{645FF040-5081-101B-9F08-00AA002F954E}") + "\\DefaultIcon";
    EXPECT_EQ(Value(HKEY_CURRENT_USER, bin, ""), "empty.ico");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, bin, "Empty"), "empty.ico");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, bin, "full"), "full.ico");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, ClassKey("{20D04FE0-3AEA-1069-A2D8-08002B30309D}") + "\\DefaultIcon", ""),
              ToUtf8(root.Path()) + "Desk\\pc.ico");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, ClassKey("{E211B736-43FD-11D1-9EFB-0000F8757FCD}") + "\\DefaultIcon", ""),
              "scan.ico");
}

TEST_F(IconThemeTest, RestoreRemovesEveryOverrideOfTheTables) {
    std::set<std::string> classIds;
    for (const ClsidIconRow& row : ClsidIconTable) {
        classIds.insert(row.clsid);
        Write(HKEY_CURRENT_USER, ClassKey(row.clsid) + "\\DefaultIcon", row.valueName, "x.ico");
    }
    ASSERT_EQ(classIds.size(), 18u);
    for (const ShellIconRow& row : ShellIconTable)
        Write(HKEY_LOCAL_MACHINE, kShellIcons, row.valueName, "x.ico");
    // Not ours: another class's override and a shell icon outside the table.
    Write(HKEY_CURRENT_USER, ClassKey("{00000000-0000-0000-0000-000000000001}") + "\\DefaultIcon", "", "o.ico");
    Write(HKEY_LOCAL_MACHINE, kShellIcons, "99", "o.ico");

    RestoreDefaultIcons(ctx);
    for (const std::string& classId : classIds)
        EXPECT_FALSE(RegistryKey::OpenToRead(HKEY_CURRENT_USER, ClassKey(classId))) << classId;
    const RegistryKey shellIcons = RegistryKey::OpenToRead(HKEY_LOCAL_MACHINE, kShellIcons);
    for (const ShellIconRow& row : ShellIconTable)
        EXPECT_FALSE(shellIcons.HasValue(row.valueName)) << row.valueName;
    EXPECT_EQ(shellIcons.ReadString("99"), "o.ico");
    EXPECT_EQ(Value(HKEY_CURRENT_USER, ClassKey("{00000000-0000-0000-0000-000000000001}") + "\\DefaultIcon", ""),
              "o.ico");
    EXPECT_EQ(messages, std::vector<std::string>{"Restored default system icons successfully."});
}

TEST_F(IconThemeTest, ApplyReportsOnlyAThemeFileThatExists) {
    EXPECT_FALSE(ApplyIconTheme(ctx, ToUtf8(root.Path()) + "Missing\\Missing.config"));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(ApplyIconTheme(ctx, Theme("Blue", "[Other Icons]\r\nAudio CD=cd.ico\r\n")));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kShellIcons, "40"), "cd.ico");
    EXPECT_EQ(messages, std::vector<std::string>{"Applied system icons successfully."});
}

// Records "Shell Icon Size" each time a window hears that the icon metrics changed.
std::vector<std::string>* heardSizes = nullptr;
LRESULT CALLBACK ListeningProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTINGCHANGE && wParam == SPI_SETICONMETRICS && heardSizes)
        heardSizes->push_back(Value(HKEY_CURRENT_USER, kMetrics, "Shell Icon Size").value_or("<none>"));
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(IconThemeTest, RefreshNudgesTheIconSizeAndPutsItBack) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ListeningProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LumaforgeIconMetricsListener";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                        nullptr, windowClass.hInstance, nullptr);
    ASSERT_TRUE(window);
    std::vector<std::string> heard;
    heardSizes = &heard;

    Write(HKEY_CURRENT_USER, kMetrics, "Shell Icon Size", "32");
    EXPECT_TRUE(RefreshShellIcons());
    EXPECT_EQ(heard, (std::vector<std::string>{"31", "32"}));
    EXPECT_EQ(Value(HKEY_CURRENT_USER, kMetrics, "Shell Icon Size"), "32");

    heard.clear();
    for (const char* size : {"", "large", "32px"}) {
        Write(HKEY_CURRENT_USER, kMetrics, "Shell Icon Size", size);
        EXPECT_FALSE(RefreshShellIcons()) << size;
        EXPECT_EQ(Value(HKEY_CURRENT_USER, kMetrics, "Shell Icon Size"), size);
    }
    RegistryKey::OpenToChange(HKEY_CURRENT_USER, kMetrics).DeleteValue("Shell Icon Size");
    EXPECT_FALSE(RefreshShellIcons());
    EXPECT_TRUE(heard.empty());

    heardSizes = nullptr;
    DestroyWindow(window);
}

}  // namespace
}  // namespace lumaforge
