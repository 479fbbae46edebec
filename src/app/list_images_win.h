#pragma once
#include "base/handles_win.h"

namespace lumaforge {

// The nine 16 x 16 pictures of the resource lists, drawn at start-up: 1 not installed,
// 2 installed, 3 downloading, 4 downloaded, 5 failed, 6 category expanded, 7 category collapsed,
// 8 waiting; 0 is blank.
UniqueImageList CreateListImages();

}  // namespace lumaforge
