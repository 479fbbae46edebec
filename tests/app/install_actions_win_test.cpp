// Installing, uninstalling and restoring from the window, with the real installers, the real
// registry and folders of the prefix; the window's Windows folders are the prefix's own.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/main_window_ids.h"
#include "app/main_window_win.h"
#include "base/files_win.h"
#include "base/registry_win.h"
#include "base/unicode_win.h"
#include "support/quiet_services_win.h"
#include "support/real_input_win.h"
#include "support/registry_snapshot_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"
#include "support/zip_maker.h"

namespace lumaforge {
namespace {

constexpr char kCursorInf[] =
    "[Version]\r\nsignature=\"$CHICAGO$\"\r\n\r\n[Strings]\r\npointer = \"Arrow.CUR\"\r\nbusy=\"wait.cur\"\r\n";

class InstallActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureCommonControls();
        server.SetContent("/res/softdata/xp/config.txt",
                          "{\"themes\": [], \"cursors\": [\"LumaforgeTestPointers\", \"LumaforgeBroken\"], "
                          "\"screensave\": [\"Lumaforge Test Saver\"], \"sound\": [\"LumaforgeTestSounds\"], "
                          "\"icon\": [\"LumaforgeTestIcons\"]}");
        TFrmMain::Services services = test::QuietServices(server.Url("/res/"));
        services.apiUrl = server.Url("/apiserver/");
        services.showMessage = [this](HWND, const std::string& text, TMsgKind kind) {
            messages.push_back({text, kind});
            return IDOK;
        };
        services.shellExecute = [this](const std::string&, const std::string& file, const std::string& parameters,
                                       int) {
            launches.push_back(file + " " + parameters);
            return static_cast<intptr_t>(42);
        };
        window = std::make_unique<TFrmMain>(folder.Path() + L"Lumaforge.exe", services);
        ASSERT_TRUE(test::OpenInFront(*window));
    }
    void TearDown() override {
        DeleteFolderTree(window->WinPath() + "\\Cursors\\LumaforgeTestPointers");
        DeleteFolderTree(window->WinPath() + "\\Media\\LumaforgeTestSounds");
        window.reset();
        test::PumpPending();
    }

    // Puts a package into the cache, as a finished download leaves it.
    void Cache(const std::string& kind, const std::string& name, const std::string& bytes) {
        CreateFolderPath(window->Paths().KindCacheFolder(static_cast<int>(KindOf(kind))));
        ASSERT_TRUE(WriteWholeFile(window->Paths().AppPath() + "cache\\" + kind + "\\" + name + ".zip", bytes));
    }
    static TResourceKind KindOf(const std::string& kind) {
        return kind == "cursor"  ? TResourceKind::Cursor
               : kind == "sound" ? TResourceKind::Sound
               : kind == "icon"  ? TResourceKind::Icon
                                 : TResourceKind::ScreenSaver;
    }
    static std::string FileText(const std::string& path) {
        std::string text;
        return ReadWholeFile(path, text) ? text : "(missing)";
    }
    static NodeId Row(ResourceList& list, const std::string& name) { return test::RowNamed(list, name); }
    static POINT Inside(ResourceList& list, NodeId node) {
        const RECT row = list.NodeRect(node);
        return {row.left + 20, (row.top + row.bottom) / 2};
    }
    // A double click on the row with the mouse, run through the program's loop until `done`.
    bool DoubleClick(ResourceList& list, NodeId node, const std::function<bool()>& done) {
        return test::ClickAt(list.Handle(), Inside(list, node), test::MouseButton::Left, 2) &&
               test::LoopUntil(window->Handle(), done);
    }
    // The row's pop-up menu opened with the right button, an item picked by its access key.
    bool MenuCommand(ResourceList& list, NodeId node, WORD accessKey, const std::function<bool()>& done) {
        return test::PickFromMenuAt(list.Handle(), Inside(list, node), accessKey) &&
               test::LoopUntil(window->Handle(), done);
    }

    // The pointer settings as the user had them; installing a scheme changes them for real.
    test::RegistrySnapshot pointers{HKEY_CURRENT_USER, L"Control Panel\\Cursors"};
    test::RegistrySnapshot classIcons{HKEY_CURRENT_USER,
                                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID"};
    test::RegistrySnapshot shellIcons{HKEY_LOCAL_MACHINE,
                                      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Icons"};
    test::RegistrySnapshot logon{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"};
    test::RegistrySnapshot sounds{HKEY_CURRENT_USER, L"AppEvents"};
    test::RegistrySnapshot iconMetrics{HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowMetrics"};
    test::TestHttpServer server;
    test::TempFolder folder;
    std::unique_ptr<TFrmMain> window;
    std::vector<std::pair<std::string, TMsgKind>> messages;
    std::vector<std::string> launches;
};

TEST_F(InstallActionsTest, ACursorSchemeInstallsFromItsRowAndUninstallsFromTheMenu) {
    Cache("cursor", "LumaforgeTestPointers",
          test::MakeZip({{"setup.inf", kCursorInf}, {"arrow.cur", "not really a cursor"}, {"wait.cur", "w"}}));
    ResourceList& list = window->List(TResourceKind::Cursor);
    window->NavButton(kPageCursor).Click();
    const NodeId row = Row(list, "LumaforgeTestPointers");
    ASSERT_NE(row, kNoNode);
    ASSERT_TRUE(DoubleClick(list, row, [&] { return list.Tree().Item(row).Installed == 1; }));
    const std::string folder = window->WinPath() + "\\Cursors\\LumaforgeTestPointers\\";
    EXPECT_EQ(RegistryKey::OpenToRead(HKEY_CURRENT_USER, "Control Panel\\Cursors\\Schemes")
                  .ReadString("LumaforgeTestPointers"),
              folder + "arrow.cur,,," + folder + "wait.cur,,,,,,,,,,,");

    ASSERT_TRUE(MenuCommand(list, row, 'U', [&] { return list.Tree().Item(row).Installed == 0; }));
    EXPECT_FALSE(RegistryKey::OpenToRead(HKEY_CURRENT_USER, "Control Panel\\Cursors\\Schemes")
                     .HasValue("LumaforgeTestPointers"));
    EXPECT_EQ(GetFileAttributesW(ToWide(folder).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(messages.empty());
}

TEST_F(InstallActionsTest, ASoundSchemeInstallsFromItsRowIntoMediaAndRunsItsInf) {
    Cache("sound", "LumaforgeTestSounds",
          test::MakeZip({{"install.inf", "[Version]\r\nsignature=\"$CHICAGO$\"\r\n"}, {"ding.wav", "RIFF"}}));
    ResourceList& list = window->List(TResourceKind::Sound);
    window->NavButton(kPageSound).Click();
    const NodeId row = Row(list, "LumaforgeTestSounds");
    ASSERT_NE(row, kNoNode);
    ASSERT_TRUE(DoubleClick(list, row, [&] { return list.Tree().Item(row).Installed == 1; }));
    const std::string folder = window->WinPath() + "\\Media\\LumaforgeTestSounds\\";
    EXPECT_EQ(FileText(folder + "ding.wav"), "RIFF");
    // The scheme registers itself through its INF, from the folder it was put into.
    EXPECT_EQ(launches, std::vector<std::string>{"rundll32.exe setupapi,InstallHinfSection DefaultInstall 132 " +
                                                 folder + "install.inf"});
    EXPECT_TRUE(messages.empty());
}

TEST_F(InstallActionsTest, AnIconThemeInstallsFromItsRowBesideItsPackageAndSetsItsIcons) {
    RegistryKey::DeleteTree(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID");
    Cache("icon", "LumaforgeTestIcons",
          test::MakeZip({{"LumaforgeTestIcons.config", "[Desktop Icons]\r\nMy Computer=%ThemePath%pc.ico\r\n"},
                         {"pc.ico", "not really an icon"}}));
    ResourceList& list = window->List(TResourceKind::Icon);
    window->NavButton(kPageIcons).Click();
    const NodeId row = Row(list, "LumaforgeTestIcons");
    ASSERT_NE(row, kNoNode);
    ASSERT_TRUE(DoubleClick(list, row, [&] { return list.Tree().Item(row).Installed == 1; }));
    const std::string folder = window->Paths().AppPath() + "cache\\icon\\LumaforgeTestIcons\\";
    EXPECT_EQ(FileText(folder + "pc.ico"), "not really an icon");
    EXPECT_EQ(RegistryKey::OpenToRead(HKEY_CURRENT_USER,
                                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID\\"
                                      "{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon")
                  .ReadString(""),
              folder + "pc.ico");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, "Applied system icons successfully.");
}

// Each restore link, clicked on its page, puts back what Windows has without the program's packages.
TEST_F(InstallActionsTest, TheRestoreLinksPutBackWindowsOwnSettings) {
    constexpr char kWinlogon[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
    constexpr char kComputerIcon[] =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
    constexpr char kAsterisk[] = "AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\";
    auto value = [](HKEY root, const std::string& key, const std::string& name) {
        const RegistryKey opened = RegistryKey::OpenToRead(root, key);
        return opened ? opened.ReadString(name).value_or("(none)") : "(no key)";
    };
    auto write = [](HKEY root, const std::string& key, const std::string& name, const std::string& text) {
        ASSERT_TRUE(RegistryKey::Create(root, key).WriteString(name, text));
    };
    struct Case {
        int page;
        const wchar_t* link;
        std::function<void()> customise;
        std::function<void()> expectDefaults;
        const char* message;
    };
    const Case cases[] = {
        {kPageLogin, L"Restore the default login screen",
         [&] { write(HKEY_LOCAL_MACHINE, kWinlogon, "UIHost", "C:\\windows\\system32\\other.exe"); },
         [&] { EXPECT_EQ(value(HKEY_LOCAL_MACHINE, kWinlogon, "UIHost"), "logonui.exe"); },
         "Restored default system login screen successfully."},
        {kPageCursor, L"Restore the default cursor",
         [&] { write(HKEY_CURRENT_USER, "Control Panel\\Cursors", "Arrow", "C:\\mine\\arrow.cur"); },
         [&] { EXPECT_EQ(value(HKEY_CURRENT_USER, "Control Panel\\Cursors", "Arrow"), "(none)"); },
         "Restored default mouse pointer successfully."},
        {kPageSound, L"Restore the default sound scheme",
         [&] {
             write(HKEY_CURRENT_USER, std::string(kAsterisk) + ".Default", "", "ding.wav");
             write(HKEY_CURRENT_USER, std::string(kAsterisk) + ".current", "", "Jazz\\asterisk.wav");
             write(HKEY_CURRENT_USER, "AppEvents\\Schemes", "", "Jazz");
         },
         [&] {
             EXPECT_EQ(value(HKEY_CURRENT_USER, std::string(kAsterisk) + ".current", ""), "ding.wav");
             EXPECT_EQ(value(HKEY_CURRENT_USER, "AppEvents\\Schemes", ""), ".default");
         },
         "Restored default sound scheme successfully."},
        {kPageIcons, L"Restore the default system icons",
         [&] { write(HKEY_CURRENT_USER, std::string(kComputerIcon) + "\\DefaultIcon", "", "C:\\pc.ico"); },
         [&] { EXPECT_EQ(value(HKEY_CURRENT_USER, kComputerIcon, ""), "(no key)"); },
         "Restored default system icons successfully."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.link));
        c.customise();
        messages.clear();
        window->NavButton(c.page).Click();
        Label* link = nullptr;
        for (size_t i = 0; i < window->LinkCount(); ++i)
            if (window->LinkLabel(i).Text() == c.link)
                link = &window->LinkLabel(i);
        ASSERT_NE(link, nullptr);
        ASSERT_TRUE(IsWindowVisible(link->Handle()));
        RECT box;
        GetClientRect(link->Handle(), &box);
        // Right-aligned: the caption's own text is at the right end of the label.
        ASSERT_TRUE(test::ClickAt(link->Handle(), {box.right - 10, box.bottom / 2}, test::MouseButton::Left, 1));
        ASSERT_TRUE(test::LoopUntil(window->Handle(), [&] { return !messages.empty(); }));
        EXPECT_EQ(messages[0].first, c.message);
        c.expectDefaults();
    }
}

TEST_F(InstallActionsTest, ADamagedPackageIsReportedAndTheRowStaysUninstalled) {
    std::string cut = test::MakeZip({{"setup.inf", kCursorInf}, {"arrow.cur", std::string(5000, 'a')}});
    cut[cut.size() / 2] ^= 0x55;  // inside an entry's data: its CRC no longer matches
    Cache("cursor", "LumaforgeBroken", cut);
    ResourceList& list = window->List(TResourceKind::Cursor);
    window->NavButton(kPageCursor).Click();
    const NodeId row = Row(list, "LumaforgeBroken");
    ASSERT_TRUE(DoubleClick(list, row, [&] { return !messages.empty(); }));
    EXPECT_EQ(list.Tree().Item(row).Installed, 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].second, mkError);
    EXPECT_NE(messages[0].first.find("LumaforgeBroken.zip"), std::string::npos) << messages[0].first;
    EXPECT_EQ(GetFileAttributesW(ToWide(window->WinPath() + "\\Cursors\\LumaforgeBroken\\arrow.cur").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(IsWindow(window->Handle()));
}

}  // namespace
}  // namespace lumaforge
