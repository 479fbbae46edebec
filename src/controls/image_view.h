#pragma once
#include <string>

namespace lumaforge {

// Something that shows one picture file and, while that file is being fetched, a loading
// animation. User-interface thread only.
class ImageView {
public:
    virtual ~ImageView() = default;
    // Clears the picture and shows the animation.
    virtual void StartLoading() = 0;
    // Ends the animation; the picture is left as it is.
    virtual void StopLoading() = 0;
    // Shows the picture in the file; an empty name, a missing file or one that is no picture
    // leaves the view empty. The same name twice in a row loads once, unless loading started or
    // stopped in between.
    virtual void LoadImageFile(const std::string& fileName) = 0;
};

}  // namespace lumaforge
