#include "controls/strip_drawing_win.h"

#include <objidl.h>

#include <cstdint>
#include <vector>

#include <gdiplus.h>

#include "base/handles_win.h"

namespace lumaforge {
namespace {

// Whole pixels to whole pixels: an unscaled copy lands exactly on the target's pixels.
void PreparePixelCopy(Gdiplus::Graphics& graphics) {
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
}

void CopyPiece(HDC target, int dx, int dy, int dw, int dh, HDC source, int sx, int sy, int sw, int sh) {
    if (dw == sw && dh == sh)
        BitBlt(target, dx, dy, dw, dh, source, sx, sy, SRCCOPY);
    else
        StretchBlt(target, dx, dy, dw, dh, source, sx, sy, sw, sh, SRCCOPY);
}

}  // namespace

void StretchDrawFrame(Gdiplus::Bitmap& strip, Gdiplus::Graphics& surface, int width, int height, THorzStretchType horz,
                      TVertStretchType vert, int frameWidth, int index) {
    const int stripWidth = static_cast<int>(strip.GetWidth());
    const int stripHeight = static_cast<int>(strip.GetHeight());
    const int offset = index * frameWidth;
    if (frameWidth <= 0 || stripHeight <= 0 || width <= 0 || height <= 0 || offset + frameWidth > stripWidth)
        return;
    PreparePixelCopy(surface);
    // Unstretched on both axes, the frame is drawn at its own size.
    const bool unscaled = horz == hstNone && vert == vstNone;
    const int targetWidth = unscaled ? frameWidth : width;
    const int targetHeight = unscaled ? stripHeight : height;
    const std::vector<int> columns = SourcePixels(FramePieces(ToAxis(horz), frameWidth, targetWidth), targetWidth);
    const std::vector<int> rows = SourcePixels(FramePieces(ToAxis(vert), stripHeight, targetHeight), targetHeight);
    // Every target pixel copies its source pixel: the scaling of GDI+ blends the edges of a piece
    // with its neighbours, which shows as faint seams in a stretched frame.
    Gdiplus::Rect whole(0, 0, stripWidth, stripHeight);
    Gdiplus::BitmapData source{};
    if (strip.LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &source) != Gdiplus::Ok)
        return;
    Gdiplus::Bitmap target(targetWidth, targetHeight, PixelFormat32bppPARGB);
    Gdiplus::Rect all(0, 0, targetWidth, targetHeight);
    Gdiplus::BitmapData pixels{};
    if (target.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &pixels) == Gdiplus::Ok) {
        for (int y = 0; y < targetHeight; ++y) {
            auto* out = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(pixels.Scan0) + y * pixels.Stride);
            const int sy = rows[y];
            const auto* in =
                sy < 0 ? nullptr
                       : reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(source.Scan0) + sy * source.Stride);
            for (int x = 0; x < targetWidth; ++x)
                out[x] = in && columns[x] >= 0 ? in[offset + columns[x]] : 0;
        }
        target.UnlockBits(&pixels);
    }
    strip.UnlockBits(&source);
    surface.DrawImage(&target, 0, 0, targetWidth, targetHeight);
}

void StretchDrawPicture(HDC picture, SIZE pictureSize, HDC canvas, int width, int height, POINT split,
                        TVertStretchType vert, THorzStretchType horz) {
    if (width <= 0 || height <= 0 || pictureSize.cx <= 0 || pictureSize.cy <= 0)
        return;
    if (horz == hstNone && vert == vstNone) {
        BitBlt(canvas, 0, 0, pictureSize.cx, pictureSize.cy, picture, 0, 0, SRCCOPY);
        return;
    }
    const AxisPlan across = PicturePieces(ToAxis(horz), pictureSize.cx, width, split.x);
    const AxisPlan down = PicturePieces(ToAxis(vert), pictureSize.cy, height, split.y);
    // The rows stretched across first, then the result stretched down.
    UniqueMemoryDc rowDc(CreateCompatibleDC(canvas));
    UniqueGdiObj<HBITMAP> row(CreateCompatibleBitmap(canvas, width, pictureSize.cy));
    if (!rowDc.Get() || !row.Get())
        return;
    ScopedSelectObject selectRow(rowDc.Get(), row.Get());
    SetStretchBltMode(rowDc.Get(), COLORONCOLOR);
    SetStretchBltMode(canvas, COLORONCOLOR);
    for (const AxisPiece& p : across)
        CopyPiece(rowDc.Get(), p.dstStart, 0, p.dstLength, pictureSize.cy, picture, p.srcStart, 0, p.srcLength,
                  pictureSize.cy);
    for (const AxisPiece& p : down)
        CopyPiece(canvas, 0, p.dstStart, width, p.dstLength, rowDc.Get(), 0, p.srcStart, width, p.srcLength);
}

}  // namespace lumaforge
