#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/colors.h"
#include "base/handles_win.h"

namespace Gdiplus {
class Bitmap;
}

namespace lumaforge {

// GDI+ started for as long as the object lives. The window that shows pictures owns one, and every
// Picture and every control that holds one must be gone before it ends.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool Started() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

// A picture decoded by GDI+ (JPEG, PNG with alpha, BMP, GIF...), with every frame of an animated
// GIF and its delay. The pixels are the picture's own copy: neither the file nor the memory it came
// from is held, so a cached file can be replaced or deleted while its picture shows. Needs a
// GdiplusSession.
class Picture {
public:
    Picture();
    ~Picture();
    Picture(Picture&&) noexcept;
    Picture& operator=(Picture&&) noexcept;

    // Empty when the bytes are no picture GDI+ can decode.
    static Picture FromMemory(std::string_view bytes);
    // Empty when the file cannot be read or is no picture.
    static Picture FromFile(const std::string& path);

    bool Empty() const { return frames_.empty(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    size_t FrameCount() const { return frames_.size(); }
    // How long the frame shows, in milliseconds; 0 for a still picture or an unset delay.
    int FrameDelay(size_t frame) const;
    // Draws a frame into the rectangle (in the DC's pixels), scaled with high-quality bicubic
    // interpolation, blended over what is there where the picture is see-through.
    void Draw(HDC dc, size_t frame, float x, float y, float width, float height) const;
    // The decoded pixels of a frame (premultiplied ARGB), for drawing pieces of it; nothing past
    // the last frame.
    Gdiplus::Bitmap* Frame(size_t frame) const { return frame < frames_.size() ? frames_[frame].get() : nullptr; }
    // The first frame as a GDI bitmap, see-through pixels blended over `background`; nothing when
    // the picture is empty.
    UniqueGdiObj<HBITMAP> ToBitmap(Color background) const;

private:
    std::vector<std::unique_ptr<Gdiplus::Bitmap>> frames_;
    std::vector<int> delays_;
    int width_ = 0;
    int height_ = 0;
};

// The bytes of a resource of the module (RT_RCDATA unless told); empty when there is none. They
// live as long as the module.
std::string_view ResourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type = RT_RCDATA);

// A picture of the program's own resources (RT_RCDATA), shared by the controls that show it; an
// empty picture when there is no such resource.
std::shared_ptr<const Picture> ResourcePicture(const wchar_t* name);

}  // namespace lumaforge
