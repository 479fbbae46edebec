#include "controls/web_browser_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "support/browser_events_win.h"
#include "support/win_test_support.h"
#include "wallpaper/page_bar.h"

namespace lumaforge {
namespace {

using Option = TUserInterfaceOption;

TEST(UserInterfaceFlagsTest, OptionsGiveTheDocumentHostFlags) {
    const struct {
        const char* name;
        DWORD optionFlags;
        TEnterMode mode;
        DWORD expected;
    } cases[] = {
        {"no options yet", 0, TEnterMode::emFlagP, 0},
        {"the program's browsers", kStandardBrowserFlags, TEnterMode::emFlagP, 0x4000C},
        {"the program's browsers, div on Enter", kStandardBrowserFlags, TEnterMode::emFlagDiv, 0x4010C},
        {"first option", UserInterfaceFlags({Option::DisableTextSelect}), TEnterMode::emFlagP, 0x1},
        {"last option below the gap", UserInterfaceFlags({Option::EnablesFormsAutoComplete}), TEnterMode::emFlagP,
         0x4000},
        // 0x8000 has no option: the ones after it sit one bit higher.
        {"first option above the gap", UserInterfaceFlags({Option::ForceSameWindowNavigation}), TEnterMode::emFlagP,
         0x10000},
        {"last option", UserInterfaceFlags({Option::ForceUserActivationOnActiveXJava}), TEnterMode::emFlagP,
         0x20000000},
        {"div option and div mode agree", UserInterfaceFlags({Option::InsertDivTagOnEditMode}), TEnterMode::emFlagDiv,
         0x100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HostInfoFlags(c.optionFlags, c.mode), c.expected);
    }
}

using test::BeforeNavigateArgs;
using test::Fire;

TEST(BrowserEventSinkTest, BeforeNavigateAnswersWithTheHandlersDecision) {
    std::vector<std::wstring> seen;
    bool cancelIt = false;
    TBrowserEventHandlers handlers;
    handlers.beforeNavigate = [&](const std::wstring& url) {
        seen.push_back(url);
        return cancelIt;
    };
    handlers.documentComplete = [&](const std::wstring& url) { seen.push_back(L"complete " + url); };
    ComPtr<IDispatch> sink = MakeBrowserEventSink(handlers);

    BeforeNavigateArgs follow(L"about:blank");
    EXPECT_EQ(Fire(sink.Get(), test::kBeforeNavigate2, follow.params), S_OK);  // DISPID_BEFORENAVIGATE2
    EXPECT_EQ(follow.cancel, VARIANT_FALSE);

    cancelIt = true;
    BeforeNavigateArgs stop(L"about:blank5");
    Fire(sink.Get(), test::kBeforeNavigate2, stop.params);
    EXPECT_EQ(stop.cancel, VARIANT_TRUE);

    VARIANT complete[2];
    VariantInit(&complete[0]);
    VariantInit(&complete[1]);
    complete[0].vt = VT_BSTR;
    complete[0].bstrVal = SysAllocString(L"about:blank");
    DISPPARAMS completeParams{complete, nullptr, 2, 0};
    Fire(sink.Get(), test::kDocumentComplete, completeParams);  // DISPID_DOCUMENTCOMPLETE
    VariantClear(&complete[0]);

    EXPECT_EQ(seen, (std::vector<std::wstring>{L"about:blank", L"about:blank5", L"complete about:blank"}));
}

TEST(BrowserEventSinkTest, AHandlerThatFailsCancelsAndNothingReachesTheBrowser) {
    TBrowserEventHandlers handlers;
    handlers.beforeNavigate = [](const std::wstring&) -> bool { throw std::runtime_error("scraper failed"); };
    ComPtr<IDispatch> sink = MakeBrowserEventSink(handlers);
    BeforeNavigateArgs args(L"about:3");
    EXPECT_EQ(Fire(sink.Get(), test::kBeforeNavigate2, args.params), S_OK);
    EXPECT_EQ(args.cancel, VARIANT_TRUE);

    // Without a handler every navigation goes ahead.
    ComPtr<IDispatch> silent = MakeBrowserEventSink({});
    BeforeNavigateArgs free(L"http://example.test/");
    Fire(silent.Get(), test::kBeforeNavigate2, free.params);
    EXPECT_EQ(free.cancel, VARIANT_FALSE);
}

// A top-level window to hold a browser.
class HostWindow {
public:
    HostWindow() {
        hwnd_ = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 820, 200, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~HostWindow() { DestroyWindow(hwnd_); }
    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_;
};

class WebBrowserTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }

    // The document host the browser finds by asking its client site.
    template <typename T>
    static ComPtr<T> HostInterface(const TWebBrowser& browser, REFIID iid) {
        ComPtr<IOleObject> object = ComPtr<IWebBrowser2>(browser.Browser()).As<IOleObject>(IID_IOleObject);
        ComPtr<IOleClientSite> site;
        if (object)
            object->GetClientSite(site.Put());
        return site.template As<T>(iid);
    }
};

template <typename F>
long long MillisecondsOf(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(WebBrowserTest, NavigateAndLoadHtmlReturnAtOnceWhetherOrNotADocumentAppears) {
    HostWindow host;
    TWebBrowser browser;
    ASSERT_TRUE(browser.Create(host.Get(), {0, 0, 790, 90}));
    ASSERT_TRUE(browser.HasBrowser());
    EXPECT_EQ(GetParent(browser.Handle()), host.Get());

    EXPECT_LT(MillisecondsOf([&] { browser.Navigate("http://127.0.0.1:9/ad/20107271_1.html"); }), 2000);
    EXPECT_LT(MillisecondsOf([&] { browser.LoadHtml(WrapPageHtml("<div class=\"pagination\">1</div>")); }), 2000);
    EXPECT_LT(MillisecondsOf([&] { browser.LoadHtml(""); }), 2000);
    test::PumpFor(500);
    browser.SetBounds(0, 0, 400, 30);
    test::PumpPending();

    // The last text is what shows, or what waits for a document where the browser has no engine.
    EXPECT_EQ(browser.Html(), "");
    ComPtr<IDispatch> document;
    browser.Browser()->get_Document(document.Put());
    EXPECT_EQ(browser.HtmlWaiting(), !document);
}

TEST_F(WebBrowserTest, TheDocumentHostSuppressesWhatItIsToldAndLeavesTheRestToTheBrowser) {
    HostWindow host;
    TWebBrowser browser;
    ASSERT_TRUE(browser.Create(host.Get(), {0, 0, 790, 90}));
    ASSERT_TRUE(browser.HasBrowser());
    ComPtr<IDocHostUIHandler> handler = HostInterface<IDocHostUIHandler>(browser, __uuidof(IDocHostUIHandler));
    ComPtr<IDocHostShowUI> showUi = HostInterface<IDocHostShowUI>(browser, __uuidof(IDocHostShowUI));
    ASSERT_TRUE(handler);
    ASSERT_TRUE(showUi);

    POINT at{10, 10};
    EXPECT_EQ(handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &at, nullptr, nullptr), E_NOTIMPL);
    browser.onShowContextMenu = TWebBrowser::NoContextMenu;
    EXPECT_EQ(handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &at, nullptr, nullptr), S_OK);

    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    info.dwDoubleClick = 7;
    EXPECT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0x4010Cu);
    EXPECT_EQ(info.dwDoubleClick, static_cast<DWORD>(DOCHOSTUIDBLCLK_DEFAULT));
    EXPECT_EQ(info.pchHostCss, nullptr);
    browser.enterModeOnEdit = TEnterMode::emFlagP;
    browser.SetUserInterfaceFlags(UserInterfaceFlags({Option::ForceSameWindowNavigation}));
    EXPECT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0x10000u);

    EXPECT_EQ(handler->ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(handler->HideUI(), S_FALSE);
    EXPECT_EQ(handler->UpdateUI(), S_FALSE);
    EXPECT_EQ(handler->EnableModeless(TRUE), S_OK);
    EXPECT_EQ(handler->OnDocWindowActivate(TRUE), S_OK);
    EXPECT_EQ(handler->OnFrameWindowActivate(TRUE), S_OK);
    EXPECT_EQ(handler->ResizeBorder(nullptr, nullptr, FALSE), S_OK);
    MSG msg{};
    EXPECT_EQ(handler->TranslateAccelerator(&msg, nullptr, 0), S_FALSE);

    // Every out value is set, to nothing, whatever the answer.
    auto junk = [](auto** slot) { *slot = reinterpret_cast<std::remove_pointer_t<decltype(slot)>>(1); };
    LPOLESTR key;
    junk(&key);
    EXPECT_EQ(handler->GetOptionKeyPath(&key, 0), S_FALSE);
    EXPECT_EQ(key, nullptr);
    IDropTarget* drop;
    junk(&drop);
    EXPECT_EQ(handler->GetDropTarget(nullptr, &drop), S_OK);
    EXPECT_EQ(drop, nullptr);
    IDispatch* external;
    junk(&external);
    EXPECT_EQ(handler->GetExternal(&external), S_FALSE);
    EXPECT_EQ(external, nullptr);
    LPWSTR translated;
    junk(&translated);
    wchar_t url[] = L"http://example.test/";
    EXPECT_EQ(handler->TranslateUrl(0, url, &translated), S_FALSE);
    EXPECT_EQ(translated, nullptr);
    IDataObject* filtered;
    junk(&filtered);
    EXPECT_EQ(handler->FilterDataObject(nullptr, &filtered), S_FALSE);
    EXPECT_EQ(filtered, nullptr);

    LRESULT result = 0;
    EXPECT_EQ(showUi->ShowMessage(nullptr, url, url, MB_OK, nullptr, 0, &result), S_FALSE);
    EXPECT_EQ(showUi->ShowHelp(nullptr, nullptr, 0, 0, at, nullptr), S_FALSE);
}

TEST_F(WebBrowserTest, AHostTheBrowserKeepsAfterTheControlIsGoneAnswersSafely) {
    ComPtr<IDocHostUIHandler> handler;
    {
        HostWindow host;
        TWebBrowser browser;
        ASSERT_TRUE(browser.Create(host.Get(), {0, 0, 100, 30}));
        ASSERT_TRUE(browser.HasBrowser());
        browser.onShowContextMenu = TWebBrowser::NoContextMenu;
        handler = HostInterface<IDocHostUIHandler>(browser, __uuidof(IDocHostUIHandler));
        ASSERT_TRUE(handler);
    }
    POINT at{};
    EXPECT_EQ(handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &at, nullptr, nullptr), E_NOTIMPL);
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    EXPECT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0u);
}

TEST_F(WebBrowserTest, TheParentGoingFirstTakesTheBrowserWithIt) {
    auto host = std::make_unique<HostWindow>();
    TWebBrowser browser;
    ASSERT_TRUE(browser.Create(host->Get(), {0, 0, 100, 30}));
    host.reset();
    EXPECT_FALSE(browser.HasBrowser());
    EXPECT_EQ(browser.Handle(), nullptr);
    browser.Navigate("about:blank");
    browser.LoadHtml("<p>x</p>");
    EXPECT_TRUE(browser.HtmlWaiting());
}

// The control reports the browser's own navigations, as UTF-8, to its owner, whose answer decides.
TEST_F(WebBrowserTest, TheBrowsersOwnNavigationsReachTheOwnersDecision) {
    HostWindow host;
    TWebBrowser browser;
    ASSERT_TRUE(browser.Create(host.Get(), {0, 0, 400, 30}));
    ASSERT_TRUE(browser.HasBrowser());
    std::vector<std::string> seen;
    browser.onBeforeNavigate = [&](const std::string& url) {
        seen.push_back(url);
        return url != "about:blank";
    };
    browser.Navigate("about:blank5");
    browser.LoadHtml("<p>\xE9\xA3\x8E</p>");
    test::PumpFor(300);
    EXPECT_EQ(seen, (std::vector<std::string>{"about:blank5", "about:blank"}));
}

}  // namespace
}  // namespace lumaforge
