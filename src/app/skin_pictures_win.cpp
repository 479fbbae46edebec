#include "app/skin_pictures_win.h"

namespace lumaforge {

std::shared_ptr<const Picture> SkinPictures::Load(const std::wstring& name) const {
    std::shared_ptr<const Picture> picture = ResourcePicture(ScaledSkinName(name, scale_).c_str());
    // A picture drawn at one size only still serves, at that size.
    if ((!picture || picture->Empty()) && scale_ != 100)
        picture = ResourcePicture(name.c_str());
    return picture;
}

std::shared_ptr<const Picture> SkinPictures::Get(const wchar_t* name) {
    auto [place, added] = loaded_.try_emplace(name);
    if (added)
        place->second = Load(name);
    return place->second;
}

std::map<const Picture*, std::shared_ptr<const Picture>> SkinPictures::SetScale(int percent) {
    std::map<const Picture*, std::shared_ptr<const Picture>> replacements;
    if (percent == scale_)
        return replacements;
    scale_ = percent;
    for (auto& [name, picture] : loaded_) {
        std::shared_ptr<const Picture> scaled = Load(name);
        replacements.emplace(picture.get(), scaled);
        picture = std::move(scaled);
    }
    return replacements;
}

}  // namespace lumaforge
