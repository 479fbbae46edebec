#pragma once
#include <windows.h>

#include "controls/stretch_geometry.h"

namespace Gdiplus {
class Bitmap;
class Graphics;
}  // namespace Gdiplus

namespace lumaforge {

// Draws frame `index` of an image strip whose frames are `frameWidth` pixels wide into the
// rectangle (0, 0, width, height) of `surface`, each axis by its mode; alpha is kept.
void StretchDrawFrame(Gdiplus::Bitmap& strip, Gdiplus::Graphics& surface, int width, int height, THorzStretchType horz,
                      TVertStretchType vert, int frameWidth, int index);

// Draws a background picture (selected into `picture`, `pictureSize` pixels) over (0, 0, width,
// height) of `canvas` with plain block transfers, each axis by its mode, the custom modes split
// at `split`. With both modes none the picture is copied at its own size.
void StretchDrawPicture(HDC picture, SIZE pictureSize, HDC canvas, int width, int height, POINT split,
                        TVertStretchType vert, THorzStretchType horz);

}  // namespace lumaforge
