#include "controls/image_button_layout.h"

#include <algorithm>
#include <cmath>

namespace lumaforge {

int StripFrame(int state, int frames) {
    return std::clamp(state, 0, std::max(frames, 1) - 1);
}

int RoundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));  // the default rounding mode: to nearest, ties to even
}

GlyphCaptionPlace PlaceGlyphAndCaption(const GlyphCaptionInput& in) {
    const bool beside = in.layout == glLeft || in.layout == glRight;
    const int hs = beside ? in.glyphSpace : 0;
    const int vs = beside ? 0 : in.glyphSpace;
    const int W = in.width, H = in.height, gw = in.glyphWidth, gh = in.glyphHeight;
    const float tw = in.textWidth, th = in.textHeight;

    float textX = (W - tw - hs) / 2;
    float textY = (H - th - vs + in.contentOffsetY) / 2;
    float glyphX = (W - gw - hs) / 2.0f;
    float glyphY = (H - gh - vs + in.contentOffsetY) / 2.0f;
    // The first of the pair by the alignment: at the border space from its edge, or centred.
    auto lead = [&](float secondWidth) -> float {
        switch (in.alignment) {
            case taLeftJustify:
                return static_cast<float>(in.borderSpace);
            case taRightJustify:
                return (W - gw) - secondWidth - in.borderSpace;
            case taCenter:
                break;
        }
        return ((W - gw) - secondWidth - hs) / 2;
    };
    switch (in.layout) {
        case glLeft:
            glyphX = lead(tw);
            textX = glyphX + gw + hs;
            break;
        case glRight:
            textX = lead(tw);
            glyphX = textX + tw + hs;
            break;
        case glTop:
            glyphY = ((H - gh) - th - vs + in.contentOffsetY) / 2;
            textY = glyphY + gh + vs;
            break;
        case glBottom:
            textY = ((H - gh) - th - vs + in.contentOffsetY) / 2;
            glyphY = textY + th + vs;
            break;
    }
    return {RoundHalfEven(glyphX), RoundHalfEven(glyphY), textX, textY};
}

CaptionBox CaptionOnlyBox(int width, int height, TAlignment alignment, int borderSpace, int contentOffsetY) {
    switch (alignment) {
        case taLeftJustify:
            return {borderSpace, contentOffsetY, width - borderSpace, height, taLeftJustify};
        case taRightJustify:
            return {0, contentOffsetY, width - borderSpace, height, taRightJustify};
        case taCenter:
            break;
    }
    return {0, contentOffsetY, width, height, taCenter};
}

bool ImageButtonStates::Set(TImageState state) {
    if (state_ == state)
        return false;
    state_ = state;
    return true;
}

bool ImageButtonStates::MouseEnter() {
    return state_ != istChecked && !pressed_ && Set(istHot);
}

bool ImageButtonStates::MouseLeave() {
    return state_ != istChecked && !pressed_ && Set(istNormal);
}

bool ImageButtonStates::LeftDown() {
    // A checked button keeps its frame, but a press on it still makes a click.
    pressed_ = true;
    return state_ != istChecked && Set(istDown);
}

bool ImageButtonStates::LeftUp(bool over) {
    if (state_ == istChecked) {
        pressed_ = false;
        return false;
    }
    pressed_ = false;
    return Set(over ? istHot : istNormal);
}

bool ImageButtonStates::EnabledChanged() {
    pressed_ = false;
    state_ = istNormal;
    return true;
}

bool ImageButtonStates::SetChecked(bool checked) {
    return Set(checked ? istChecked : istNormal);
}

ImgButtonPlace PlaceImgButton(const ImgButtonInput& in) {
    const bool spaced = in.hasCaption && in.layout != iclImgCenter;
    const int hs = spaced && (in.layout == iclImgLeft || in.layout == iclImgRight) ? in.spacing : 0;
    const int vs = spaced && (in.layout == iclImgTop || in.layout == iclImgBottom) ? in.spacing : 0;
    const int W = in.width, H = in.height, iw = in.imageWidth, ih = in.imageHeight;
    const int tw = in.textWidth, th = in.textHeight;
    ImgButtonPlace p{(W - iw - hs) / 2, (H - ih - vs) / 2, (W - tw - hs) / 2, (H - th - vs) / 2};
    switch (in.layout) {
        case iclImgLeft:
            p.imageX = (W - iw - tw - hs) / 2;
            p.textX = p.imageX + iw + hs;
            break;
        case iclImgRight:
            p.textX = (W - iw - tw - hs) / 2;
            p.imageX = p.textX + tw + hs;
            break;
        case iclImgTop:
            p.imageY = (H - ih - th - vs) / 2;
            p.textY = p.imageY + ih + vs;
            break;
        case iclImgBottom:
            p.textY = (H - ih - th - vs) / 2;
            p.imageY = p.textY + th + vs;
            break;
        case iclImgCenter:
            break;
    }
    const int shift = in.state == 1 ? -in.enterOffset : in.state == 2 ? in.downOffset : 0;
    p.imageX += shift;
    p.imageY += shift;
    p.textX += shift;
    p.textY += shift;
    return p;
}

}  // namespace lumaforge
