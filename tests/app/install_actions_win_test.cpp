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
                          "\"screensave\": [\"Lumaforge Test Saver\"]}");
        TFrmMain::Services services = test::QuietServices(server.Url("/res/"));
        services.apiUrl = server.Url("/apiserver/");
        services.showMessage = [this](HWND, const std::string& text, TMsgKind kind) {
            messages.push_back({text, kind});
            return IDOK;
        };
        services.shellExecute = [](const std::string&, const std::string&, const std::string&, int) {
            return static_cast<intptr_t>(42);
        };
        window = std::make_unique<TFrmMain>(folder.Path() + L"Lumaforge.exe", services);
        ASSERT_TRUE(window->Create());
        ASSERT_TRUE(test::ShowAndLoadCatalog(*window, SW_SHOW));
        SetForegroundWindow(window->Handle());
    }
    void TearDown() override {
        DeleteFolderTree(window->WinPath() + "\\Cursors\\LumaforgeTestPointers");
        window.reset();
        test::PumpPending();
    }

    // Puts a package into the cache, as a finished download leaves it.
    void Cache(const std::string& kind, const std::string& name, const std::string& bytes) {
        CreateFolderPath(window->Paths().KindCacheFolder(static_cast<int>(KindOf(kind))));
        ASSERT_TRUE(WriteWholeFile(window->Paths().AppPath() + "cache\\" + kind + "\\" + name + ".zip", bytes));
    }
    static TResourceKind KindOf(const std::string& kind) {
        return kind == "cursor" ? TResourceKind::Cursor : TResourceKind::ScreenSaver;
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
    test::TestHttpServer server;
    test::TempFolder folder;
    std::unique_ptr<TFrmMain> window;
    std::vector<std::pair<std::string, TMsgKind>> messages;
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
