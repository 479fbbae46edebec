#include "controls/fonts_win.h"

namespace lumaforge {

UniqueFont MakeFont(const wchar_t* face, int height, unsigned style) {
    return UniqueFont(CreateFontW(height, 0, 0, 0, (style & kFontBold) ? FW_BOLD : FW_NORMAL, FALSE,
                                  (style & kFontUnderline) ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
}

}  // namespace lumaforge
