#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace lumaforge {

// How a picture few pixels wide covers an area of any size, one axis at a time. The edges of the
// picture stay unscaled where the mode says so; the stretched part is the picture's plain middle.
enum THorzStretchType : uint8_t { hstNone, hstAll, hstLeft, hstMiddle, hstRight, hstCustom };
enum TVertStretchType : uint8_t { vstNone, vstAll, vstTop, vstCenter, vstBottom, vstCustom };

// The same modes without the axis: the start is the left or top edge.
enum class AxisStretch : uint8_t { None, All, Start, Middle, End, Custom };
constexpr AxisStretch ToAxis(THorzStretchType mode) {
    return static_cast<AxisStretch>(mode);
}
constexpr AxisStretch ToAxis(TVertStretchType mode) {
    return static_cast<AxisStretch>(mode);
}

// One copy on an axis: `srcLength` pixels from `srcStart` of the picture to `dstLength` pixels from
// `dstStart` of the target, scaled when the lengths differ.
struct AxisPiece {
    int srcStart = 0;
    int srcLength = 0;
    int dstStart = 0;
    int dstLength = 0;
    bool operator==(const AxisPiece&) const = default;
};

// At most three pieces; pieces of no length are never listed.
struct AxisPlan {
    std::array<AxisPiece, 3> pieces{};
    int count = 0;
    const AxisPiece* begin() const { return pieces.data(); }
    const AxisPiece* end() const { return pieces.data() + count; }
    void Add(AxisPiece piece);
};

// The pieces of an image-strip frame `a` pixels long on a target `c` pixels long. A custom mode has
// no split point here and gives no pieces: nothing of the frame is drawn.
AxisPlan FramePieces(AxisStretch mode, int a, int c);

// The pieces of a panel's background picture: as for a frame, except that a custom mode stretches
// the one pixel at `split` (a split at or before 1 stretches the first pixel, one at or beyond the
// end the last).
AxisPlan PicturePieces(AxisStretch mode, int a, int c, int split);

// For every target pixel of an axis `c` pixels long, the source pixel a nearest-neighbour copy of
// the plan's pieces takes; -1 where no piece reaches.
std::vector<int> SourcePixels(const AxisPlan& plan, int c);

}  // namespace lumaforge
