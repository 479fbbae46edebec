// What a screen reader gets from the drawn controls through Active Accessibility.
#include <oleacc.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/main_window_win.h"
#include "base/com_ptr_win.h"
#include "res/resource_ids.h"
#include "support/quiet_services_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"
#include "support/zip_maker.h"

namespace lumaforge {
namespace {

VARIANT Child(long id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// The client object of a window as a screen reader asks for it.
ComPtr<IAccessible> ObjectOf(HWND window) {
    ComPtr<IAccessible> object;
    EXPECT_EQ(AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(object.Put())),
              S_OK);
    return object;
}

std::wstring Text(HRESULT (IAccessible::*get)(VARIANT, BSTR*), const ComPtr<IAccessible>& object,
                  long child = CHILDID_SELF) {
    BSTR text = nullptr;
    if (FAILED((object.Get()->*get)(Child(child), &text)) || !text)
        return {};
    std::wstring result(text, SysStringLen(text));
    SysFreeString(text);
    return result;
}

long Number(HRESULT (IAccessible::*get)(VARIANT, VARIANT*), const ComPtr<IAccessible>& object,
            long child = CHILDID_SELF) {
    VARIANT value;
    VariantInit(&value);
    if (FAILED((object.Get()->*get)(Child(child), &value)) || value.vt != VT_I4)
        return -1;
    return value.lVal;
}

class AccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        test::EnsureCommonControls();
        server.SetContent("/res/softdata/xp/config.txt",
                          "{\"themes\": [{\"name\": \"Cat\", \"list\": [\"Style\"]}], \"cursors\": [\"Arrow\", "
                          "\"Beam\", \"Cross\"], \"logons\": [], \"icon\": []}");
        server.SetContent("/apiserver/api/api.txt", "");
        folder.MakeFolder(L"cache\\cursor");
        folder.WriteFile(L"cache\\cursor\\Beam.zip", test::MakeZip({{"readme.txt", "x"}}));
        TFrmMain::Services services = test::QuietServices(server.Url("/res/"));
        services.apiUrl = server.Url("/apiserver/");
        window = std::make_unique<TFrmMain>(folder.Path() + L"Lumaforge.exe", services);
        ASSERT_TRUE(window->Create());
        ASSERT_TRUE(test::ShowAndLoadCatalog(*window, SW_SHOW));
    }
    void TearDown() override {
        window.reset();
        test::PumpPending();
        OleUninitialize();
    }

    test::TestHttpServer server;
    test::TempFolder folder;
    std::unique_ptr<TFrmMain> window;
};

TEST_F(AccessibilityTest, EveryNavigationButtonSaysItsCaptionAndWhetherItIsChecked) {
    const int pages[] = {kPageSetHome, kPageThemes, kPageLogin,     kPageCursor, kPageSound,
                         kPageScreen,  kPageIcons,  kPageWallpaper, kPageOem};
    for (int checkedPage : {kPageThemes, kPageSound}) {
        window->OpenPageFromKeyboard(checkedPage);
        for (int page : pages) {
            SCOPED_TRACE(testing::Message() << "page " << page << " with " << checkedPage << " checked");
            TImageCheckButton& button = window->NavButton(page);
            ComPtr<IAccessible> object = ObjectOf(button.Handle());
            ASSERT_TRUE(object);
            EXPECT_EQ(Text(&IAccessible::get_accName, object), button.Caption());
            EXPECT_EQ(Number(&IAccessible::get_accRole, object), ROLE_SYSTEM_RADIOBUTTON);
            const long state = Number(&IAccessible::get_accState, object);
            EXPECT_EQ((state & STATE_SYSTEM_CHECKED) != 0, page == checkedPage);
            EXPECT_EQ((state & STATE_SYSTEM_FOCUSED) != 0, page == checkedPage);  // the keyboard put it there
            EXPECT_TRUE(state & STATE_SYSTEM_FOCUSABLE);
        }
    }
    EXPECT_EQ(window->NavButton(kPageThemes).Caption(), L"Visual Styles");
    // The hidden button says so.
    ComPtr<IAccessible> hidden = ObjectOf(window->NavButton(kPageCrack).Handle());
    EXPECT_TRUE(Number(&IAccessible::get_accState, hidden) & STATE_SYSTEM_INVISIBLE);
}

TEST_F(AccessibilityTest, AListSaysItsFocusedRowWithItsNameStateAndDownload) {
    window->OpenPageFromKeyboard(kPageCursor);
    ResourceList& list = window->List(TResourceKind::Cursor);
    SetFocus(list.Handle());
    list.SetFocusedNode(test::RowNamed(list, "Beam"));
    ComPtr<IAccessible> object = ObjectOf(list.Handle());
    ASSERT_TRUE(object);
    EXPECT_EQ(Text(&IAccessible::get_accName, object), L"Cursor Themes");
    EXPECT_EQ(Number(&IAccessible::get_accRole, object), ROLE_SYSTEM_LIST);
    long count = 0;
    ASSERT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 3);

    VARIANT focus;
    VariantInit(&focus);
    ASSERT_EQ(object->get_accFocus(&focus), S_OK);
    ASSERT_EQ(focus.vt, VT_I4);
    EXPECT_EQ(focus.lVal, 2);  // the second row
    EXPECT_EQ(Text(&IAccessible::get_accName, object, focus.lVal), L"Beam");
    EXPECT_EQ(Number(&IAccessible::get_accRole, object, focus.lVal), ROLE_SYSTEM_LISTITEM);
    const long state = Number(&IAccessible::get_accState, object, focus.lVal);
    EXPECT_TRUE(state & STATE_SYSTEM_FOCUSED);
    EXPECT_TRUE(state & STATE_SYSTEM_SELECTED);
    EXPECT_EQ(Text(&IAccessible::get_accDescription, object, focus.lVal), L"下载成功");

    // Another row: neither focused nor downloaded; the list without the focus has no focused row.
    const long other = Number(&IAccessible::get_accState, object, 1);
    EXPECT_FALSE(other & (STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED));
    EXPECT_EQ(Text(&IAccessible::get_accDescription, object, 1), L"");
    SetFocus(window->FilterEdit(TResourceKind::Cursor));
    EXPECT_FALSE(Number(&IAccessible::get_accState, object, 2) & STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(object->get_accFocus(&focus), S_FALSE);

    // An installed row says so after its download state.
    list.States().Installed(test::RowNamed(list, "Beam"));
    EXPECT_EQ(Text(&IAccessible::get_accDescription, object, 2), L"下载成功, Installed");
    // A row number past the rows is refused.
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(Child(4), &name), E_INVALIDARG);
}

TEST_F(AccessibilityTest, ButtonsLinksCaptionsAndTheEditButtonHaveNamesAndRoles) {
    struct {
        HWND window;
        std::wstring name;
        long role;
    } cases[] = {
        {window->ExpandButton().Handle(), L"Expand All", ROLE_SYSTEM_PUSHBUTTON},
        {window->CollapseButton().Handle(), L"Collapse All", ROLE_SYSTEM_PUSHBUTTON},
        {window->ListCaption(TResourceKind::Theme).Handle(), L"Visual Styles [1]", ROLE_SYSTEM_STATICTEXT},
        {window->IconSubButton(1).Handle(), L"Folder Icon", ROLE_SYSTEM_RADIOBUTTON},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
        ComPtr<IAccessible> object = ObjectOf(c.window);
        ASSERT_TRUE(object);
        EXPECT_EQ(Text(&IAccessible::get_accName, object), c.name);
        EXPECT_EQ(Number(&IAccessible::get_accRole, object), c.role);
    }
    for (size_t i = 0; i < window->LinkCount(); ++i) {
        Label& link = window->LinkLabel(i);
        ComPtr<IAccessible> object = ObjectOf(link.Handle());
        EXPECT_EQ(Text(&IAccessible::get_accName, object), link.Text());
        EXPECT_EQ(Number(&IAccessible::get_accRole, object), ROLE_SYSTEM_LINK);
        EXPECT_TRUE(Number(&IAccessible::get_accState, object) & STATE_SYSTEM_LINKED);
    }
    // The folder box's button, named by what the box is for, and pressed through its default action.
    window->OpenPageFromKeyboard(kPageIcons);
    window->IconSubButton(1).Click();
    ButtonEdit& box = window->FolderIcons().DirEdit();
    ComPtr<IAccessible> button = ObjectOf(box.RightButton().Handle());
    EXPECT_EQ(Number(&IAccessible::get_accRole, button), ROLE_SYSTEM_PUSHBUTTON);
    int clicks = 0;
    box.onRightButtonClick = [&] { ++clicks; };
    EXPECT_EQ(button->accDoDefaultAction(Child(CHILDID_SELF)), S_OK);
    EXPECT_TRUE(test::PumpUntil([&] { return clicks == 1; }, 3000));
}

TEST_F(AccessibilityTest, AnObjectOutlivingItsWindowFailsInsteadOfReachingIt) {
    ComPtr<IAccessible> object = ObjectOf(window->List(TResourceKind::Cursor).Handle());
    ASSERT_TRUE(object);
    window.reset();
    long count = 0;
    EXPECT_TRUE(FAILED(object->get_accChildCount(&count)));
    BSTR name = nullptr;
    EXPECT_TRUE(FAILED(object->get_accName(Child(CHILDID_SELF), &name)));
}

}  // namespace
}  // namespace lumaforge
