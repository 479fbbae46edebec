#include "controls/image_button_layout.h"

#include <gtest/gtest.h>

namespace lumaforge {
namespace {

TEST(ImageButtonLayout, StripFrameFallsBackToTheLastFrame) {
    EXPECT_EQ(StripFrame(istDisabled, 5), 4);
    EXPECT_EQ(StripFrame(istChecked, 1), 0);
    EXPECT_EQ(StripFrame(istDown, 2), 1);
    EXPECT_EQ(StripFrame(istHot, 0), 0);
}

TEST(ImageButtonLayout, GlyphAndCaptionByLayoutAndAlignment) {
    // A navigation button: 118 x 38, a 20 x 20 glyph, a 50.5 x 13 caption, left-aligned at 6.
    GlyphCaptionInput nav{118, 38, 20, 20, 50.5f, 13.0f, glLeft, taLeftJustify, 2, 6, 0};
    GlyphCaptionPlace p = PlaceGlyphAndCaption(nav);
    EXPECT_EQ(p.glyphX, 6);
    EXPECT_EQ(p.glyphY, 9);
    EXPECT_FLOAT_EQ(p.textX, 28.0f);
    EXPECT_FLOAT_EQ(p.textY, 12.5f);

    GlyphCaptionInput right = nav;
    right.alignment = taRightJustify;
    p = PlaceGlyphAndCaption(right);
    EXPECT_EQ(p.glyphX, 42);  // 41.5, to the even pixel

    GlyphCaptionInput centred = nav;
    centred.alignment = taCenter;
    centred.layout = glRight;
    p = PlaceGlyphAndCaption(centred);
    EXPECT_FLOAT_EQ(p.textX, 22.75f);  // (118 - 20 - 50.5 - 2) / 2
    EXPECT_EQ(p.glyphX, 75);           // after the caption and the space: 75.25

    // Above the caption: the alignment is not used, both stay centred across.
    GlyphCaptionInput top{48, 64, 32, 32, 20.0f, 13.0f, glTop, taLeftJustify, 2, 6, 4};
    p = PlaceGlyphAndCaption(top);
    EXPECT_EQ(p.glyphX, 8);           // (48 - 32 - 0) / 2
    EXPECT_EQ(p.glyphY, 10);          // (64 - 32 - 13 - 2 + 4) / 2 = 10.5 -> 10
    EXPECT_FLOAT_EQ(p.textY, 44.5f);  // 10.5 + 32 + 2
    EXPECT_FLOAT_EQ(p.textX, 14.0f);
}

TEST(ImageButtonLayout, RoundingHalvesGoToTheEvenPixel) {
    EXPECT_EQ(RoundHalfEven(8.5f), 8);
    EXPECT_EQ(RoundHalfEven(9.5f), 10);
    EXPECT_EQ(RoundHalfEven(9.4f), 9);
}

TEST(ImageButtonLayout, CaptionAloneSitsInTheBoxOfItsAlignment) {
    EXPECT_EQ(CaptionOnlyBox(92, 24, taCenter, 0, 0), (CaptionBox{0, 0, 92, 24, taCenter}));
    EXPECT_EQ(CaptionOnlyBox(118, 38, taLeftJustify, 6, 2), (CaptionBox{6, 2, 112, 38, taLeftJustify}));
    EXPECT_EQ(CaptionOnlyBox(118, 38, taRightJustify, 6, 0), (CaptionBox{0, 0, 112, 38, taRightJustify}));
}

TEST(ImageButtonStates, MouseAndCheckTransitions) {
    ImageButtonStates s;
    EXPECT_TRUE(s.MouseEnter());
    EXPECT_EQ(s.State(), istHot);
    EXPECT_TRUE(s.LeftDown());
    EXPECT_EQ(s.State(), istDown);
    // Held: leaving and coming back keep the down frame; the release off the control is normal.
    EXPECT_FALSE(s.MouseLeave());
    EXPECT_FALSE(s.MouseEnter());
    EXPECT_EQ(s.State(), istDown);
    EXPECT_TRUE(s.LeftUp(false));
    EXPECT_EQ(s.State(), istNormal);
    EXPECT_FALSE(s.Pressed());

    s.LeftDown();
    s.LeftUp(true);
    EXPECT_EQ(s.State(), istHot);

    // A checked button keeps its frame until it is unchecked; a press on it still counts.
    EXPECT_TRUE(s.SetChecked(true));
    EXPECT_FALSE(s.MouseLeave());
    EXPECT_FALSE(s.LeftDown());
    EXPECT_TRUE(s.Pressed());
    EXPECT_FALSE(s.LeftUp(true));
    EXPECT_EQ(s.State(), istChecked);
    EXPECT_EQ(s.PaintState(false), istDisabled);
    EXPECT_TRUE(s.SetChecked(false));
    EXPECT_EQ(s.State(), istNormal);

    // Enabling or disabling always resets, checked or not.
    s.SetChecked(true);
    s.EnabledChanged();
    EXPECT_EQ(s.State(), istNormal);
}

TEST(ImgButtonLayout, PictureAndCaptionPlaces) {
    // The preview buttons: 48 x 48 pictures on 48 x 48, no caption, no offsets: always at (0, 0).
    for (int state : {0, 1, 2}) {
        const ImgButtonPlace p = PlaceImgButton({48, 48, 48, 48, 0, 0, false, iclImgTop, 2, state, 0, 0});
        EXPECT_EQ(p.imageX, 0);
        EXPECT_EQ(p.imageY, 0);
    }
    // A 32 x 32 picture above a 13-pixel caption on 48 x 64: picture at y 8, caption at y 42.
    ImgButtonPlace top = PlaceImgButton({48, 64, 32, 32, 20, 13, true, iclImgTop, 2, 0, 1, 1});
    EXPECT_EQ(top, (ImgButtonPlace{8, 8, 14, 42}));
    // The default offsets: up-left by one while hovered, down-right by one while pressed.
    EXPECT_EQ(PlaceImgButton({48, 64, 32, 32, 20, 13, true, iclImgTop, 2, 1, 1, 1}), (ImgButtonPlace{7, 7, 13, 41}));
    EXPECT_EQ(PlaceImgButton({48, 64, 32, 32, 20, 13, true, iclImgTop, 2, 2, 1, 1}), (ImgButtonPlace{9, 9, 15, 43}));
    ImgButtonPlace left = PlaceImgButton({100, 40, 16, 16, 40, 13, true, iclImgLeft, 4, 0, 1, 1});
    EXPECT_EQ(left.imageX, 20);  // (100 - 16 - 40 - 4) / 2
    EXPECT_EQ(left.textX, 40);
    ImgButtonPlace bottom = PlaceImgButton({48, 64, 32, 32, 20, 13, true, iclImgBottom, 2, 0, 1, 1});
    EXPECT_EQ(bottom.textY, 8);
    EXPECT_EQ(bottom.imageY, 23);
}

}  // namespace
}  // namespace lumaforge
