#include "wallpaper/grid_geometry.h"

namespace lumaforge {
namespace {
// The cell picture leaves three pixels on each side of a cell that is one pixel short.
constexpr int kPictureShrink = 7;
constexpr int kFrameGap = 2;
constexpr int kMarkerInset = 3;
constexpr int kZoneWidth = 22;
constexpr int kZoneHeight = 18;
}  // namespace

TGridLayout GridLayoutFor(int gridWidth, int gridHeight) {
    TGridLayout layout;
    layout.columnWidth = gridWidth / kThumbColumns - 1;
    layout.rowHeight = gridHeight / kThumbVisibleRows - 1;
    layout.picture = {gridWidth / kThumbColumns - kPictureShrink, gridHeight / kThumbVisibleRows - kPictureShrink};
    return layout;
}

int GridRowCount(int itemCount) {
    return itemCount <= 0 ? 0 : (itemCount + kThumbColumns - 1) / kThumbColumns;
}

TGridRect CellRect(const TGridLayout& layout, TGridCell cell) {
    const int left = cell.column * layout.columnWidth;
    const int top = cell.row * layout.rowHeight;
    return {left, top, left + layout.columnWidth, top + layout.rowHeight};
}

std::optional<TGridCell> CellAt(const TGridLayout& layout, int rowCount, int x, int y) {
    if (x < 0 || y < 0 || layout.columnWidth <= 0 || layout.rowHeight <= 0)
        return std::nullopt;
    const TGridCell cell{y / layout.rowHeight, x / layout.columnWidth};
    if (cell.row >= rowCount || cell.column >= kThumbColumns)
        return std::nullopt;
    return cell;
}

TCenteredCopy DrawCentered(TGridSize picture, TGridSize cell) {
    TCenteredCopy copy{{0, 0, picture.width, picture.height}, {0, 0, cell.width, cell.height}};
    if (cell.width < picture.width) {
        copy.source.left = (picture.width - cell.width) / 2;
        copy.source.right = copy.source.left + cell.width;
    } else if (picture.width < cell.width) {
        copy.target.left = (cell.width - picture.width) / 2;
        copy.target.right = copy.target.left + picture.width;
    }
    if (cell.height < picture.height) {
        copy.source.top = (picture.height - cell.height) / 2;
        copy.source.bottom = copy.source.top + cell.height;
    } else if (picture.height < cell.height) {
        copy.target.top = (cell.height - picture.height) / 2;
        copy.target.bottom = copy.target.top + picture.height;
    }
    return copy;
}

TCellPaint CellPaint(const TGridRect& cell, TGridSize picture) {
    TCellPaint paint;
    paint.pictureX = cell.left + (cell.Width() - picture.width) / 2;
    paint.pictureY = cell.top + (cell.Height() - picture.height) / 2;
    paint.frame = {paint.pictureX - kFrameGap, paint.pictureY - kFrameGap, paint.pictureX + picture.width + kFrameGap,
                   paint.pictureY + picture.height + kFrameGap};
    const int overlayLeft = paint.pictureX + picture.width - kOverlayStripSize.width;
    const int overlayTop = paint.pictureY + picture.height - kOverlayStripSize.height;
    paint.overlay = {overlayLeft, overlayTop, overlayLeft + kOverlayStripSize.width,
                     overlayTop + kOverlayStripSize.height};
    paint.marker = {cell.left + kMarkerInset, cell.top + kMarkerInset, cell.left + kMarkerInset + kMarkerSize.width,
                    cell.top + kMarkerInset + kMarkerSize.height};
    return paint;
}

TClickZone ZoneAt(const TGridRect& cell, int x, int y) {
    const TGridRect preview{cell.right - 2 * kZoneWidth, cell.bottom - kZoneHeight, cell.right - kZoneWidth,
                            cell.bottom};
    const TGridRect apply{cell.right - kZoneWidth, cell.bottom - kZoneHeight, cell.right, cell.bottom};
    if (preview.Contains(x, y))
        return TClickZone::Preview;
    if (apply.Contains(x, y))
        return TClickZone::Apply;
    return TClickZone::None;
}

}  // namespace lumaforge
