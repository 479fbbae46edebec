// What the user does with a row: downloads from the test server, cancels, installs, deletes, opens.
#include <gtest/gtest.h>

#include <memory>

#include "app/main_window_win.h"
#include "base/unicode_win.h"
#include "support/quiet_services_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"
#include "support/zip_maker.h"

namespace lumaforge {
namespace {

class ActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureCommonControls();
        server.SetContent(
            "/res/softdata/xp/config.txt",
            "{\"themes\": [{\"name\": \"Cat\", \"list\": [\"Style\"]}], \"cursors\": [\"Slow1\", \"Slow2\", "
            "\"Slow3\", \"\xD6\xD0\xB9\xFA\xB7\xE7\"], \"logons\": [\"Login\"], \"icon\": [\"Icons\"]}");
        server.SetContent("/apiserver/api/api.txt", "");
        TFrmMain::Services services = test::QuietServices(server.Url("/res/"));
        services.apiUrl = server.Url("/apiserver/");
        services.showMessage = [this](HWND, const std::string& text, TMsgKind kind) {
            messages.push_back(text);
            return kind == mkQuestion ? answer : IDOK;
        };
        services.installPackage = [this](TResourceKind kind, const std::string& path) {
            installs.push_back({kind, path});
            return true;
        };
        services.applyDirectly = [this](TResourceKind kind, const std::string&) { applied.push_back(kind); };
        services.shellExecute = [this](const std::string&, const std::string& file, const std::string&, int) {
            opened.push_back(file);
            return static_cast<intptr_t>(42);
        };
        window = std::make_unique<TFrmMain>(folder.Path() + L"Lumaforge.exe", services);
        ASSERT_TRUE(window->Create());
        test::ShowAndLoadCatalog(*window);
    }
    void TearDown() override {
        window.reset();
        test::PumpPending();
    }

    ResourceList& Cursors() { return window->List(TResourceKind::Cursor); }
    static NodeId Row(ResourceList& list, const std::string& name) { return test::RowNamed(list, name); }
    void DoubleClick(ResourceList& list, NodeId node) {
        list.SetFocusedNode(node);
        window->vstThemesDblClick(list);
    }
    bool WaitState(ResourceList& list, NodeId node, uint8_t state, DWORD ms = 10000) {
        return test::PumpUntil([&] { return list.Tree().Item(node).State == state; }, ms);
    }
    // A package on the server: a real archive holding `content`.
    void Serve(const std::string& kind, const std::string& encodedName, const std::string& content) {
        server.SetContent("/res/softdata/xp/res/" + kind + "/" + encodedName + ".zip",
                          test::MakeZip({{"readme.txt", content}}));
    }

    test::TestHttpServer server;
    test::TempFolder folder;
    std::unique_ptr<TFrmMain> window;
    std::vector<std::string> messages;
    std::vector<std::pair<TResourceKind, std::string>> installs;
    std::vector<TResourceKind> applied;
    std::vector<std::string> opened;
    int answer = IDNO;
};

TEST_F(ActionsTest, DoubleClickDownloadsThenInstalls) {
    Serve("cursor", "Slow1", std::string(50000, 'z'));
    ResourceList& list = Cursors();
    NodeId row = Row(list, "Slow1");
    DoubleClick(list, row);
    ASSERT_TRUE(WaitState(list, row, dsDownloaded));
    EXPECT_EQ(list.CellText(row, 1), "下载成功");
    const std::string package = ToUtf8(folder.Path()) + "cache\\cursor\\Slow1.zip";
    EXPECT_NE(GetFileAttributesW(ToWide(package).c_str()), INVALID_FILE_ATTRIBUTES);

    DoubleClick(list, row);
    ASSERT_EQ(installs.size(), 1u);
    EXPECT_EQ(installs[0].first, TResourceKind::Cursor);
    EXPECT_EQ(installs[0].second, package);
    EXPECT_EQ(list.Tree().Item(row).Installed, 1);
}

TEST_F(ActionsTest, QueuedRowCancelsAtOnceRunningRowAsksFirst) {
    ResourceList& list = Cursors();
    NodeId rows[3] = {Row(list, "Slow1"), Row(list, "Slow2"), Row(list, "Slow3")};
    // The slow route stands in for the packages, so two run while the third waits.
    folder.MakeFolder(L"cache\\cursor");
    for (NodeId row : rows) {
        list.SetFocusedNode(row);
        window->DownManager().AddTask(
            server.Url("/zip/slow/4096000/5"),
            ToUtf8(folder.Path()) + "cache\\cursor\\" + std::string(list.Tree().Item(row).Name.View()) + ".zip", row,
            &list);
    }
    EXPECT_EQ(list.CellText(rows[2], 1), "等待下载");
    DoubleClick(list, rows[2]);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(list.Tree().Item(rows[2]).State, dsNone);

    ASSERT_TRUE(WaitState(list, rows[0], dsDownloading));
    answer = IDNO;
    DoubleClick(list, rows[0]);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Downloading the file. Sure to cancel the task?");
    test::PumpFor(300);
    EXPECT_EQ(list.Tree().Item(rows[0]).State, dsDownloading);
    answer = IDYES;
    DoubleClick(list, rows[0]);
    EXPECT_TRUE(WaitState(list, rows[0], dsNone));
}

TEST_F(ActionsTest, ChineseNameTravelsAsUtf8AndKeepsItsFileName) {
    Serve("cursor", "%E4%B8%AD%E5%9B%BD%E9%A3%8E", "package");
    ResourceList& list = Cursors();
    NodeId row = Row(list, "中国风");
    ASSERT_NE(row, kNoNode);
    DoubleClick(list, row);
    ASSERT_TRUE(WaitState(list, row, dsDownloaded));
    EXPECT_EQ(server.RequestCount("/res/softdata/xp/res/cursor/%E4%B8%AD%E5%9B%BD%E9%A3%8E.zip"), 1);
    EXPECT_NE(GetFileAttributesW((folder.Path() + L"cache\\cursor\\中国风.zip").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ActionsTest, DeleteOpenAndApplyFromTheMenu) {
    Serve("cursor", "Slow2", "package");
    ResourceList& list = Cursors();
    NodeId row = Row(list, "Slow2");
    DoubleClick(list, row);
    ASSERT_TRUE(WaitState(list, row, dsDownloaded));
    window->Pages().ShowPage(kPageCursor);
    window->pmiOpenFileClick();
    window->pmiDeleteClick();
    EXPECT_EQ(list.Tree().Item(row).State, dsNone);
    EXPECT_EQ(list.CellText(row, 1), "");
    // A later double click downloads it again.
    DoubleClick(list, row);
    EXPECT_TRUE(WaitState(list, row, dsDownloaded));

    window->Pages().ShowPage(kPageIcons);
    window->List(TResourceKind::Icon).SetFocusedNode(0);
    window->pmiOnlyApplyClick();
    EXPECT_TRUE(applied.empty());  // applying an icon theme directly does nothing
    window->Pages().ShowPage(kPageLogin);
    window->pmiOpenFloderClick();  // no focused row needed
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], ToUtf8(folder.Path()) + "cache\\cursor\\Slow2.zip");
    EXPECT_EQ(opened[1], ToUtf8(folder.Path()) + "cache\\logon\\");
}

TEST_F(ActionsTest, LoginScreensAreNeverMarkedInstalled) {
    Serve("logon", "Login", "package");
    ResourceList& list = window->List(TResourceKind::Logon);
    DoubleClick(list, 0);
    ASSERT_TRUE(WaitState(list, 0, dsDownloaded));
    DoubleClick(list, 0);
    ASSERT_EQ(installs.size(), 1u);
    EXPECT_EQ(list.Tree().Item(0).Installed, 0);
    // A category row does nothing.
    ResourceList& themes = window->List(TResourceKind::Theme);
    DoubleClick(themes, themes.Tree().Roots()[0]);
    EXPECT_EQ(themes.Tree().Item(themes.Tree().Roots()[0]).State, dsNone);
}

}  // namespace
}  // namespace lumaforge
