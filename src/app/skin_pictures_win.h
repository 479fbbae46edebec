#pragma once
#include <map>
#include <memory>
#include <string>

#include "controls/picture_win.h"

namespace lumaforge {

// The pictures the window's drawn controls are made of, decoded once from the program's resources
// and shared by every control that shows them. Needs a GdiplusSession for as long as it lives.
class SkinPictures {
public:
    // An empty picture when the program has no resource of that name.
    std::shared_ptr<const Picture> Get(const wchar_t* name);

private:
    std::map<std::wstring, std::shared_ptr<const Picture>> loaded_;
};

}  // namespace lumaforge
