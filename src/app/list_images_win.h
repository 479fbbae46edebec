#pragma once
#include "base/handles_win.h"

namespace lumaforge {

// The size of the list pictures at 96 DPI.
inline constexpr int kListImageSize = 16;

// The nine pictures of the resource lists, `size` pixels square, drawn for the window's DPI: 1 not
// installed, 2 installed, 3 downloading, 4 downloaded, 5 failed, 6 category expanded, 7 category
// collapsed, 8 waiting; 0 is blank.
UniqueImageList CreateListImages(int size = kListImageSize);

}  // namespace lumaforge
