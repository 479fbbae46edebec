#include "controls/dpi_scale.h"

#include <gtest/gtest.h>

namespace lumaforge {
namespace {

TEST(DpiScale, LengthsRoundToTheNearestPixelAsMulDivDoes) {
    struct {
        int length, dpi, expected;
    } cases[] = {
        {790, 96, 790}, {790, 120, 988}, {790, 144, 1185}, {790, 192, 1580},
        {1, 120, 1},    {2, 120, 3},     {1, 144, 2},      {3, 144, 5},  // 2.5 and 4.5 round up
        {-3, 144, -5},  {0, 192, 0},     {11, 144, 17},    {11, 120, 14},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaleLength(c.length, c.dpi), c.expected) << c.length << " at " << c.dpi;
    EXPECT_EQ(UnscaleLength(1185, 144), 790);
    EXPECT_EQ(UnscaleLength(25, 120), 20);
}

TEST(DpiScale, ChildrenStayInsideAParentWhoseClientDidNotScaleExactly) {
    // A bordered parent: 200 x 100 units inside at 96 DPI, 297 x 148 pixels inside at 144 DPI
    // instead of 300 x 150.
    const LayoutSize parent96{200, 100}, parent{297, 148};
    struct {
        LayoutBox child, expected;
    } cases[] = {
        {{0, 0, 200, 100}, {0, 0, 297, 148}},         // filling the parent
        {{10, 10, 50, 30}, {15, 15, 75, 45}},         // well inside: scaled
        {{150, 80, 199, 99}, {225, 120, 297, 148}},   // near the edge: clamped, not outside
        {{190, 95, 210, 105}, {285, 143, 312, 156}},  // hanging over on purpose: by its scaled overhang
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaleChildBox(c.child, parent96, parent, 144), c.expected);
    EXPECT_EQ(ScaleBox({1, 2, 3, 4}, 192), (LayoutBox{2, 4, 6, 8}));
}

TEST(DpiScale, SiblingsThatTouchedNeverOverlapOnceScaled) {
    for (int dpi = 96; dpi <= 288; ++dpi) {
        for (int edge = 0; edge < 400; ++edge) {
            const LayoutBox left = ScaleChildBox({0, 0, edge, 10}, {400, 10}, {ScaleLength(400, dpi) - 2, 30}, dpi);
            const LayoutBox right = ScaleChildBox({edge, 0, 400, 10}, {400, 10}, {ScaleLength(400, dpi) - 2, 30}, dpi);
            ASSERT_LE(left.right, right.left) << edge << " at " << dpi;
            ASSERT_LE(left.left, left.right);
        }
    }
}

TEST(DpiScale, TheNearestDrawnScaleIsTakenAndTheLargerOnATie) {
    struct {
        int dpi, expected;
    } cases[] = {{72, 100},  {96, 100},  {108, 125}, {120, 125}, {132, 150},
                 {144, 150}, {168, 200}, {192, 200}, {288, 200}, {100, 100}};
    for (const auto& c : cases)
        EXPECT_EQ(NearestSkinScale(c.dpi), c.expected) << c.dpi;
    EXPECT_EQ(ScaledSkinName(L"PAGE_BACK_BMP", 100), L"PAGE_BACK_BMP");
    EXPECT_EQ(ScaledSkinName(L"PAGE_BACK_BMP", 150), L"PAGE_BACK_150_BMP");
    EXPECT_EQ(ScaledSkinName(L"VIEW_SET_NORMAL_PNG", 200), L"VIEW_SET_NORMAL_200_PNG");
}

}  // namespace
}  // namespace lumaforge
