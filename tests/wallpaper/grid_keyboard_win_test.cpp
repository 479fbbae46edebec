// The thumbnail grid from the keyboard, with real key input.
#include <gtest/gtest.h>

#include <vector>

#include "support/real_input_win.h"
#include "support/win_test_support.h"
#include "wallpaper/thumbnail_grid_win.h"

namespace lumaforge {
namespace {

TEST(GridKeyboard, ArrowsMoveOverTheResultsAndEnterAsksForThePreview) {
    HWND host = CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 640, 260, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    {
        // Nothing listens on port 1: the thumbnails fail at once and the cells stay blank.
        TThumbnailGrid grid(WinHttpClients());
        ASSERT_TRUE(grid.Create(host, {0, 0, 624, 245}));
        std::vector<TSearchItem> items(7);
        for (size_t i = 0; i < items.size(); ++i) {
            items[i].ThumbUrl = "http://127.0.0.1:1/thumb" + std::to_string(i) + ".jpg";
            items[i].PictureUrl = "http://127.0.0.1:1/picture" + std::to_string(i) + ".jpg";
        }
        // A Tab stop only while there are results to move over.
        EXPECT_FALSE(GetWindowLongPtrW(grid.Handle(), GWL_STYLE) & WS_TABSTOP);
        grid.FillTree(items);
        EXPECT_TRUE(GetWindowLongPtrW(grid.Handle(), GWL_STYLE) & WS_TABSTOP);
        std::vector<TThumbnailGrid::CellClick> clicks;
        grid.onCellClick = [&](const TThumbnailGrid::CellClick& click) { clicks.push_back(click); };
        SetForegroundWindow(host);
        SetFocus(grid.Handle());
        EXPECT_EQ(grid.FocusedCell(), (TGridCell{0, 0}));

        const struct {
            WORD key;
            TGridCell cell;
        } moves[] = {
            {VK_RIGHT, {0, 1}}, {VK_DOWN, {1, 1}},  // the second row holds results 5 and 6
            {VK_RIGHT, {1, 1}},                     // no result to its right
            {VK_UP, {0, 1}},    {VK_END, {1, 1}},   {VK_HOME, {0, 0}},
            {VK_LEFT, {0, 0}},  {VK_UP, {0, 0}},  // the edges hold
            {VK_RIGHT, {0, 1}}, {VK_RIGHT, {0, 2}},
        };
        for (const auto& m : moves) {
            SCOPED_TRACE(testing::Message() << "key " << m.key);
            ASSERT_TRUE(test::PressKeys({m.key}));
            test::LoopUntil(
                host, [&] { return grid.FocusedCell() == m.cell; }, 2000);
            EXPECT_EQ(grid.FocusedCell(), m.cell);
        }
        ASSERT_TRUE(test::PressKeys({VK_RETURN}));
        ASSERT_TRUE(test::LoopUntil(
            host, [&] { return !clicks.empty(); }, 2000));
        EXPECT_EQ(clicks[0].cell, (TGridCell{0, 2}));
        EXPECT_EQ(clicks[0].zone, TClickZone::Preview);
        EXPECT_EQ(clicks[0].item.PictureUrl, "http://127.0.0.1:1/picture2.jpg");
        grid.FillTree({});
        EXPECT_FALSE(GetWindowLongPtrW(grid.Handle(), GWL_STYLE) & WS_TABSTOP);
        grid.StopWorker();
    }
    DestroyWindow(host);
}

}  // namespace
}  // namespace lumaforge
