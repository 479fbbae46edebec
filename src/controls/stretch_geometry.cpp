#include "controls/stretch_geometry.h"

#include <algorithm>

namespace lumaforge {

void AxisPlan::Add(AxisPiece piece) {
    if (piece.srcLength <= 0 || piece.dstLength <= 0 || count == static_cast<int>(pieces.size()))
        return;
    pieces[count++] = piece;
}

namespace {

// The middle of a longer target: `head` pixels kept at the start, `k` pixels stretched, the rest of
// the picture kept at the end.
AxisPlan SplitPieces(int a, int c, int head, int k) {
    AxisPlan plan;
    const int tail = a - head - k;
    plan.Add({0, head, 0, head});
    plan.Add({head, k, head, c - head - tail});
    plan.Add({head + k, tail, c - tail, tail});
    return plan;
}

// A target no longer than the picture: the two halves of the target show the picture's two ends.
AxisPlan CutMiddle(int a, int c) {
    AxisPlan plan;
    const int p = c / 2;
    plan.Add({0, p, 0, p});
    plan.Add({a - (c - p), c - p, p, c - p});
    return plan;
}

}  // namespace

AxisPlan FramePieces(AxisStretch mode, int a, int c) {
    AxisPlan plan;
    if (a <= 0 || c <= 0)
        return plan;
    switch (mode) {
        case AxisStretch::None:
            plan.Add({0, a, 0, a});
            break;
        case AxisStretch::All:
            plan.Add({0, a, 0, c});
            break;
        case AxisStretch::Start:
            if (a >= c) {
                plan.Add({0, 1, 0, 1});
                plan.Add({a - c + 1, c - 1, 1, c - 1});
            } else {
                plan.Add({0, 1, 0, c - (a - 1)});
                plan.Add({1, a - 1, c - (a - 1), a - 1});
            }
            break;
        case AxisStretch::Middle: {
            if (a >= c)
                return CutMiddle(a, c);
            const int k = a % 2 == 1 ? 1 : 2;
            return SplitPieces(a, c, (a - k) / 2, k);
        }
        case AxisStretch::End:
            if (a >= c) {
                plan.Add({0, c - 1, 0, c - 1});
                plan.Add({a - 1, 1, c - 1, 1});
            } else {
                plan.Add({0, a - 1, 0, a - 1});
                plan.Add({a - 1, 1, a - 1, c - (a - 1)});
            }
            break;
        case AxisStretch::Custom:
            break;
    }
    return plan;
}

std::vector<int> SourcePixels(const AxisPlan& plan, int c) {
    std::vector<int> source(static_cast<size_t>(std::max(c, 0)), -1);
    for (const AxisPiece& p : plan) {
        for (int d = 0; d < p.dstLength; ++d) {
            const int target = p.dstStart + d;
            if (target >= 0 && target < c)
                source[target] = p.srcStart + static_cast<int>(int64_t{d} * p.srcLength / p.dstLength);
        }
    }
    return source;
}

AxisPlan PicturePieces(AxisStretch mode, int a, int c, int split) {
    if (mode != AxisStretch::Custom)
        return FramePieces(mode, a, c);
    if (split <= 1)
        return FramePieces(AxisStretch::Start, a, c);
    if (split >= a)
        return FramePieces(AxisStretch::End, a, c);
    if (a >= c)
        return CutMiddle(a, c);
    return SplitPieces(a, c, split, 1);
}

}  // namespace lumaforge
