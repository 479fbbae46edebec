#include "controls/picture_win.h"

#include <objidl.h>
#include <shlwapi.h>

#include <gdiplus.h>

#include "base/com_ptr_win.h"
#include "base/files_win.h"

namespace lumaforge {
namespace {

// GIF delays are in hundredths of a second, one 32-bit value per frame.
std::vector<int> FrameDelays(Gdiplus::Bitmap& source, size_t frames) {
    std::vector<int> delays(frames, 0);
    const UINT size = source.GetPropertyItemSize(PropertyTagFrameDelay);
    if (size < sizeof(Gdiplus::PropertyItem))
        return delays;
    std::vector<unsigned char> buffer(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    if (source.GetPropertyItem(PropertyTagFrameDelay, size, item) != Gdiplus::Ok || !item->value)
        return delays;
    const size_t count = std::min<size_t>(frames, item->length / sizeof(LONG));
    const auto* values = static_cast<const LONG*>(item->value);
    for (size_t i = 0; i < count; ++i)
        delays[i] = static_cast<int>(values[i]) * 10;
    return delays;
}

}  // namespace

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok)
        token_ = 0;
}

GdiplusSession::~GdiplusSession() {
    if (token_)
        Gdiplus::GdiplusShutdown(token_);
}

Picture::Picture() = default;
Picture::~Picture() = default;
Picture::Picture(Picture&&) noexcept = default;
Picture& Picture::operator=(Picture&&) noexcept = default;

Picture Picture::FromMemory(std::string_view bytes) {
    Picture picture;
    const auto stream = ComPtr<IStream>::Adopt(
        SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    if (!stream.Get() || bytes.empty())
        return picture;
    // The decoder reads from the stream for as long as it lives, so the frames are copied out.
    Gdiplus::Bitmap source(stream.Get(), FALSE);
    if (source.GetLastStatus() != Gdiplus::Ok)
        return picture;
    const int width = static_cast<int>(source.GetWidth());
    const int height = static_cast<int>(source.GetHeight());
    if (width <= 0 || height <= 0)
        return picture;
    UINT frameCount = 1;
    bool animated = false;
    const UINT dimensions = source.GetFrameDimensionsCount();
    if (dimensions > 0) {
        std::vector<GUID> ids(dimensions);
        source.GetFrameDimensionsList(ids.data(), dimensions);
        for (const GUID& id : ids) {
            if (id == Gdiplus::FrameDimensionTime) {
                frameCount = std::max<UINT>(1, source.GetFrameCount(&Gdiplus::FrameDimensionTime));
                animated = frameCount > 1;
            }
        }
    }
    for (UINT i = 0; i < frameCount; ++i) {
        if (animated && source.SelectActiveFrame(&Gdiplus::FrameDimensionTime, i) != Gdiplus::Ok)
            return Picture();
        auto frame = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
        Gdiplus::Graphics graphics(frame.get());
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        if (frame->GetLastStatus() != Gdiplus::Ok ||
            graphics.DrawImage(&source, Gdiplus::Rect(0, 0, width, height), 0, 0, width, height, Gdiplus::UnitPixel) !=
                Gdiplus::Ok)
            return Picture();
        picture.frames_.push_back(std::move(frame));
    }
    picture.delays_ = animated ? FrameDelays(source, frameCount) : std::vector<int>(1, 0);
    picture.width_ = width;
    picture.height_ = height;
    return picture;
}

Picture Picture::FromFile(const std::string& path) {
    std::string bytes;
    if (path.empty() || !ReadWholeFile(path, bytes))
        return Picture();
    return FromMemory(bytes);
}

int Picture::FrameDelay(size_t frame) const {
    return frame < delays_.size() ? delays_[frame] : 0;
}

void Picture::Draw(HDC dc, size_t frame, float x, float y, float width, float height) const {
    if (frame >= frames_.size() || width <= 0 || height <= 0)
        return;
    Gdiplus::Graphics graphics(dc);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    // Pixel centres where GDI puts them, so an unscaled picture lands exactly on its pixels.
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.DrawImage(frames_[frame].get(), Gdiplus::RectF(x, y, width, height), 0, 0, static_cast<float>(width_),
                       static_cast<float>(height_), Gdiplus::UnitPixel);
}

UniqueGdiObj<HBITMAP> Picture::ToBitmap(Color background) const {
    HBITMAP bitmap = nullptr;
    if (frames_.empty())
        return UniqueGdiObj<HBITMAP>();
    const Gdiplus::Color under(255, GetRValue(background), GetGValue(background), GetBValue(background));
    if (frames_[0]->GetHBITMAP(under, &bitmap) != Gdiplus::Ok)
        return UniqueGdiObj<HBITMAP>();
    return UniqueGdiObj<HBITMAP>(bitmap);
}

std::shared_ptr<const Picture> ResourcePicture(const wchar_t* name) {
    return std::make_shared<const Picture>(Picture::FromMemory(ResourceBytes(GetModuleHandleW(nullptr), name)));
}

std::string_view ResourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type) {
    HRSRC found = FindResourceW(module, name, type);
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return {};
    return {static_cast<const char*>(data), SizeofResource(module, found)};
}

}  // namespace lumaforge
