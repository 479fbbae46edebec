#include "app/main_window_win.h"
#include "app/main_window_ids.h"
#include "app/message_loop_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "base/unicode_win.h"
#include "net/msg_box_win.h"
#include "res/resource_ids.h"
#include "support/quiet_services_win.h"
#include "support/real_input_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

using test::TempFolder;

// A main window whose program folder is a fresh temporary folder.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureCommonControls(); }
    void TearDown() override {
        window.reset();
        test::PumpPending();
    }

    TFrmMain& Open(const std::wstring& programName = L"Lumaforge.exe", bool show = true) {
        return OpenIn(folder, programName, show);
    }

    TFrmMain& OpenIn(const TempFolder& where, const std::wstring& programName, bool show) {
        window = Make(where, programName);
        EXPECT_TRUE(window->Create());
        if (show) {
            test::ShowAndLoadCatalog(*window);
        }
        return *window;
    }

    std::unique_ptr<TFrmMain> Make(const TempFolder& where, const std::wstring& programName) {
        // Quiet services first: among them no catalog key, whatever key the build (run.sh) holds.
        TFrmMain::Services services = test::QuietServices(server.Url("/"));
        services.callUpdater = [this](HWND) {
            ++updaterCalls;
            if (duringUpdater)
                duringUpdater();
        };
        services.showHomePagePrompt = [this] { ++homePagePrompts; };
        services.showMessage = [this](HWND, const std::string& text, TMsgKind kind) {
            messages.push_back(text);
            messageKinds.push_back(kind);
            if (duringMessage)
                duringMessage();
            return kind == mkQuestion ? answer : IDOK;
        };
        services.installPackage = [this](TResourceKind kind, const std::string& path) {
            installs.push_back({kind, path});
            return installResult;
        };
        services.shellExecute = [this](const std::string&, const std::string& file, const std::string&, int) {
            opened.push_back(file);
            return static_cast<intptr_t>(42);
        };
        return std::make_unique<TFrmMain>(where.Path() + programName, services);
    }

    static void CopyLanguageModule(const TempFolder& where, const std::wstring& name) {
        ASSERT_TRUE(
            CopyFileW(test::HostPath(LUMAFORGE_TEST_LANGUAGE_MODULE).c_str(), (where.Path() + name).c_str(), FALSE));
    }

    test::TestHttpServer server;
    TempFolder folder;
    std::unique_ptr<TFrmMain> window;
    std::vector<std::string> messages;
    std::vector<TMsgKind> messageKinds;
    std::vector<std::pair<TResourceKind, std::string>> installs;
    std::vector<std::string> opened;
    int answer = IDNO;
    bool installResult = true;
    int updaterCalls = 0;
    std::function<void()> duringMessage;
    int homePagePrompts = 0;
    std::function<void()> duringUpdater;
};

std::wstring WindowCaption(HWND hwnd) {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

TEST_F(MainWindowTest, EnglishTextsWithoutALanguageModule) {
    TFrmMain& w = Open();
    EXPECT_FALSE(w.Strings().HasLanguageModule());
    EXPECT_EQ(WindowCaption(w.Handle()), L"Lumaforge");
    EXPECT_EQ(w.ListCaption(TResourceKind::Theme).Text(), L"Visual Styles");
    EXPECT_EQ(w.ListCaption(TResourceKind::Sound).Text(), L"Sound Schemes");
    EXPECT_EQ(w.AppPath(), ToUtf8(folder.Path()));
    RECT client{};
    GetClientRect(w.Handle(), &client);
    EXPECT_EQ(client.right, 790);
    EXPECT_EQ(client.bottom, 538);
}

// As the program starts: the empty frame is on the screen with its caption before a page exists;
// the pages are built into the visible window and start-up goes on from there, once.
TEST_F(MainWindowTest, TheFrameShowsFirstAndItsPagesFollowIntoIt) {
    window = Make(folder, L"Lumaforge.exe");
    TFrmMain& w = *window;
    ASSERT_TRUE(w.CreateFrame());
    ShowWindow(w.Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(w.Handle());
    EXPECT_TRUE(IsWindowVisible(w.Handle()));
    EXPECT_EQ(WindowCaption(w.Handle()), L"Lumaforge");
    EXPECT_EQ(GetWindow(w.Handle(), GW_CHILD), nullptr);
    // The pointer passing over the empty frame and the program coming to the front touch nothing.
    SendMessageW(w.Handle(), WM_ACTIVATEAPP, TRUE, 0);

    w.BuildContents();
    EXPECT_NE(GetWindow(w.Handle(), GW_CHILD), nullptr);
    EXPECT_EQ(w.List(TResourceKind::Theme).Placeholder(), L"Loading the catalog...");
    ASSERT_TRUE(test::PumpUntil([&] { return w.CatalogSettled(); }, 30000));
    EXPECT_EQ(w.ListCaption(TResourceKind::Theme).Text(), L"Visual Styles");
}

TEST_F(MainWindowTest, LanguageModuleBesideTheProgramReplacesTheStrings) {
    struct {
        const wchar_t* program;
        const wchar_t* module;
        bool loaded;
    } cases[] = {
        {L"Lumaforge.exe", L"Lumaforge.CHS", true},
        {L"Lumaforge.exe", L"Lumaforge.CH", true},  // the two-letter fallback
        {L"Lumaforge", L"Lumaforge.CHS", false},    // a program name without "." loads nothing
        {L"Lumaforge.exe", L"Other.CHS", false},
    };
    for (const auto& c : cases) {
        TempFolder caseFolder;
        CopyLanguageModule(caseFolder, c.module);
        TFrmMain& w = OpenIn(caseFolder, c.program, false);
        EXPECT_EQ(w.Strings().HasLanguageModule(), c.loaded) << ToUtf8(c.module);
        EXPECT_EQ(w.ListCaption(TResourceKind::Theme).Text(), c.loaded ? L"视觉主题" : L"Visual Styles");
        window.reset();
    }
}

TEST_F(MainWindowTest, MessageCaptionsStayThoseOfTheProgram) {
    CopyLanguageModule(folder, L"Lumaforge.CHS");
    LoadMsgBoxCaptions();
    TFrmMain& w = Open();
    ASSERT_TRUE(w.Strings().HasLanguageModule());
    EXPECT_EQ(MsgBoxCaption(mkQuestion), L"Question");
    EXPECT_EQ(MsgBoxCaption(mkWarning), L"Warning");
    EXPECT_EQ(w.Strings().Get(IDS_MSG_QUESTION), L"询问");
}

// The version, the home page and the support address are one entry of the caption's menu away, in
// the language of the module too.
TEST_F(MainWindowTest, TheSystemMenuOffersAboutWithVersionHomePageAndSupport) {
    for (const bool chinese : {false, true}) {
        TempFolder caseFolder;
        if (chinese)
            CopyLanguageModule(caseFolder, L"Lumaforge.CHS");
        TFrmMain& w = OpenIn(caseFolder, L"Lumaforge.exe", false);
        HMENU systemMenu = GetSystemMenu(w.Handle(), FALSE);
        wchar_t label[64] = {};
        ASSERT_GT(GetMenuStringW(systemMenu, kIdSysMenuAbout, label, 64, MF_BYCOMMAND), 0);
        EXPECT_EQ(std::wstring(label), chinese ? L"关于 Lumaforge(&A)..." : L"&About Lumaforge...");
        messages.clear();
        SendMessageW(w.Handle(), WM_SYSCOMMAND, kIdSysMenuAbout, 0);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messageKinds[0], mkInformation);
        const std::string& about = messages[0];
        EXPECT_EQ(about.find("%s"), std::string::npos) << about;
        for (const char* part : {config::kFileVersion, config::kHomeUrl, config::kSupportEmail})
            EXPECT_NE(about.find(part), std::string::npos) << part << " in " << about;
        window.reset();
    }
}

TEST_F(MainWindowTest, FolderIconCategoriesAreSortedFoldersOnly) {
    for (const wchar_t* name : {L"cache\\icons\\b", L"cache\\icons\\A", L"cache\\icons\\c", L"cache\\icons\\h"})
        folder.MakeFolder(name);
    SetFileAttributesW((folder.Path() + L"cache\\icons\\h").c_str(), FILE_ATTRIBUTE_HIDDEN);
    folder.WriteFile(L"cache\\icons\\plain.ico", "x");
    TFrmMain& w = Open();
    std::vector<std::string> names;
    for (NodeId node : w.DirList().Tree().DisplayRows())
        names.emplace_back(w.DirList().Tree().Item(node).Name.View());
    EXPECT_EQ(names, (std::vector<std::string>{"A", "b", "c"}));
}

TEST_F(MainWindowTest, NoIconCacheGivesAnEmptyCategoryList) {
    TFrmMain& w = Open();
    EXPECT_EQ(w.DirList().Tree().Size(), 0u);
}

TEST_F(MainWindowTest, StatusColumnKeepsNinetyPixelsOnResizeAndScrollBar) {
    TFrmMain& w = Open();
    ResourceList& list = w.List(TResourceKind::Cursor);
    for (int width : {229, 300, 180}) {
        list.SetBounds(0, 50, width, 200);
        RECT client = list.ClientRect();
        EXPECT_EQ(list.ColumnWidth(1), 90);
        EXPECT_EQ(list.ColumnWidth(0), client.right - 90);
    }
    RECT before = list.ClientRect();
    list.BeginUpdate();
    for (int i = 0; i < 50; ++i)
        w.AddResourceItem(list, kNoNode, "Cursor " + std::to_string(i));
    list.EndUpdate();
    RECT after = list.ClientRect();
    EXPECT_LT(after.right, before.right);  // the scroll bar took its place
    EXPECT_EQ(list.ColumnWidth(1), 90);
    EXPECT_EQ(list.ColumnWidth(0), after.right - 90);
}

TEST_F(MainWindowTest, ToolBarShowsThePageOfItsTag) {
    TFrmMain& w = Open();
    EXPECT_EQ(w.Pages().ActivePage(), kPageThemes);
    EXPECT_TRUE(w.NavButton(kPageThemes).Checked());
    for (int tag : {kPageLogin, kPageWallpaper, kPageOem, kPageSound, kPageIcons, kPageThemes}) {
        w.NavButton(tag).Click();
        EXPECT_EQ(w.Pages().ActivePage(), tag);
        for (int other = 0; other < kPageCount; ++other)
            EXPECT_EQ(w.NavButton(other).Checked(), other == tag);
    }
    EXPECT_FALSE(IsWindowVisible(w.NavButton(kPageCrack).Handle()));
    w.IconSubButton(1).Click();
    EXPECT_EQ(w.IconPages().ActivePage(), 1);
    EXPECT_FALSE(w.IconSubButton(0).Checked());
}

TEST_F(MainWindowTest, TheStartPageQuestionNeverStacksOverTheUpdatersQuestion) {
    int promptsWhenAsked = -1, promptsWhenAnswered = -1;
    // The updater's question keeps its own message loop running for a while, as a box does.
    duringUpdater = [&] {
        promptsWhenAsked = homePagePrompts;
        test::PumpFor(2500);
        promptsWhenAnswered = homePagePrompts;
    };
    Open();
    test::PumpFor(5000);
    EXPECT_EQ(updaterCalls, 1);
    EXPECT_EQ(promptsWhenAnswered, promptsWhenAsked);
    EXPECT_EQ(homePagePrompts, 1);
}

// A warning about the catalog that the user has not answered yet stays on top: the start-up
// questions wait for it instead of opening over it from its own loop.
TEST_F(MainWindowTest, TheStartQuestionsWaitForAnOpenWarning) {
    int questionsDuringWarning = -1;
    duringMessage = [&] {
        const int before = updaterCalls + homePagePrompts;
        test::PumpFor(2500);
        questionsDuringWarning = updaterCalls + homePagePrompts - before;
    };
    Open();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messageKinds[0], mkWarning);
    EXPECT_EQ(questionsDuringWarning, 0);
    duringMessage = nullptr;
    test::PumpFor(4000);
    EXPECT_EQ(updaterCalls, 1);
    EXPECT_EQ(homePagePrompts, 1);
}

TEST_F(MainWindowTest, TimersFireOnceAndSetHomePageAsksEveryTime) {
    TFrmMain& w = Open();
    test::PumpFor(1600);
    EXPECT_EQ(updaterCalls, 1);
    EXPECT_EQ(homePagePrompts, 1);
    test::PumpFor(1200);
    EXPECT_EQ(homePagePrompts, 1);
    w.NavButton(kPageSetHome).Click();
    w.NavButton(kPageSetHome).Click();
    EXPECT_EQ(homePagePrompts, 3);
    EXPECT_EQ(w.Pages().ActivePage(), kPageSetHome);
    EXPECT_EQ(updaterCalls, 1);
}

TEST_F(MainWindowTest, FilterEditFiltersItsListOnEveryChange) {
    TFrmMain& w = Open();
    ResourceList& themes = w.List(TResourceKind::Theme);
    NodeId windows = themes.Tree().Add(kNoNode, "Windows[2]");
    w.AddResourceItem(themes, windows, "Aero");
    w.AddResourceItem(themes, windows, "Classic");
    themes.SetCategoriesExpanded(true);
    SetWindowTextW(w.FilterEdit(TResourceKind::Theme), L"AER");
    EXPECT_EQ(themes.Tree().DisplayRows().size(), 2u);
    SetWindowTextW(w.FilterEdit(TResourceKind::Theme), L"windows");
    EXPECT_EQ(themes.Tree().DisplayRows().size(), 0u);
    SetWindowTextW(w.FilterEdit(TResourceKind::Theme), L"");
    EXPECT_EQ(themes.Tree().DisplayRows().size(), 3u);

    ResourceList& sounds = w.List(TResourceKind::Sound);
    for (const char* name : {"Chimes", "中国风", "Robots"})
        w.AddResourceItem(sounds, kNoNode, name);
    SetWindowTextW(w.FilterEdit(TResourceKind::Sound), L"中国");
    ASSERT_EQ(sounds.Tree().DisplayRows().size(), 1u);
    EXPECT_EQ(sounds.Tree().Item(sounds.Tree().DisplayRows()[0]).Name.View(), "中国风");
}

TEST_F(MainWindowTest, KeysTypedIntoTheFilterFilterThroughTheProgramsLoop) {
    TFrmMain& w = Open();
    ResourceList& themes = w.List(TResourceKind::Theme);
    NodeId windows = themes.Tree().Add(kNoNode, "Windows[2]");
    w.AddResourceItem(themes, windows, "Aero");
    w.AddResourceItem(themes, windows, "Classic");
    themes.SetCategoriesExpanded(true);
    SetForegroundWindow(w.Handle());
    SetFocus(w.FilterEdit(TResourceKind::Theme));
    ASSERT_TRUE(test::PressKeys({'A', 'E', 'R'}));
    EXPECT_TRUE(test::LoopUntil(w.Handle(), [&] { return themes.Tree().DisplayRows().size() == 2u; }));
    ASSERT_TRUE(test::PressKeys({VK_BACK, VK_BACK, VK_BACK}));
    EXPECT_TRUE(test::LoopUntil(w.Handle(), [&] { return themes.Tree().DisplayRows().size() == 3u; }));
}

TEST_F(MainWindowTest, CachedPackageStatusTurnsEmptyWhenTheFileGoes) {
    folder.MakeFolder(L"cache\\cursor");
    folder.WriteFile(L"cache\\cursor\\Dino.zip", "PK");
    TFrmMain& w = Open();
    ResourceList& list = w.List(TResourceKind::Cursor);
    NodeId dino = w.AddResourceItem(list, kNoNode, "Dino");
    NodeId other = w.AddResourceItem(list, kNoNode, "Other");
    EXPECT_EQ(list.Tree().Item(dino).State, dsDownloaded);
    EXPECT_EQ(list.Tree().Item(other).State, dsNone);
    EXPECT_EQ(list.CellText(dino, 1), "下载成功");
    ASSERT_TRUE(DeleteFileW((folder.Path() + L"cache\\cursor\\Dino.zip").c_str()));
    // Painting reads the rows and never looks at the disk.
    RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(list.Tree().Item(dino).State, dsDownloaded);
    // Coming back to the program, the user sees what the cache holds.
    SendMessageW(w.Handle(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(list.CellText(dino, 1), "");
    EXPECT_EQ(list.Tree().Item(dino).State, dsNone);
    EXPECT_EQ(list.Tree().Item(other).State, dsNone);
}

TEST_F(MainWindowTest, EnterOnAFocusedListActsAsADoubleClickInTheProgramsLoop) {
    folder.MakeFolder(L"cache\\cursor");
    folder.WriteFile(L"cache\\cursor\\Dino.zip", "PK");
    TFrmMain& w = Open();
    ResourceList& list = w.List(TResourceKind::Cursor);
    NodeId dino = w.AddResourceItem(list, kNoNode, "Dino");
    w.NavButton(kPageCursor).Click();
    SetForegroundWindow(w.Handle());
    SetFocus(list.Handle());
    list.SetFocusedNode(dino);
    ASSERT_EQ(GetFocus(), list.Handle());
    // A real key press, through the same loop as the program's.
    ASSERT_TRUE(test::PressKeys({VK_RETURN}));
    test::LoopUntil(
        w.Handle(), [&] { return !installs.empty(); }, 3000);
    ASSERT_EQ(installs.size(), 1u);
    EXPECT_EQ(installs[0].second, ToUtf8(folder.Path()) + "cache\\cursor\\Dino.zip");
}

// A control whose handler fails the way an installer does: with an error meant for the user.
class FailingControl : public Window {
public:
    bool Create(HWND parent) { return CreateWindowOf(L"LumaforgeTestFailing", WS_CHILD, 0, parent, {0, 0, 10, 10}); }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP)
            throw std::runtime_error("Cannot open the package");
        return Window::OnMessage(message, wParam, lParam);
    }
};

TEST_F(MainWindowTest, AnErrorInAHandlerIsShownByTheWindowAndTheProgramGoesOn) {
    TFrmMain& w = Open();
    messages.clear();  // the catalog's warning: no server content here
    messageKinds.clear();
    FailingControl control;
    ASSERT_TRUE(control.Create(w.Pages().Page(kPageOem).Handle()));
    EXPECT_EQ(SendMessageW(control.Handle(), WM_APP, 0, 0), 0);
    EXPECT_EQ(messages, (std::vector<std::string>{"Cannot open the package"}));
    EXPECT_EQ(messageKinds, (std::vector<TMsgKind>{mkError}));
    EXPECT_TRUE(IsWindow(w.Handle()));
}

TEST_F(MainWindowTest, InstalledStyleDetectedInTheWindowsThemesFolder) {
    TFrmMain& w = Open();
    const std::wstring themes = ToWide(w.WinPath()) + L"\\Resources\\Themes\\";
    CreateDirectoryW((ToWide(w.WinPath()) + L"\\Resources").c_str(), nullptr);
    CreateDirectoryW(themes.c_str(), nullptr);
    const std::wstring themeFile = themes + L"LumaforgeTestStyle.theme";
    {
        UniqueHandle file(CreateFileW(themeFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
    }
    ResourceList& list = w.List(TResourceKind::Theme);
    NodeId category = list.Tree().Add(kNoNode, "Test[2]");
    NodeId installed = w.AddResourceItem(list, category, "LumaforgeTestStyle");
    NodeId missing = w.AddResourceItem(list, category, "LumaforgeMissingStyle");
    DeleteFileW(themeFile.c_str());
    EXPECT_EQ(list.Tree().Item(installed).Installed, 1);
    EXPECT_EQ(list.Tree().Item(missing).Installed, 0);
    // Login screens never show an installed mark.
    ResourceList& logins = w.List(TResourceKind::Logon);
    NodeId login = w.AddResourceItem(logins, kNoNode, "LumaforgeTestStyle");
    EXPECT_EQ(logins.Tree().Item(login).Installed, 0);
}

TEST_F(MainWindowTest, PopupMenuFollowsTheFocusedRow) {
    TFrmMain& w = Open();
    ResourceList& themes = w.List(TResourceKind::Theme);
    NodeId category = themes.Tree().Add(kNoNode, "Cat[1]");
    NodeId style = w.AddResourceItem(themes, category, "Aero");
    themes.SetFocusedNode(category);
    EXPECT_FALSE(w.PreparePopupMenu(themes));
    themes.SetFocusedNode(style);
    EXPECT_TRUE(w.PreparePopupMenu(themes));

    ResourceList& cursors = w.List(TResourceKind::Cursor);
    EXPECT_FALSE(w.PreparePopupMenu(cursors));  // no focused row
    NodeId cursor = w.AddResourceItem(cursors, kNoNode, "Dino");
    cursors.States().Progressed(cursor, 10);
    cursors.SetFocusedNode(cursor);
    ASSERT_TRUE(w.PreparePopupMenu(cursors));
    HMENU menu = w.PopupMenu();
    wchar_t caption[64] = {};
    GetMenuStringW(menu, 0, caption, 64, MF_BYPOSITION);
    EXPECT_STREQ(caption, L"取消下载任务(&N)");
    auto enabled = [&](int position) { return !(GetMenuState(menu, position, MF_BYPOSITION) & MF_GRAYED); };
    EXPECT_TRUE(enabled(0));   // cancel
    EXPECT_FALSE(enabled(2));  // install and apply
    EXPECT_FALSE(enabled(8));  // delete the downloaded file
    EXPECT_TRUE(enabled(11));  // open the folder is never disabled

    ResourceList& logins = w.List(TResourceKind::Logon);
    NodeId login = w.AddResourceItem(logins, kNoNode, "Login");
    logins.States().Installed(login);
    logins.SetFocusedNode(login);
    ASSERT_TRUE(w.PreparePopupMenu(logins));
    EXPECT_FALSE(enabled(3));  // apply directly: never for login screens
    EXPECT_TRUE(enabled(6));   // uninstall
    GetMenuStringW(menu, 0, caption, 64, MF_BYPOSITION);
    EXPECT_STREQ(caption, L"添加到下载任务中(&N)");
}

TEST_F(MainWindowTest, RestoreMessageBringsTheWindowBack) {
    TFrmMain& w = Open();
    ShowWindow(w.Handle(), SW_MINIMIZE);
    test::PumpPending();
    ASSERT_TRUE(IsIconic(w.Handle()));
    SendMessageW(w.Handle(), 1349, 0, 0);
    EXPECT_FALSE(IsIconic(w.Handle()));
}

TEST_F(MainWindowTest, LinksUnderlineWhileThePointerIsOverThem) {
    TFrmMain& w = Open();
    ASSERT_GE(w.LinkCount(), 10u);
    Label& link = w.LinkLabel(0);
    EXPECT_FALSE(link.Hovered());
    SendMessageW(link.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(link.Hovered());
    LOGFONTW font{};
    GetObjectW(link.CurrentFont(), sizeof font, &font);
    EXPECT_TRUE(font.lfUnderline);
    SendMessageW(link.Handle(), WM_MOUSELEAVE, 0, 0);
    GetObjectW(link.CurrentFont(), sizeof font, &font);
    EXPECT_FALSE(font.lfUnderline);
}

}  // namespace
}  // namespace lumaforge
