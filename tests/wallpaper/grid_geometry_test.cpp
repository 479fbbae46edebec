#include "wallpaper/grid_geometry.h"

#include <gtest/gtest.h>

namespace lumaforge {
namespace {

TEST(GridGeometry, TheGridOfThePageGivesColumnsOf123RowsOf80AndPicturesOf117By74) {
    const TGridLayout layout = GridLayoutFor(624, 245);
    EXPECT_EQ(layout.columnWidth, 123);
    EXPECT_EQ(layout.rowHeight, 80);
    EXPECT_EQ(layout.picture, (TGridSize{117, 74}));
    // Three pixels of margin around the picture in the second cell of the second row.
    const TCellPaint paint = CellPaint(CellRect(layout, {1, 1}), layout.picture);
    EXPECT_EQ(paint.pictureX, 123 + 3);
    EXPECT_EQ(paint.pictureY, 80 + 3);
    EXPECT_EQ(paint.frame, (TGridRect{124, 81, 124 + 121, 81 + 78}));
    EXPECT_EQ(paint.overlay, (TGridRect{126 + 117 - 40, 83 + 74 - 19, 126 + 117, 83 + 74}));
    EXPECT_EQ(paint.marker, (TGridRect{126, 83, 150, 107}));
}

TEST(GridGeometry, DrawCenteredCropsLargerPicturesAndCentresSmallerOnes) {
    const TGridSize cell{117, 74};
    struct {
        TGridSize picture;
        TGridRect source;
        TGridRect target;
    } cases[] = {
        {{200, 150}, {41, 38, 158, 112}, {0, 0, 117, 74}}, {{100, 60}, {0, 0, 100, 60}, {8, 7, 108, 67}},
        {{117, 74}, {0, 0, 117, 74}, {0, 0, 117, 74}},     {{300, 50}, {91, 0, 208, 50}, {0, 12, 117, 62}},
        {{0, 0}, {0, 0, 0, 0}, {58, 37, 58, 37}},
    };
    for (const auto& c : cases) {
        const TCenteredCopy copy = DrawCentered(c.picture, cell);
        EXPECT_EQ(copy.source, c.source) << c.picture.width << "x" << c.picture.height;
        EXPECT_EQ(copy.target, c.target) << c.picture.width << "x" << c.picture.height;
        EXPECT_EQ(copy.source.Width(), copy.target.Width());
        EXPECT_EQ(copy.source.Height(), copy.target.Height());
    }
}

TEST(GridGeometry, SevenResultsMakeTwoRowsAndTheHotCellFollowsThePointer) {
    const TGridLayout layout = GridLayoutFor(624, 245);
    const int rows = GridRowCount(7);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(GridRowCount(0), 0);
    EXPECT_EQ(GridRowCount(5), 1);
    EXPECT_EQ(GridRowCount(15), 3);
    struct {
        int x, y;
        std::optional<TGridCell> cell;
    } cases[] = {
        {0, 0, TGridCell{0, 0}}, {122, 79, TGridCell{0, 0}}, {123, 80, TGridCell{1, 1}}, {614, 159, TGridCell{1, 4}},
        {10, 160, std::nullopt}, {615, 10, std::nullopt},    {-1, 10, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CellAt(layout, rows, c.x, c.y), c.cell) << c.x << "," << c.y;
}

TEST(GridGeometry, TheTwoClickZonesSitInTheCellsBottomRightCorner) {
    const TGridRect cell{123, 80, 246, 160};
    struct {
        int fromRight, fromBottom;
        TClickZone zone;
    } cases[] = {
        {23, 5, TClickZone::Preview}, {44, 1, TClickZone::Preview}, {45, 1, TClickZone::None},
        {22, 5, TClickZone::Apply},   {21, 5, TClickZone::Apply},   {1, 18, TClickZone::Apply},
        {1, 19, TClickZone::None},    {30, 19, TClickZone::None},   {0, 1, TClickZone::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ZoneAt(cell, cell.right - c.fromRight, cell.bottom - c.fromBottom), c.zone)
            << c.fromRight << "," << c.fromBottom;
    // At 150 % the zones are 33 x 27 pixels, under the strip drawn 60 x 29 (28.5 rounded up).
    const TGridRect large{0, 0, 300, 200};
    EXPECT_EQ(ZoneAt(large, 300 - 66, 200 - 1, 144), TClickZone::Preview);
    EXPECT_EQ(ZoneAt(large, 300 - 67, 200 - 1, 144), TClickZone::None);
    EXPECT_EQ(ZoneAt(large, 300 - 1, 200 - 27, 144), TClickZone::Apply);
    EXPECT_EQ(ZoneAt(large, 300 - 1, 200 - 28, 144), TClickZone::None);
    const TCellPaint paint = CellPaint(large, {200, 100}, 144);
    EXPECT_EQ(paint.overlay.Width(), 60);
    EXPECT_EQ(paint.overlay.Height(), 29);
    EXPECT_EQ(paint.marker.left, 5);  // 3 units inset
    EXPECT_EQ(paint.marker.Width(), 36);
    EXPECT_EQ(paint.frame.left, 50 - 3);
}

}  // namespace
}  // namespace lumaforge
