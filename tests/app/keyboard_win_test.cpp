// The whole program from the keyboard: real key input through the program's own loop.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/main_window_win.h"
#include "base/unicode_win.h"
#include "support/quiet_services_win.h"
#include "support/real_input_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"
#include "support/zip_maker.h"

namespace lumaforge {
namespace {

constexpr char kCatalog[] =
    "{\"themes\": [{\"name\": \"Cat\", \"list\": [\"Style\"]}], \"cursors\": [\"Slow1\", \"Slow2\", \"Slow3\"], "
    "\"logons\": [\"Login\"], \"icon\": [\"Icons\"]}";

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureCommonControls();
        server.SetContent("/res/softdata/xp/config.txt", kCatalog);
        server.SetContent("/apiserver/api/api.txt", "");
        // Two cursor schemes downloaded before the start.
        folder.MakeFolder(L"cache\\cursor");
        for (const wchar_t* name : {L"cache\\cursor\\Slow1.zip", L"cache\\cursor\\Slow2.zip"})
            folder.WriteFile(name, test::MakeZip({{"readme.txt", "x"}}));
        TFrmMain::Services services = test::QuietServices(server.Url("/res/"));
        services.apiUrl = server.Url("/apiserver/");
        services.showMessage = [this](HWND, const std::string& text, TMsgKind kind) {
            messages.push_back(text);
            return kind == mkQuestion ? answer : IDOK;
        };
        services.shellExecute = [this](const std::string&, const std::string& file, const std::string&, int) {
            opened.push_back(file);
            return static_cast<intptr_t>(42);
        };
        window = std::make_unique<TFrmMain>(folder.Path() + L"Lumaforge.exe", services);
        ASSERT_TRUE(test::OpenInFront(*window));
        Loop([] { return false; }, 200);
    }
    void TearDown() override {
        window.reset();
        test::PumpPending();
    }

    bool Loop(const std::function<bool()>& done, DWORD ms = 5000) {
        return test::LoopUntil(window->Handle(), done, ms);
    }
    bool Cached(const wchar_t* name) const {
        return GetFileAttributesW((folder.Path() + L"cache\\cursor\\" + name + L".zip").c_str()) !=
               INVALID_FILE_ATTRIBUTES;
    }
    // Puts the keyboard on a row of the cursor list, as Ctrl+3 and the arrows would.
    ResourceList& FocusCursorRow(const std::string& name) {
        window->OpenPageFromKeyboard(kPageCursor);
        ResourceList& list = window->List(TResourceKind::Cursor);
        SetFocus(list.Handle());
        list.SetFocusedNode(test::RowNamed(list, name));
        return list;
    }
    // Tab (or Shift+Tab) once; the window that has the focus after it.
    HWND Tab(bool back = false) {
        const HWND before = GetFocus();
        EXPECT_TRUE(back ? test::PressChord(VK_SHIFT, VK_TAB) : test::PressKeys({VK_TAB}));
        Loop([&] { return GetFocus() != before; }, 2000);
        return GetFocus();
    }

    test::TestHttpServer server;
    test::TempFolder folder;
    std::unique_ptr<TFrmMain> window;
    std::vector<std::string> messages;
    std::vector<std::string> opened;
    int answer = IDNO;
};

TEST_F(KeyboardTest, CtrlDigitsOpenThePagesAndTheFocusGoesToTheirButton) {
    const struct {
        WORD key;
        int page;
    } cases[] = {{'3', kPageCursor}, {'7', kPageWallpaper}, {VK_NUMPAD2, kPageLogin}, {'1', kPageThemes}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        ASSERT_TRUE(test::PressChord(VK_CONTROL, c.key));
        ASSERT_TRUE(Loop([&] { return window->Pages().ActivePage() == c.page; }));
        EXPECT_TRUE(window->NavButton(c.page).Checked());
        EXPECT_EQ(GetFocus(), window->NavButton(c.page).Handle());
    }
    // Typed into a filter, a digit stays a digit.
    SetFocus(window->FilterEdit(TResourceKind::Theme));
    ASSERT_TRUE(test::PressKeys({'3'}));
    Loop([] { return false; }, 300);
    EXPECT_EQ(window->Pages().ActivePage(), kPageThemes);
}

TEST_F(KeyboardTest, TabWalksThePageInReadingOrderAndShiftTabWalksBack) {
    window->OpenPageFromKeyboard(kPageThemes);
    // The navigation is one stop, its checked button; then the page's filter, its buttons and list,
    // then the status bar.
    std::vector<HWND> expected{window->NavButton(kPageThemes).Handle()};
    expected.push_back(window->FilterEdit(TResourceKind::Theme));
    expected.push_back(window->CollapseButton().Handle());
    expected.push_back(window->ExpandButton().Handle());
    expected.push_back(window->List(TResourceKind::Theme).Handle());
    std::vector<HWND> statusLinks;
    for (const wchar_t* text : {L"Duded Ozodare", L"Visit Homepage"})
        for (size_t i = 0; i < window->LinkCount(); ++i)
            if (window->LinkLabel(i).Text() == text)
                statusLinks.push_back(window->LinkLabel(i).Handle());
    ASSERT_EQ(statusLinks.size(), 2u);
    expected.insert(expected.end(), statusLinks.begin(), statusLinks.end());

    std::vector<HWND> walked{GetFocus()};
    for (size_t i = 1; i < expected.size(); ++i)
        walked.push_back(Tab());
    EXPECT_EQ(walked, expected);
    std::vector<HWND> back{GetFocus()};
    for (size_t i = 1; i < expected.size(); ++i)
        back.push_back(Tab(true));
    EXPECT_EQ(back, std::vector<HWND>(expected.rbegin(), expected.rend()));

    // On the cursor page the restore link follows the list.
    window->OpenPageFromKeyboard(kPageCursor);
    for (int i = 0; i < 20 && GetFocus() != window->List(TResourceKind::Cursor).Handle(); ++i)
        Tab();
    ASSERT_EQ(GetFocus(), window->List(TResourceKind::Cursor).Handle());
    const Label* link = dynamic_cast<Label*>(Window::FromHandle(Tab()));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Text(), L"Restore the default cursor");
}

TEST_F(KeyboardTest, TheArrowsMoveOverTheNavigationAndSpaceOpensThePage) {
    window->OpenPageFromKeyboard(kPageThemes);
    const struct {
        WORD key;
        int page;
    } moves[] = {{VK_DOWN, kPageLogin},   {VK_RIGHT, kPageCursor}, {VK_UP, kPageLogin},  {VK_UP, kPageThemes},
                 {VK_UP, kPageSetHome},   {VK_UP, kPageOem},  // round the end, past the hidden one
                 {VK_DOWN, kPageSetHome}, {VK_DOWN, kPageThemes},  {VK_DOWN, kPageLogin}};
    for (const auto& m : moves) {
        SCOPED_TRACE(m.page);
        ASSERT_TRUE(test::PressKeys({m.key}));
        EXPECT_TRUE(Loop([&] { return GetFocus() == window->NavButton(m.page).Handle(); }, 2000));
    }
    // The arrows only move; the page is still the one checked.
    EXPECT_EQ(window->Pages().ActivePage(), kPageThemes);
    ASSERT_TRUE(test::PressKeys({VK_SPACE}));
    ASSERT_TRUE(Loop([&] { return window->Pages().ActivePage() == kPageLogin; }));
    EXPECT_TRUE(window->NavButton(kPageLogin).Checked());
    // Tab from the navigation goes into the login page.
    EXPECT_EQ(Tab(), window->FilterEdit(TResourceKind::Logon));
}

TEST_F(KeyboardTest, ALinkTakesTheFocusAndEnterFollowsIt) {
    for (size_t i = 0; i < window->LinkCount(); ++i) {
        Label& link = window->LinkLabel(i);
        if (link.Text() != L"Visit Homepage")
            continue;
        SetFocus(link.Handle());
        ASSERT_TRUE(test::PressKeys({VK_RETURN}));
        ASSERT_TRUE(Loop([&] { return !opened.empty(); }));
        EXPECT_NE(opened[0].find("http"), std::string::npos);
        return;
    }
    FAIL() << "no homepage link";
}

TEST_F(KeyboardTest, TheMenuKeyAndShiftF10OpenTheRowMenu) {
    // "&Delete the downloaded file" by its access key, from the menu each key opened. The item's key
    // is typed at once: the menu runs its own loop inside the key's dispatch, as for the user.
    FocusCursorRow("Slow1");
    ASSERT_TRUE(test::PressKeys({VK_APPS, 'D'}));
    EXPECT_TRUE(Loop([&] { return !Cached(L"Slow1"); }));

    FocusCursorRow("Slow2");
    ASSERT_TRUE(test::PressChord(VK_SHIFT, VK_F10) && test::PressKeys({'D'}));
    EXPECT_TRUE(Loop([&] { return !Cached(L"Slow2"); }));
    EXPECT_TRUE(messages.empty());
}

TEST_F(KeyboardTest, DeleteAsksBeforeItDeletesADownloadedPackage) {
    ResourceList& list = FocusCursorRow("Slow1");
    const NodeId row = list.FocusedNode();
    answer = IDNO;
    ASSERT_TRUE(test::PressKeys({VK_DELETE}));
    ASSERT_TRUE(Loop([&] { return messages.size() == 1; }));
    EXPECT_NE(messages[0].find("Slow1"), std::string::npos);
    EXPECT_TRUE(Cached(L"Slow1"));
    EXPECT_EQ(list.Tree().Item(row).State, dsDownloaded);

    answer = IDYES;
    ASSERT_TRUE(test::PressKeys({VK_DELETE}));
    ASSERT_TRUE(Loop([&] { return !Cached(L"Slow1"); }));
    EXPECT_EQ(list.Tree().Item(row).State, dsNone);
    EXPECT_EQ(messages.size(), 2u);

    // Nothing downloaded, nothing to ask.
    ASSERT_TRUE(test::PressKeys({VK_DELETE}));
    Loop([] { return false; }, 300);
    EXPECT_EQ(messages.size(), 2u);
}

TEST_F(KeyboardTest, F5FetchesTheCatalogAgainAndKeepsTheFilter) {
    ResourceList& cursors = window->List(TResourceKind::Cursor);
    window->OpenPageFromKeyboard(kPageCursor);
    SetWindowTextW(window->FilterEdit(TResourceKind::Cursor), L"slow");
    server.SetContent("/res/softdata/xp/config.txt",
                      "{\"themes\": [], \"cursors\": [\"Slow1\", \"Slow9\", \"Fast\"], \"logons\": [], \"icon\": []}");
    const int before = server.RequestCount("/res/softdata/xp/config.txt");
    ASSERT_TRUE(test::PressKeys({VK_F5}));
    ASSERT_TRUE(Loop([&] { return server.RequestCount("/res/softdata/xp/config.txt") > before; }));
    ASSERT_TRUE(Loop([&] { return window->CatalogSettled(); }, 15000));
    std::vector<std::string> shown;
    for (NodeId node : cursors.Tree().DisplayRows())
        shown.emplace_back(cursors.Tree().Item(node).Name.View());
    EXPECT_EQ(shown, (std::vector<std::string>{"Slow1", "Slow9"}));
    EXPECT_EQ(cursors.Tree().Item(test::RowNamed(cursors, "Slow1")).State, dsDownloaded);
    EXPECT_EQ(window->ListCaption(TResourceKind::Cursor).Text(), L"Cursor Themes [3]");
}

}  // namespace
}  // namespace lumaforge
