// Visual styles, login screens and screen savers against the real folders and registry of the prefix.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/registry_win.h"
#include "base/shell_win.h"
#include "base/unicode_win.h"
#include "install/installers_win.h"
#include "support/install_environment_win.h"
#include "support/registry_snapshot_win.h"
#include "support/win_test_support.h"
#include "support/zip_maker.h"

namespace lumaforge {
namespace {

// An installer context whose Windows and system folders are folders of a test's own.
class InstallerTest : public ::testing::Test, protected test::InstallEnvironment {
protected:
    InstallerTest() { root.MakeFolder(L"cache"); }

    // A package in the cache, as a download leaves it.
    std::string Package(const std::string& kind, const std::string& name, const std::vector<test::ZipEntry>& entries) {
        const std::string folder = paths.AppPath() + "cache\\" + kind;
        CreateFolderPath(folder);
        const std::string path = folder + "\\" + name + ".zip";
        EXPECT_TRUE(WriteWholeFile(path, test::MakeZip(entries)));
        return path;
    }
    std::string Read(const std::string& path) {
        std::string content;
        return ReadWholeFile(path, content) ? content : "<missing>";
    }
};

TEST_F(InstallerTest, VisualStyleKeepsFilesAlreadyThereAndOpensTheDisplayPanel) {
    const std::string package =
        Package("theme", "Aero.Glass", {{"Aero.Glass.theme", "[Theme]\r\n"}, {"Aero.Glass/wallpaper.bmp", "new"}});
    CreateFolderPath(paths.InstalledThemeFolder("Aero.Glass"));
    WriteWholeFile(paths.InstalledThemeFolder("Aero.Glass") + "\\wallpaper.bmp", "changed by the user");
    EXPECT_TRUE(InstallVisualStyle(ctx, package));
    EXPECT_EQ(Read(paths.InstalledThemeFolder("Aero.Glass") + "\\wallpaper.bmp"), "changed by the user");
    EXPECT_EQ(Read(paths.InstalledThemeFile("Aero.Glass")), "[Theme]\r\n");
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].verb, "");
    EXPECT_EQ(launches[0].file, paths.SysPath() + "\\rundll32.exe");
    EXPECT_EQ(launches[0].parameters, " shell32.dll, Control_RunDLL desk.cpl desk,@Themes /Action:OpenTheme /file:\"" +
                                          paths.InstalledThemeFile("Aero.Glass") + "\"");
    EXPECT_EQ(launches[0].show, SW_SHOWNORMAL);
    EXPECT_TRUE(messages.empty());
}

TEST_F(InstallerTest, VisualStyleWithoutItsThemeFileFails) {
    EXPECT_FALSE(InstallVisualStyle(ctx, Package("theme", "Luna", {{"Other.theme", "[Theme]\r\n"}})));
    EXPECT_EQ(messages, (std::vector<std::string>{"Failed to apply the theme."}));
    EXPECT_TRUE(launches.empty());
    EXPECT_EQ(Read(paths.ThemesFolder() + "\\Other.theme"), "<missing>");  // a failure takes back what arrived
}

TEST_F(InstallerTest, LoginScreenGoesIntoTheWindowsFolderAndTheRestorePointsBack) {
    test::RegistrySnapshot winlogon{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"};
    EXPECT_TRUE(InstallLoginScreen(ctx, Package("logon", "Blue", {{"logonui.exe", "MZ blue"}})));
    EXPECT_TRUE(InstallLoginScreen(ctx, Package("logon", "Red", {{"logonui.exe", "MZ red"}, {"red.bmp", "r"}})));
    EXPECT_EQ(Read(paths.WinPath() + "\\logonui.exe"), "MZ red");
    auto uiHost = [] {
        return RegistryKey::OpenToRead(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon")
            .ReadString("UIHost");
    };
    EXPECT_EQ(uiHost(), "%windir%\\\\logonui.exe");
    RestoreDefaultLoginScreen(ctx);
    EXPECT_EQ(uiHost(), "logonui.exe");
    // The login screens' own files go with their journals.
    EXPECT_EQ(Read(paths.WinPath() + "\\red.bmp"), "<missing>");
    EXPECT_EQ(messages, (std::vector<std::string>{"Set login screen successfully.", "Set login screen successfully.",
                                                  "Restored default system login screen successfully."}));
}

TEST_F(InstallerTest, ScreenSaverIsSetByItsShortPathAndCancelled) {
    test::RegistrySnapshot saved{HKEY_CURRENT_USER, L"Control Panel\\Desktop"};
    RegistryKey desktop = RegistryKey::OpenToChange(HKEY_CURRENT_USER, "Control Panel\\Desktop");
    ASSERT_TRUE(desktop);
    EXPECT_TRUE(InstallScreenSaver(ctx, Package("screensave", "Starry Night", {{"Starry Night.scr", "MZ"}})));
    const std::string file = paths.InstalledScreenSaverFile("Starry Night");
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(ToWide(file).c_str(), shortPath, MAX_PATH), 0u);
    EXPECT_EQ(desktop.ReadString("SCRNSAVE.EXE"), ToUtf8(shortPath));
    EXPECT_EQ(desktop.ReadString("SCRNSAVE.EXE")->find(' '), std::string::npos);
    EXPECT_EQ(desktop.ReadString("ScreenSaverIsSecure"), "1");

    CancelScreenSaver(ctx);
    EXPECT_EQ(desktop.ReadString("SCRNSAVE.EXE"), "");
    EXPECT_EQ(desktop.ReadString("ScreenSaverIsSecure"), "1");
    EXPECT_EQ(messages, (std::vector<std::string>{"Canceled screensavers successfully."}));

    // A package without its program.
    EXPECT_FALSE(InstallScreenSaver(ctx, Package("screensave", "Empty", {{"readme.txt", "x"}})));
    EXPECT_EQ(messages.back(), "没有找到屏保文件");
    PreviewScreenSaver(ctx, "Starry Night");
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].verb, "open");
    EXPECT_EQ(launches[0].file, file);
    EXPECT_EQ(launches[0].parameters, "/s");
}

TEST_F(InstallerTest, UninstallTouchesOnlyWhatTheInstallationChanged) {
    // Windows' own style of the same name, with no journal and no cached package: nothing goes.
    CreateFolderPath(paths.InstalledThemeFolder("Aero"));
    WriteWholeFile(paths.InstalledThemeFolder("Aero") + "\\wallpaper.bmp", "w");
    WriteWholeFile(paths.InstalledThemeFile("Aero"), "[Theme]\r\n");
    EXPECT_FALSE(Uninstall(ctx, TResourceKind::Theme, "Aero"));
    EXPECT_EQ(Read(paths.InstalledThemeFolder("Aero") + "\\wallpaper.bmp"), "w");
    EXPECT_EQ(Read(paths.InstalledThemeFile("Aero")), "[Theme]\r\n");
    EXPECT_FALSE(Uninstall(ctx, TResourceKind::Theme, "Never Installed"));

    // A saver the user put there themselves, applied by the program: the setting goes back, the
    // file stays.
    test::RegistrySnapshot saved{HKEY_CURRENT_USER, L"Control Panel\\Desktop"};
    RegistryKey desktop = RegistryKey::OpenToChange(HKEY_CURRENT_USER, "Control Panel\\Desktop");
    ASSERT_TRUE(desktop);
    const std::optional<std::string> before = desktop.ReadString("SCRNSAVE.EXE");
    WriteWholeFile(paths.InstalledScreenSaverFile("Stars"), "MZ");
    EXPECT_TRUE(SetScreenSaver(ctx, paths.InstalledScreenSaverFile("Stars"), false));
    EXPECT_TRUE(Uninstall(ctx, TResourceKind::ScreenSaver, "Stars"));
    EXPECT_EQ(desktop.ReadString("SCRNSAVE.EXE"), before);
    EXPECT_EQ(Read(paths.InstalledScreenSaverFile("Stars")), "MZ");

    // Login screens and icon themes have restore links instead.
    EXPECT_FALSE(Uninstall(ctx, TResourceKind::Logon, "Blue"));
    EXPECT_FALSE(Uninstall(ctx, TResourceKind::Icon, "Faenza"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(InstallerTest, ASoundSchemesInfRunsThroughThePlatformsInstaller) {
    const std::string key = "Software\\LumaforgeTest\\Inf" + std::to_string(GetCurrentProcessId());
    CreateFolderPath(paths.SoundSchemeFolder("Chimes"));
    WriteWholeFile(paths.SoundSchemeFolder("Chimes") + "install.inf",
                   "[Version]\r\nSignature=\"$CHICAGO$\"\r\n\r\n[DefaultInstall]\r\nAddReg=Scheme\r\n\r\n"
                   "[Scheme]\r\nHKCU,\"" +
                       key + "\",\"Installed\",,\"yes\"\r\n");
    ctx.shellExecute = [](const std::string& verb, const std::string& file, const std::string& parameters, int show) {
        return ShellExecuteUtf8(nullptr, verb, file, parameters, show);
    };
    EXPECT_TRUE(ApplySoundScheme(ctx, "Chimes"));
    // The launch does not wait for the installation: the value arrives a moment later.
    EXPECT_TRUE(test::PumpUntil(
        [&] { return RegistryKey::OpenToRead(HKEY_CURRENT_USER, key).ReadString("Installed") == "yes"; }, 20000));
    RegistryKey::DeleteTree(HKEY_CURRENT_USER, key);
}

}  // namespace
}  // namespace lumaforge
