#pragma once
#include <cstdint>

namespace lumaforge {

// The visual state of an image-strip button; also the frame index into its strips.
enum TImageState : uint8_t { istNormal, istHot, istDown, istChecked, istDisabled };
// The side of the caption on which the glyph stands.
enum TGlyphLayout : uint8_t { glLeft, glRight, glTop, glBottom };
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

// The frame of a strip of `frames` frames to show in `state`: a strip with fewer frames shows its
// last one for the higher states; a strip that claims no frames counts as one.
int StripFrame(int state, int frames);

// Where the glyph and the caption of an image-strip button go. Text sizes are measured in
// fractions of a pixel, so the layout is too; the glyph lands on whole pixels.
struct GlyphCaptionInput {
    int width = 0, height = 0;            // the control
    int glyphWidth = 0, glyphHeight = 0;  // one glyph frame
    float textWidth = 0, textHeight = 0;  // the measured caption
    TGlyphLayout layout = glLeft;
    TAlignment alignment = taCenter;
    int glyphSpace = 2;
    int borderSpace = 0;
    int contentOffsetY = 0;
};
struct GlyphCaptionPlace {
    int glyphX = 0, glyphY = 0;
    float textX = 0, textY = 0;
};
GlyphCaptionPlace PlaceGlyphAndCaption(const GlyphCaptionInput& in);

// The layout rectangle of a caption without a glyph, the text centred on its line within it.
struct CaptionBox {
    int x = 0, y = 0, width = 0, height = 0;
    TAlignment alignment = taCenter;  // the string alignment inside the box
    bool operator==(const CaptionBox&) const = default;
};
CaptionBox CaptionOnlyBox(int width, int height, TAlignment alignment, int borderSpace, int contentOffsetY);

// Rounds to the nearest whole pixel, halves to the even one.
int RoundHalfEven(double value);

// The mouse and check states of an image-strip button. Each event answers whether the state changed
// (the control then repaints). A checked button keeps its frame until it is unchecked, though a
// press and release on it is still a click; while the left button is held, leaving and coming back
// change nothing: the release decides.
class ImageButtonStates {
public:
    TImageState State() const { return state_; }
    bool Pressed() const { return pressed_; }
    // The frame to paint: the disabled frame whatever the state while disabled.
    TImageState PaintState(bool enabled) const { return enabled ? state_ : istDisabled; }

    bool MouseEnter();
    bool MouseLeave();
    bool LeftDown();
    // `over`: the release happened over this control.
    bool LeftUp(bool over);
    bool EnabledChanged();
    bool SetChecked(bool checked);
    void ClearPressed() { pressed_ = false; }

private:
    bool Set(TImageState state);
    TImageState state_ = istNormal;
    bool pressed_ = false;
};

// The picture-per-state buttons of the preview window: where picture and caption go.
enum TImgControlLayout : uint8_t { iclImgLeft, iclImgRight, iclImgTop, iclImgBottom, iclImgCenter };
struct ImgButtonInput {
    int width = 0, height = 0;
    int imageWidth = 0, imageHeight = 0;
    int textWidth = 0, textHeight = 0;
    bool hasCaption = false;
    TImgControlLayout layout = iclImgTop;
    int spacing = 2;
    int state = 0;  // 1 hover, 2 down: the content moves by the offsets below
    int enterOffset = 1;
    int downOffset = 1;
};
struct ImgButtonPlace {
    int imageX = 0, imageY = 0, textX = 0, textY = 0;
    bool operator==(const ImgButtonPlace&) const = default;
};
ImgButtonPlace PlaceImgButton(const ImgButtonInput& in);

}  // namespace lumaforge
