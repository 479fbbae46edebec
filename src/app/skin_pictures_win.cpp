#include "app/skin_pictures_win.h"

namespace lumaforge {

std::shared_ptr<const Picture> SkinPictures::Get(const wchar_t* name) {
    auto [place, added] = loaded_.try_emplace(name);
    if (added)
        place->second = ResourcePicture(name);
    return place->second;
}

}  // namespace lumaforge
