// Each event of a row's life, reached as the user reaches it: a double click, the pop-up menu,
// coming back to the program; the row shows what its model holds.
#include <gtest/gtest.h>

#include <memory>

#include "app/main_window_ids.h"
#include "app/main_window_win.h"
#include "base/handles_win.h"
#include "base/unicode_win.h"
#include "support/quiet_services_win.h"
#include "support/real_input_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"
#include "support/zip_maker.h"

namespace lumaforge {
namespace {

class RowEventsTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureCommonControls(); }
    void TearDown() override {
        window.reset();
        test::PumpPending();
    }

    // The window on the cursor page, with the catalog's rows; packages come from `root` on the
    // test server.
    void Open(const std::string& root = "/res/") {
        server.SetContent("/res/softdata/xp/config.txt",
                          "{\"themes\": [], \"cursors\": [\"Dino\", \"Gone\", \"Held\"]}");
        server.SetContent("/res/api/api.txt", "");
        server.SetContent("/res/softdata/xp/res/cursor/Dino.zip", test::MakeZip({{"readme.txt", "dino"}}));
        server.SetContent("/res/softdata/xp/res/cursor/Held.zip", test::MakeZip({{"readme.txt", "held"}}));
        TFrmMain::Services services = test::QuietServices(server.Url(root));
        services.installPackage = [this](TResourceKind, const std::string&) { return ++installs, true; };
        services.uninstall = [this](TResourceKind, const std::string&) {
            ++uninstalls;
            return UninstallResult{.finished = true};
        };
        services.shellExecute = [this](const std::string&, const std::string& file, const std::string&, int) {
            opened.push_back(file);
            return static_cast<intptr_t>(42);
        };
        window = std::make_unique<TFrmMain>(folder.Path() + L"Lumaforge.exe", services);
        ASSERT_TRUE(test::OpenInFront(*window));
        window->NavButton(kPageCursor).Click();
        test::PumpPending();
    }

    ResourceList& Cursors() { return window->List(TResourceKind::Cursor); }
    NodeId Row(const std::string& name) { return test::RowNamed(Cursors(), name); }
    uint8_t State(const std::string& name) {
        const NodeId row = Row(name);
        return row == kNoNode ? 0xFF : Cursors().Tree().Item(row).State;
    }
    bool Loop(const std::function<bool()>& done, DWORD ms = 10000) {
        return test::LoopUntil(window->Handle(), done, ms);
    }
    POINT RowPoint(const std::string& name) {
        const RECT rc = Cursors().NodeRect(Row(name));
        return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    bool DoubleClick(const std::string& name) {
        return test::ClickAt(Cursors().Handle(), RowPoint(name), test::MouseButton::Left, 2);
    }
    // Right-clicks the row and picks the menu item by its access key.
    bool MenuCommand(const std::string& name, WORD accessKey) {
        return test::PickFromMenuAt(Cursors().Handle(), RowPoint(name), accessKey);
    }
    std::wstring PackagePath(const std::wstring& name) { return folder.Path() + L"cache\\cursor\\" + name + L".zip"; }

    test::TestHttpServer server;
    test::TempFolder folder;
    std::unique_ptr<TFrmMain> window;
    int installs = 0;
    int uninstalls = 0;
    std::vector<std::string> opened;
};

TEST_F(RowEventsTest, DownloadInstallUninstallAndDeleteThroughTheMouseAndTheMenu) {
    Open();
    ASSERT_TRUE(DoubleClick("Dino"));
    ASSERT_TRUE(Loop([&] { return State("Dino") == dsDownloaded; })) << int(State("Dino"));
    EXPECT_EQ(Cursors().CellText(Row("Dino"), 1), "下载成功");

    ASSERT_TRUE(DoubleClick("Dino"));
    ASSERT_TRUE(Loop([&] { return installs == 1; }));
    EXPECT_EQ(Cursors().Tree().Item(Row("Dino")).Installed, 1);

    ASSERT_TRUE(MenuCommand("Dino", 'U'));
    ASSERT_TRUE(Loop([&] { return uninstalls == 1; }));
    EXPECT_EQ(Cursors().Tree().Item(Row("Dino")).Installed, 0);

    ASSERT_TRUE(MenuCommand("Dino", 'D'));
    ASSERT_TRUE(Loop([&] { return State("Dino") == dsNone; }));
    EXPECT_FALSE(test::PathExists(PackagePath(L"Dino")));
    EXPECT_EQ(Cursors().CellText(Row("Dino"), 1), "");
}

TEST_F(RowEventsTest, APackageThatCannotBeDeletedStaysDownloaded) {
    folder.MakeFolder(L"cache\\cursor");
    folder.WriteFile(L"cache\\cursor\\Dino.zip", test::MakeZip({{"readme.txt", "dino"}}));
    Open();
    ASSERT_EQ(State("Dino"), dsDownloaded);
    UniqueHandle held(CreateFileW(PackagePath(L"Dino").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    ASSERT_TRUE(MenuCommand("Dino", 'D'));
    // The next menu still offers the package: "Open the downloaded file" is there for it.
    ASSERT_TRUE(MenuCommand("Dino", 'O'));
    ASSERT_TRUE(Loop([&] { return !opened.empty(); }));
    EXPECT_EQ(opened[0], ToUtf8(PackagePath(L"Dino")));
    EXPECT_EQ(State("Dino"), dsDownloaded);
    EXPECT_TRUE(test::PathExists(PackagePath(L"Dino")));
}

TEST_F(RowEventsTest, AMissingPackageFails) {
    Open();
    ASSERT_TRUE(DoubleClick("Gone"));
    ASSERT_TRUE(Loop([&] { return State("Gone") == dsFailed; }));
    EXPECT_EQ(Cursors().CellText(Row("Gone"), 1), "下载失败");
    EXPECT_FALSE(test::PathExists(PackagePath(L"Gone") + L".temp"));
}

TEST_F(RowEventsTest, AWholeDownloadWhoseNameIsTakenFailsAndDropsItsTemporaryFile) {
    // Packages arrive a second after their header, time enough to take the name meanwhile.
    Open("/slowbody/1000/res/");
    ASSERT_TRUE(DoubleClick("Held"));
    ASSERT_TRUE(Loop([&] { return State("Held") == dsDownloading; }));
    UniqueHandle held(CreateFileW(PackagePath(L"Held").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(held);
    ASSERT_TRUE(Loop([&] { return State("Held") != dsDownloading; }));
    EXPECT_EQ(State("Held"), dsFailed);
    EXPECT_FALSE(test::PathExists(PackagePath(L"Held") + L".temp"));
}

}  // namespace
}  // namespace lumaforge
