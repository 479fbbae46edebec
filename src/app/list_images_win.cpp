#include "app/list_images_win.h"

#include "app/resource_item.h"

namespace lumaforge {
namespace {
constexpr int kSize = kListImageSize;
constexpr COLORREF kMaskColor = RGB(255, 0, 255);

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

void DrawNotInstalled(HDC dc, int x) {
    ScopedPen pen(dc, RGB(170, 170, 170), 1);
    ScopedBrush brush(dc, RGB(240, 240, 240));
    Ellipse(dc, x + 3, 3, x + 13, 13);
}

void DrawInstalled(HDC dc, int x) {
    ScopedPen pen(dc, RGB(30, 140, 60), 1);
    ScopedBrush brush(dc, RGB(60, 180, 90));
    Ellipse(dc, x + 1, 1, x + 15, 15);
    ScopedPen tick(dc, RGB(255, 255, 255), 2);
    Line(dc, x + 4, 8, x + 7, 11);
    Line(dc, x + 7, 11, x + 12, 5);
}

void DrawDownloading(HDC dc, int x) {
    ScopedPen pen(dc, RGB(40, 110, 200), 1);
    ScopedBrush brush(dc, RGB(70, 140, 230));
    POINT arrow[] = {{x + 6, 1}, {x + 10, 1}, {x + 10, 7}, {x + 13, 7}, {x + 8, 12}, {x + 3, 7}, {x + 6, 7}};
    Polygon(dc, arrow, 7);
    Line(dc, x + 2, 14, x + 14, 14);
}

void DrawDownloaded(HDC dc, int x) {
    ScopedPen pen(dc, RGB(131, 83, 108), 1);
    ScopedBrush brush(dc, RGB(236, 210, 224));
    Rectangle(dc, x + 2, 3, x + 14, 14);
    Line(dc, x + 2, 6, x + 14, 6);
    ScopedPen tick(dc, RGB(30, 140, 60), 2);
    Line(dc, x + 5, 10, x + 7, 12);
    Line(dc, x + 7, 12, x + 11, 8);
}

void DrawFailed(HDC dc, int x) {
    ScopedPen pen(dc, RGB(190, 40, 40), 1);
    ScopedBrush brush(dc, RGB(220, 60, 60));
    Ellipse(dc, x + 1, 1, x + 15, 15);
    ScopedPen cross(dc, RGB(255, 255, 255), 2);
    Line(dc, x + 5, 5, x + 11, 11);
    Line(dc, x + 11, 5, x + 5, 11);
}

void DrawCategory(HDC dc, int x, bool expanded) {
    ScopedPen pen(dc, RGB(131, 83, 108), 1);
    ScopedBrush brush(dc, RGB(131, 83, 108));
    if (expanded) {
        POINT down[] = {{x + 3, 5}, {x + 13, 5}, {x + 8, 11}};
        Polygon(dc, down, 3);
    } else {
        POINT right[] = {{x + 5, 3}, {x + 11, 8}, {x + 5, 13}};
        Polygon(dc, right, 3);
    }
}

void DrawWaiting(HDC dc, int x) {
    ScopedPen pen(dc, RGB(200, 140, 30), 1);
    ScopedBrush brush(dc, RGB(255, 236, 180));
    Ellipse(dc, x + 1, 1, x + 15, 15);
    ScopedPen hands(dc, RGB(140, 90, 10), 1);
    Line(dc, x + 8, 8, x + 8, 3);
    Line(dc, x + 8, 8, x + 12, 8);
}
}  // namespace

UniqueImageList CreateListImages(int size) {
    UniqueImageList list(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, kListImageCount, 0));
    if (!list)
        return list;
    HDC screen = GetDC(nullptr);
    UniqueMemoryDc dc(CreateCompatibleDC(screen));
    UniqueGdiObj<HBITMAP> strip(CreateCompatibleBitmap(screen, size * kListImageCount, size));
    ReleaseDC(nullptr, screen);
    {
        ScopedSelectObject select(dc.Get(), strip.Get());
        // The pictures are drawn in 16-pixel units, enlarged by the DC at the drawing itself, so
        // lines and shapes land on the pixels of the larger size instead of being stretched.
        SetGraphicsMode(dc.Get(), GM_ADVANCED);
        const float scale = static_cast<float>(size) / kSize;
        const XFORM enlarge{scale, 0, 0, scale, 0, 0};
        SetWorldTransform(dc.Get(), &enlarge);
        RECT all{0, 0, kSize * kListImageCount, kSize};
        UniqueGdiObj<HBRUSH> mask(CreateSolidBrush(kMaskColor));
        FillRect(dc.Get(), &all, mask.Get());
        DrawNotInstalled(dc.Get(), kSize * kImageNotInstalled);
        DrawInstalled(dc.Get(), kSize * kImageInstalled);
        DrawDownloading(dc.Get(), kSize * kImageDownloading);
        DrawDownloaded(dc.Get(), kSize * kImageDownloaded);
        DrawFailed(dc.Get(), kSize * kImageFailed);
        DrawCategory(dc.Get(), kSize * kImageCategoryExpanded, true);
        DrawCategory(dc.Get(), kSize * kImageCategoryCollapsed, false);
        DrawWaiting(dc.Get(), kSize * kImageWaiting);
    }
    ImageList_AddMasked(list.Get(), strip.Get(), kMaskColor);
    return list;
}

}  // namespace lumaforge
