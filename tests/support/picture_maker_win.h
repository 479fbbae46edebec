#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace lumaforge::test {

// The colour (0xAARRGGBB) of a pixel of a picture to make.
using PixelColour = std::function<uint32_t(int x, int y)>;

// A picture encoded by GDI+ ("image/jpeg", "image/png", "image/bmp"); empty when the
// encoder is missing. GDI+ must be started.
std::string EncodePicture(int width, int height, const wchar_t* mimeType, const PixelColour& colour);
inline std::string SolidPicture(int width, int height, const wchar_t* mimeType, uint32_t argb) {
    return EncodePicture(width, height, mimeType, [argb](int, int) { return argb; });
}

// A DIB of the given size that a window or picture draws into, read back pixel by pixel.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC Dc() const { return dc_; }
    // The colour at a pixel as a COLORREF.
    COLORREF At(int x, int y) const;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace lumaforge::test
