#include "controls/stretch_geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumaforge {
namespace {

std::vector<AxisPiece> Pieces(const AxisPlan& plan) {
    return {plan.begin(), plan.end()};
}

// Every target pixel is covered exactly once, in order, so no gap and no overdraw shows.
void ExpectCovers(const AxisPlan& plan, int c) {
    int next = 0;
    for (const AxisPiece& piece : plan) {
        EXPECT_EQ(piece.dstStart, next);
        next += piece.dstLength;
    }
    EXPECT_EQ(next, c);
}

TEST(StretchGeometry, FramePiecesForEachModeOnLongerAndShorterTargets) {
    using P = std::vector<AxisPiece>;
    struct {
        AxisStretch mode;
        int a, c;
        P expected;
    } cases[] = {
        // The navigation button: a 20-pixel frame on 118 columns keeps 9 columns at each end.
        {AxisStretch::Middle, 20, 118, P{{0, 9, 0, 9}, {9, 2, 9, 100}, {11, 9, 109, 9}}},
        // ... and its 34 rows on 38: 16 rows, 2 rows stretched over 6, 16 rows.
        {AxisStretch::Middle, 34, 38, P{{0, 16, 0, 16}, {16, 2, 16, 6}, {18, 16, 22, 16}}},
        {AxisStretch::Middle, 9, 92, P{{0, 4, 0, 4}, {4, 1, 4, 84}, {5, 4, 88, 4}}},
        // A target not longer than the frame loses the frame's middle.
        {AxisStretch::Middle, 20, 7, P{{0, 3, 0, 3}, {16, 4, 3, 4}}},
        {AxisStretch::Start, 20, 7, P{{0, 1, 0, 1}, {14, 6, 1, 6}}},
        {AxisStretch::End, 20, 7, P{{0, 6, 0, 6}, {19, 1, 6, 1}}},
        // The filter bar: the one column over 227, the top row over 19 rows above the bottom line.
        {AxisStretch::End, 1, 227, P{{0, 1, 0, 227}}},
        {AxisStretch::Start, 2, 20, P{{0, 1, 0, 19}, {1, 1, 19, 1}}},
        {AxisStretch::End, 5, 12, P{{0, 4, 0, 4}, {4, 1, 4, 8}}},
        {AxisStretch::All, 20, 118, P{{0, 20, 0, 118}}},
        {AxisStretch::None, 25, 25, P{{0, 25, 0, 25}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.mode) << " " << c.a << " -> " << c.c);
        const AxisPlan plan = FramePieces(c.mode, c.a, c.c);
        EXPECT_EQ(Pieces(plan), c.expected);
        if (c.mode != AxisStretch::None)
            ExpectCovers(plan, c.c);
    }
}

TEST(StretchGeometry, NothingIsDrawnForACustomFrameOrAnEmptyPictureOrTarget) {
    EXPECT_EQ(FramePieces(AxisStretch::Custom, 20, 118).count, 0);
    EXPECT_EQ(FramePieces(AxisStretch::Middle, 0, 118).count, 0);
    EXPECT_EQ(FramePieces(AxisStretch::Middle, 20, 0).count, 0);
    // A one-pixel target keeps only the start pixel, whatever the mode.
    EXPECT_EQ(Pieces(FramePieces(AxisStretch::Start, 20, 1)), (std::vector<AxisPiece>{{0, 1, 0, 1}}));
}

TEST(StretchGeometry, PictureCustomSplitStretchesTheOnePixelAtTheSplit) {
    // A split at 5 of a 16-pixel picture on 100: 0-4 kept, 5 over 85 pixels, 6-15 at 90-99.
    EXPECT_EQ(Pieces(PicturePieces(AxisStretch::Custom, 16, 100, 5)),
              (std::vector<AxisPiece>{{0, 5, 0, 5}, {5, 1, 5, 85}, {6, 10, 90, 10}}));
    for (int split : {0, 1})
        EXPECT_EQ(Pieces(PicturePieces(AxisStretch::Custom, 16, 100, split)),
                  Pieces(FramePieces(AxisStretch::Start, 16, 100)));
    for (int split : {16, 40})
        EXPECT_EQ(Pieces(PicturePieces(AxisStretch::Custom, 16, 100, split)),
                  Pieces(FramePieces(AxisStretch::End, 16, 100)));
    // No longer target: the split is not used.
    EXPECT_EQ(Pieces(PicturePieces(AxisStretch::Custom, 16, 10, 5)), Pieces(FramePieces(AxisStretch::Middle, 16, 10)));
    EXPECT_EQ(Pieces(PicturePieces(AxisStretch::Middle, 16, 100, 5)),
              Pieces(FramePieces(AxisStretch::Middle, 16, 100)));
}

TEST(StretchGeometry, SourcePixelsFollowThePiecesNearestNeighbour) {
    // The middle of a 4-pixel frame on 7: 0 kept, 1-2 over 3..., the end kept.
    EXPECT_EQ(SourcePixels(FramePieces(AxisStretch::Middle, 4, 7), 7), (std::vector<int>{0, 1, 1, 1, 2, 2, 3}));
    EXPECT_EQ(SourcePixels(FramePieces(AxisStretch::All, 2, 4), 4), (std::vector<int>{0, 0, 1, 1}));
    // Nothing reaches past an unscaled picture shorter than the target.
    EXPECT_EQ(SourcePixels(FramePieces(AxisStretch::None, 2, 4), 4), (std::vector<int>{0, 1, -1, -1}));
    EXPECT_EQ(SourcePixels(FramePieces(AxisStretch::Custom, 2, 3), 3), (std::vector<int>{-1, -1, -1}));
}

}  // namespace
}  // namespace lumaforge
