#pragma once
#include "base/handles_win.h"

namespace lumaforge {

using UniqueFont = UniqueGdiObj<HFONT>;

enum FontStyle : unsigned { kFontRegular = 0, kFontBold = 1, kFontUnderline = 2 };

// A font by face and height in pixels (negative: character height, as a point size gives it).
UniqueFont MakeFont(const wchar_t* face, int height, unsigned style = kFontRegular);

}  // namespace lumaforge
