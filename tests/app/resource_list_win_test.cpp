#include "app/resource_list_win.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "app/list_images_win.h"
#include "support/real_input_win.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

// A list in a bare parent window, with its events counted.
class ResourceListTest : public ::testing::Test, public ResourceListEvents {
protected:
    void SetUp() override {
        test::EnsureCommonControls();
        host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        images = CreateListImages();
    }

    void TearDown() override {
        list.reset();
        DestroyWindow(host);
    }

    ResourceList& MakeList(bool tree) {
        ResourceList::Options options;
        options.kind = tree ? 0 : 2;
        options.tree = tree;
        ResourceList::Resources resources{images.Get(), font, font};
        list = std::make_unique<ResourceList>();
        list->Create(host, {0, 0, 229, 22 * 5}, options, resources, this);
        return *list;
    }

    ResourceList& MakeFlatList(std::initializer_list<const char*> names) {
        ResourceList& l = MakeList(false);
        l.BeginUpdate();
        for (const char* name : names)
            l.Tree().Add(kNoNode, name);
        l.EndUpdate();
        return l;
    }

    void Click(ResourceList& l, int row, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP) {
        LPARAM at = MAKELPARAM(40, row * ResourceList::kRowHeight + 5);
        SendMessageW(l.Handle(), down, 0, at);
        SendMessageW(l.Handle(), up, 0, at);
    }

    void OnListDblClick(ResourceList&) override { ++dblClicks; }
    void OnListFocusChanged(ResourceList&, NodeId node) override { focusChanges.push_back(node); }
    void OnListContextPopup(ResourceList&, POINT) override { ++popups; }
    void OnListResize(ResourceList&) override { ++resizes; }

    HWND host = nullptr;
    UniqueImageList images;
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    std::unique_ptr<ResourceList> list;
    int dblClicks = 0, popups = 0, resizes = 0;
    std::vector<NodeId> focusChanges;
};

TEST_F(ResourceListTest, MouseUpTogglesAFocusedCategory) {
    ResourceList& l = MakeList(true);
    NodeId category = l.Tree().Add(kNoNode, "Cat[2]");
    l.Tree().Add(category, "A");
    l.Tree().Add(category, "B");
    l.BeginUpdate();
    l.EndUpdate();
    Click(l, 0);
    EXPECT_TRUE(l.Tree().Expanded(category));
    EXPECT_EQ(l.Tree().DisplayRows().size(), 3u);
    Click(l, 0, WM_RBUTTONDOWN, WM_RBUTTONUP);  // any button
    EXPECT_FALSE(l.Tree().Expanded(category));
    ASSERT_FALSE(focusChanges.empty());
    EXPECT_EQ(focusChanges.back(), category);
}

TEST_F(ResourceListTest, KeyboardMovesTheFocusAndEnterActsLikeADoubleClick) {
    ResourceList& l = MakeList(false);
    l.BeginUpdate();
    for (int i = 0; i < 20; ++i)
        l.Tree().Add(kNoNode, "Row " + std::to_string(i));
    l.EndUpdate();
    SendMessageW(l.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(l.FocusedNode(), 0);
    SendMessageW(l.Handle(), WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(l.FocusedNode(), 19);
    EXPECT_EQ(l.TopIndex(), 15);  // scrolled so the focused row is in view
    SendMessageW(l.Handle(), WM_KEYDOWN, VK_PRIOR, 0);
    EXPECT_EQ(l.FocusedNode(), 14);
    SendMessageW(l.Handle(), WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(l.FocusedNode(), 0);
    EXPECT_EQ(l.TopIndex(), 0);
    SendMessageW(l.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(l.Handle(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 30));
    EXPECT_EQ(dblClicks, 2);
    EXPECT_EQ(l.FocusedNode(), 1);
    EXPECT_EQ(focusChanges.size(), 5u);
}

TEST_F(ResourceListTest, RightClickAndTheMenuKeysSelectAndAskForTheMenuOnceEach) {
    ResourceList& l = MakeFlatList({"A", "B"});
    SetForegroundWindow(host);
    SetFocus(l.Handle());
    ASSERT_TRUE(test::ClickAt(l.Handle(), {40, ResourceList::kRowHeight + 5}, test::MouseButton::Right));
    ASSERT_TRUE(test::PumpUntil([&] { return popups == 1; }, 3000));
    EXPECT_EQ(l.FocusedNode(), 1);
    ASSERT_TRUE(test::PressKeys({VK_APPS}));
    ASSERT_TRUE(test::PumpUntil([&] { return popups == 2; }, 3000));
    ASSERT_TRUE(test::PressChord(VK_SHIFT, VK_F10));
    ASSERT_TRUE(test::PumpUntil([&] { return popups == 3; }, 3000));
    test::PumpFor(200);
    EXPECT_EQ(popups, 3);
}

TEST_F(ResourceListTest, HotRowFollowsThePointer) {
    ResourceList& l = MakeFlatList({"A", "B"});
    SendMessageW(l.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 30));
    EXPECT_EQ(l.HotNode(), 1);
    SendMessageW(l.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(l.HotNode(), kNoNode);
}

TEST_F(ResourceListTest, SelectedRowIsPaintedInTheSelectionColours) {
    ResourceList& l = MakeFlatList({"A", "B"});
    l.SetColumnWidths(139, 90);
    l.SetFocusedNode(1);
    HDC screen = GetDC(nullptr);
    UniqueMemoryDc memory(CreateCompatibleDC(screen));
    UniqueGdiObj<HBITMAP> bitmap(CreateCompatibleBitmap(screen, 229, 110));
    ReleaseDC(nullptr, screen);
    ScopedSelectObject select(memory.Get(), bitmap.Get());
    HDC dc = memory.Get();
    l.Paint(dc, {0, 0, 229, 110});
    EXPECT_EQ(GetPixel(dc, 200, 5), RGB(255, 255, 255));   // row 0: plain
    EXPECT_EQ(GetPixel(dc, 200, 30), RGB(255, 241, 236));  // row 1: selection fill
    EXPECT_EQ(GetPixel(dc, 200, 43), RGB(255, 217, 206));  // its bottom edge
}

}  // namespace
}  // namespace lumaforge
