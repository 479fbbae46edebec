#pragma once
#include <optional>

#include "controls/dpi_scale.h"

namespace lumaforge {

// Rectangles in pixels, right and bottom exclusive.
struct TGridRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const TGridRect&) const = default;
};

struct TGridSize {
    int width = 0;
    int height = 0;
    bool operator==(const TGridSize&) const = default;
};

struct TGridCell {
    int row = 0;
    int column = 0;
    bool operator==(const TGridCell&) const = default;
};

inline constexpr int kThumbColumns = 5;
inline constexpr int kThumbVisibleRows = 3;

// The grid's cells for a grid of this size: five columns and three rows filling it, one pixel
// short of a fifth and a third.
struct TGridLayout {
    int columnWidth = 0;
    int rowHeight = 0;
    TGridSize picture;  // every cell picture: three pixels of margin inside a cell on each side
};
TGridLayout GridLayoutFor(int gridWidth, int gridHeight);

// Rows needed for `itemCount` results, five a row.
int GridRowCount(int itemCount);

TGridRect CellRect(const TGridLayout& layout, TGridCell cell);

// The cell under a point of the grid; nothing outside the rows there are.
std::optional<TGridCell> CellAt(const TGridLayout& layout, int rowCount, int x, int y);

// Where a decoded picture is copied into a cell picture at 1:1: a larger picture loses its edges
// around the centre, a smaller one sits in the middle.
struct TCenteredCopy {
    TGridRect source;
    TGridRect target;
};
TCenteredCopy DrawCentered(TGridSize picture, TGridSize cell);

// What is painted in a cell: the picture's place, the frame around it and, for the hot cell, the
// overlay strip in the picture's bottom-right corner; the marker of a picture already on disk sits
// in the cell's top-left corner. The strip, the marker and their distances are lengths of the 96-DPI
// layout, scaled to `dpi`.
struct TCellPaint {
    int pictureX = 0;
    int pictureY = 0;
    TGridRect frame;
    TGridRect overlay;
    TGridRect marker;
};
inline constexpr TGridSize kOverlayStripSize{40, 19};
inline constexpr TGridSize kMarkerSize{24, 24};
TCellPaint CellPaint(const TGridRect& cell, TGridSize picture, int dpi = kBaseDpi);

// The two click zones in the bottom-right corner of a cell, under the overlay's two halves.
enum class TClickZone { None, Preview, Apply };
TClickZone ZoneAt(const TGridRect& cell, int x, int y, int dpi = kBaseDpi);

}  // namespace lumaforge
