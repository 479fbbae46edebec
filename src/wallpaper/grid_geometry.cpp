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

TCellPaint CellPaint(const TGridRect& cell, TGridSize picture, int dpi) {
    const int frameGap = ScaleLength(kFrameGap, dpi), markerInset = ScaleLength(kMarkerInset, dpi);
    const TGridSize overlay{ScaleLength(kOverlayStripSize.width, dpi), ScaleLength(kOverlayStripSize.height, dpi)};
    const TGridSize marker{ScaleLength(kMarkerSize.width, dpi), ScaleLength(kMarkerSize.height, dpi)};
    TCellPaint paint;
    paint.pictureX = cell.left + (cell.Width() - picture.width) / 2;
    paint.pictureY = cell.top + (cell.Height() - picture.height) / 2;
    paint.frame = {paint.pictureX - frameGap, paint.pictureY - frameGap, paint.pictureX + picture.width + frameGap,
                   paint.pictureY + picture.height + frameGap};
    const int overlayLeft = paint.pictureX + picture.width - overlay.width;
    const int overlayTop = paint.pictureY + picture.height - overlay.height;
    paint.overlay = {overlayLeft, overlayTop, overlayLeft + overlay.width, overlayTop + overlay.height};
    paint.marker = {cell.left + markerInset, cell.top + markerInset, cell.left + markerInset + marker.width,
                    cell.top + markerInset + marker.height};
    return paint;
}

TClickZone ZoneAt(const TGridRect& cell, int x, int y, int dpi) {
    const int zoneWidth = ScaleLength(kZoneWidth, dpi), zoneHeight = ScaleLength(kZoneHeight, dpi);
    const TGridRect preview{cell.right - 2 * zoneWidth, cell.bottom - zoneHeight, cell.right - zoneWidth, cell.bottom};
    const TGridRect apply{cell.right - zoneWidth, cell.bottom - zoneHeight, cell.right, cell.bottom};
    if (preview.Contains(x, y))
        return TClickZone::Preview;
    if (apply.Contains(x, y))
        return TClickZone::Apply;
    return TClickZone::None;
}

}  // namespace lumaforge
