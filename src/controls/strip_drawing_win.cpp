#include "controls/strip_drawing_win.h"

#include <objidl.h>

#include <gdiplus.h>

#include "base/handles_win.h"

namespace lumaforge {
namespace {

// Whole source pixels to whole target pixels: no smoothing, so a stretched edge column stays one
// crisp colour and never blends with the transparent outside of the strip.
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
    const int stripHeight = static_cast<int>(strip.GetHeight());
    const int offset = index * frameWidth;
    if (frameWidth <= 0 || stripHeight <= 0 || width <= 0 || height <= 0)
        return;
    PreparePixelCopy(surface);
    // Scaling samples a little beyond a piece's edge; mirroring there keeps the piece's own edge
    // colour instead of fading into the transparent black outside the picture.
    Gdiplus::ImageAttributes edges;
    edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    if (horz == hstNone && vert == vstNone) {
        surface.DrawImage(&strip, Gdiplus::Rect(0, 0, frameWidth, stripHeight), offset, 0, frameWidth, stripHeight,
                          Gdiplus::UnitPixel, &edges);
        return;
    }
    const AxisPlan across = FramePieces(ToAxis(horz), frameWidth, width);
    const AxisPlan down = FramePieces(ToAxis(vert), stripHeight, height);
    if (across.count == 0 || down.count == 0)
        return;
    Gdiplus::Bitmap row(width, stripHeight, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics rowSurface(&row);
        PreparePixelCopy(rowSurface);
        rowSurface.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        for (const AxisPiece& p : across)
            rowSurface.DrawImage(&strip, Gdiplus::Rect(p.dstStart, 0, p.dstLength, stripHeight), offset + p.srcStart, 0,
                                 p.srcLength, stripHeight, Gdiplus::UnitPixel, &edges);
    }
    for (const AxisPiece& p : down)
        surface.DrawImage(&row, Gdiplus::Rect(0, p.dstStart, width, p.dstLength), 0, p.srcStart, width, p.srcLength,
                          Gdiplus::UnitPixel, &edges);
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
