// The catalog as the window loads it when first shown, from the test server or the local copy.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "app/main_window_win.h"
#include "base/unicode_win.h"
#include "support/quiet_services_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

// The catalog in the ANSI code page (936): 中国风 and 水晶 as their GBK bytes.
const std::string kCatalog =
    "{\r\n \"status_text\": \"Demo catalog\",\r\n"
    " \"themes\": [{\"name\": \" Classic \", \"list\": [\"A\", \" \", \"B\"]},\r\n"
    "            {\"name\": \"\", \"list\": [\"C\"]},\r\n"
    "            {\"name\": \"\xCB\xAE\xBE\xA7\", \"list\": [\"\xD6\xD0\xB9\xFA\xB7\xE7\"]}],\r\n"
    " \"cursors\": [], \"logons\": [\"L1\", \"L2\"], \"screensave\": [\"S1\"],\r\n"
    " \"icon\": [\"I1\"], \"sound\": [\"Chimes\", \"  \"]\r\n}\r\n";

class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureCommonControls(); }
    void TearDown() override {
        window.reset();
        test::PumpPending();
    }

    // The window as the program makes it, not shown yet.
    TFrmMain& Make() {
        window.reset();
        TFrmMain::Services services = test::QuietServices(server.Url(resourceRoot));
        services.startupTimeoutMs = startupTimeoutMs;
        services.apiUrl = server.Url("/apiserver/");
        services.showMessage = [this](HWND, const std::string& text, TMsgKind kind) {
            messages.push_back({text, kind});
            return IDOK;
        };
        window = std::make_unique<TFrmMain>(folder.Path() + L"Lumaforge.exe", services);
        EXPECT_TRUE(window->Create());
        return *window;
    }
    TFrmMain& Open() {
        Make();
        EXPECT_TRUE(test::ShowAndLoadCatalog(*window));
        return *window;
    }

    std::vector<std::string> Names(ResourceList& list) {
        std::vector<std::string> names;
        auto add = [&](const std::vector<NodeId>& level, auto&& self) -> void {
            for (NodeId node : level) {
                names.emplace_back(list.Tree().Item(node).Name.View());
                self(list.Tree().Children(node), self);
            }
        };
        add(list.Tree().Roots(), add);
        return names;
    }

    test::TestHttpServer server;
    std::string resourceRoot = "/res/";
    int32_t startupTimeoutMs = 15000;
    test::TempFolder folder;
    std::unique_ptr<TFrmMain> window;
    std::vector<std::pair<std::string, TMsgKind>> messages;
};

TEST_F(CatalogTest, ServerCatalogFillsTheListsAndCaptions) {
    server.SetContent("/res/softdata/xp/config.txt", kCatalog);
    server.SetContent("/apiserver/api/api.txt", "[Lumaforge]\nADHomeURL=http://127.0.0.1/home.html\n");
    TFrmMain& w = Open();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Names(w.List(TResourceKind::Theme)),
              (std::vector<std::string>{"Classic[2]", "A", "B", "水晶[1]", "中国风"}));
    EXPECT_EQ(w.ListCaption(TResourceKind::Theme).Text(), L"Visual Styles [3]");
    EXPECT_EQ(w.ListCaption(TResourceKind::Cursor).Text(), L"Cursor Themes [0]");
    EXPECT_EQ(w.ListCaption(TResourceKind::Logon).Text(), L"Login Screens [2]");
    EXPECT_EQ(w.ListCaption(TResourceKind::Sound).Text(), L"Sound Schemes [1]");
    EXPECT_EQ(Names(w.List(TResourceKind::Sound)), (std::vector<std::string>{"Chimes"}));
    EXPECT_EQ(w.StatusText(), L"Demo catalog");
    EXPECT_EQ(w.HomeBrowserUrl(), "http://127.0.0.1/home.html");

    // api.txt is kept beside the program, as CR LF lines, and not fetched again.
    std::string saved;
    {
        UniqueHandle file(
            CreateFileW((folder.Path() + L"api.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        char buffer[256];
        DWORD read = 0;
        ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr);
        saved.assign(buffer, read);
    }
    EXPECT_EQ(saved, "[Lumaforge]\r\nADHomeURL=http://127.0.0.1/home.html\r\n");
    Open();
    EXPECT_EQ(server.RequestCount("/apiserver/api/api.txt"), 1);
    EXPECT_EQ(server.RequestCount("/res/softdata/xp/config.txt"), 2);
}

TEST_F(CatalogTest, EmptyServerAnswerFallsBackToTheLocalCopy) {
    folder.WriteFile(L"config.txt", kCatalog);
    TFrmMain& w = Open();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Names(w.List(TResourceKind::Logon)), (std::vector<std::string>{"L1", "L2"}));
    // No api.txt on the server: an empty one is written and the address is empty.
    EXPECT_EQ(w.HomeBrowserUrl(), "");
    EXPECT_NE(GetFileAttributesW((folder.Path() + L"api.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CatalogTest, ASilentServerGivesWayToTheLocalCopyAfterTheTimeOut) {
    folder.WriteFile(L"config.txt", kCatalog);
    startupTimeoutMs = 800;
    // One server never answers, the other stops in the middle of the catalog.
    for (const char* root : {"/hang/", "/stall/100000/"}) {
        messages.clear();
        resourceRoot = root;
        const auto start = std::chrono::steady_clock::now();
        TFrmMain& w = Open();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << root;
        EXPECT_TRUE(messages.empty()) << root;
        EXPECT_EQ(Names(w.List(TResourceKind::Logon)), (std::vector<std::string>{"L1", "L2"})) << root;
    }
}

TEST_F(CatalogTest, TheWindowShowsAtOnceWhileTheServerIsSilentAndClosesPromptly) {
    resourceRoot = "/hang/";
    startupTimeoutMs = 60000;
    TFrmMain& w = Make();
    const auto start = std::chrono::steady_clock::now();
    ShowWindow(w.Handle(), SW_SHOWNOACTIVATE);
    test::PumpPending();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_TRUE(IsWindowVisible(w.Handle()));
    EXPECT_FALSE(w.CatalogSettled());
    for (TResourceKind kind : {TResourceKind::Theme, TResourceKind::Sound, TResourceKind::Icon})
        EXPECT_EQ(w.List(kind).Placeholder(), L"Loading the catalog...");
    const auto closing = std::chrono::steady_clock::now();
    window.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - closing, std::chrono::milliseconds(1500));
    EXPECT_TRUE(messages.empty());
}

TEST_F(CatalogTest, BrokenOrMissingCatalogWarnsAndLeavesTheListsEmpty) {
    struct {
        const char* serverText;  // nothing: the server has no catalog
        bool localCopy;
    } cases[] = {{nullptr, false}, {"\r\n\r\n", true}, {"<html>error</html>", true}, {"{\"cursors\": []}", false}};
    for (const auto& c : cases) {
        messages.clear();
        if (c.serverText)
            server.SetContent("/res/softdata/xp/config.txt", c.serverText);
        else
            server.RemoveContent("/res/softdata/xp/config.txt");
        if (c.localCopy)
            folder.WriteFile(L"config.txt", kCatalog);
        else
            DeleteFileW((folder.Path() + L"config.txt").c_str());
        TFrmMain& w = Open();
        ASSERT_EQ(messages.size(), 1u) << (c.serverText ? c.serverText : "none");
        EXPECT_EQ(messages[0].first, "Cannot load config file, program cannot run normally.");
        EXPECT_EQ(messages[0].second, mkWarning);
        EXPECT_EQ(w.List(TResourceKind::Logon).Tree().Size(), 0u);
        EXPECT_EQ(w.ListCaption(TResourceKind::Theme).Text(), L"Visual Styles");
        EXPECT_EQ(w.StatusText(), L"");
        EXPECT_EQ(w.List(TResourceKind::Logon).Placeholder(), L"");
    }
}

TEST_F(CatalogTest, LongCategoryNameHidesItsCount) {
    const std::string longName(300, 'n');
    server.SetContent("/res/softdata/xp/config.txt",
                      "{\"themes\": [{\"name\": \"" + longName + "\", \"list\": [\"A\"]}]}");
    TFrmMain& w = Open();
    ResourceList& themes = w.List(TResourceKind::Theme);
    EXPECT_EQ(themes.Tree().Item(themes.Tree().Roots()[0]).Name.View(), longName.substr(0, 255));
}

TEST_F(CatalogTest, LongChineseNamesKeepWhatTakes255BytesInTheCodePage) {
    std::string gbk, utf8;
    for (int i = 0; i < 130; ++i) {
        gbk += "\xD6\xD0";
        utf8 += "中";
    }
    server.SetContent("/res/softdata/xp/config.txt",
                      "{\"themes\": [{\"name\": \"" + gbk + "\", \"list\": [\"A\"]}], \"sound\": [\"" + gbk + "\"]}");
    TFrmMain& w = Open();
    const std::string kept = utf8.substr(0, 127 * 3);
    ResourceList& themes = w.List(TResourceKind::Theme);
    // 254 bytes of name leave room for the count's first character only.
    EXPECT_EQ(themes.Tree().Item(themes.Tree().Roots()[0]).Name.View(), kept + "[");
    ResourceList& sounds = w.List(TResourceKind::Sound);
    EXPECT_EQ(sounds.Tree().Item(sounds.Tree().Roots()[0]).Name.View(), kept);
}

}  // namespace
}  // namespace lumaforge
