#pragma once
#include <map>
#include <memory>
#include <string>

#include "controls/dpi_scale.h"
#include "controls/picture_win.h"

namespace lumaforge {

// The pictures the window's drawn controls are made of, decoded once from the program's resources
// and shared by every control that shows them. Each picture is drawn at several scales (resource
// names PAGE_BACK_BMP, PAGE_BACK_125_BMP, ...); the set of one scale is in use at a time. Needs a
// GdiplusSession for as long as it lives.
class SkinPictures {
public:
    // A picture of the scale in use; an empty picture when the program has no resource of that name.
    std::shared_ptr<const Picture> Get(const wchar_t* name);
    int Scale() const { return scale_; }
    // Takes the pictures drawn at `percent` (one of kSkinScales); answers, for every picture handed
    // out so far, the one of the new scale that replaces it.
    std::map<const Picture*, std::shared_ptr<const Picture>> SetScale(int percent);

private:
    std::shared_ptr<const Picture> Load(const std::wstring& name) const;
    int scale_ = 100;
    std::map<std::wstring, std::shared_ptr<const Picture>> loaded_;
};

}  // namespace lumaforge
