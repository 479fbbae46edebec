#include "wallpaper/thumbnail_grid_win.h"

#include <windowsx.h>

#include <stdexcept>

#include "base/handles_win.h"
#include "base/text.h"
#include "base/unicode_win.h"
#include "controls/scale_change_win.h"

namespace lumaforge {
namespace {

constexpr uint32_t kWhitePixel = 0x00FFFFFF;
constexpr COLORREF kHotFrame = RGB(0, 0, 255);
constexpr COLORREF kFrame = RGB(222, 222, 222);

void FillEllipse(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    ScopedBrush brush(dc, colour);
    ScopedPen pen(dc, colour);
    Ellipse(dc, left, top, right, bottom);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int width) {
    ScopedPen pen(dc, colour, width);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// The overlay strip: a magnifier on the left half (preview), a gear on the right half (apply).
void PaintOverlayStrip(HDC dc, const TGridRect& strip) {
    UniqueGdiObj<HBRUSH> back(CreateSolidBrush(RGB(64, 64, 64)));
    RECT rc{strip.left, strip.top, strip.right, strip.bottom};
    FillRect(dc, &rc, back.Get());
    const COLORREF ink = RGB(255, 255, 255);
    const int half = strip.Width() / 2;
    // Magnifier.
    const int mx = strip.left + 4, my = strip.top + 3;
    FillEllipse(dc, mx, my, mx + 10, my + 10, ink);
    FillEllipse(dc, mx + 2, my + 2, mx + 8, my + 8, RGB(64, 64, 64));
    Line(dc, mx + 9, my + 9, mx + 14, my + 14, ink, 2);
    // Gear: a ring with eight teeth.
    const int cx = strip.left + half + half / 2, cy = strip.top + strip.Height() / 2;
    Line(dc, cx - 7, cy, cx + 7, cy, ink, 3);
    Line(dc, cx, cy - 7, cx, cy + 7, ink, 3);
    Line(dc, cx - 5, cy - 5, cx + 5, cy + 5, ink, 3);
    Line(dc, cx - 5, cy + 5, cx + 5, cy - 5, ink, 3);
    FillEllipse(dc, cx - 5, cy - 5, cx + 6, cy + 6, ink);
    FillEllipse(dc, cx - 2, cy - 2, cx + 3, cy + 3, RGB(64, 64, 64));
}

// The marker of a picture already on disk: an orange disc with a down arrow.
void PaintMarker(HDC dc, const TGridRect& marker) {
    FillEllipse(dc, marker.left, marker.top, marker.right, marker.bottom, RGB(255, 140, 0));
    const int cx = marker.left + marker.Width() / 2;
    const COLORREF ink = RGB(255, 255, 255);
    Line(dc, cx, marker.top + 5, cx, marker.bottom - 7, ink, 3);
    Line(dc, cx - 5, marker.bottom - 11, cx, marker.bottom - 6, ink, 2);
    Line(dc, cx + 5, marker.bottom - 11, cx, marker.bottom - 6, ink, 2);
}

// Draws a picture made in 96-DPI pixels (`size96`) into `place`, enlarged by the DC at the drawing,
// so its lines and discs are drawn at the larger size instead of stretched.
void DrawEnlarged(HDC dc, const TGridRect& place, TGridSize size96, void (*draw)(HDC, const TGridRect&)) {
    if (place.Width() == size96.width && place.Height() == size96.height) {
        draw(dc, place);
        return;
    }
    ScopedSaveDc saved(dc);
    SetGraphicsMode(dc, GM_ADVANCED);
    const XFORM enlarge{static_cast<float>(place.Width()) / size96.width,
                        0,
                        0,
                        static_cast<float>(place.Height()) / size96.height,
                        static_cast<float>(place.left),
                        static_cast<float>(place.top)};
    SetWorldTransform(dc, &enlarge);
    draw(dc, {0, 0, size96.width, size96.height});
}

}  // namespace

TNodeInfos::TNodeInfos(TGridSize pictureSize) : size_(pictureSize) {
    const size_t pixels = size_t(std::max(size_.width, 0)) * size_t(std::max(size_.height, 0));
    for (auto& picture : pictures_)
        picture.assign(pixels, kWhitePixel);
}

void TNodeInfos::CheckIndex(int index) {
    if (index < 0 || index >= kThumbColumns)
        throw std::out_of_range("Index is out of bounds.");
}

TSearchItem TNodeInfos::GetItem(int index) const {
    CheckIndex(index);
    std::lock_guard lock(lock_);
    return items_[index];
}

void TNodeInfos::SetItem(int index, const TSearchItem& item) {
    CheckIndex(index);
    std::lock_guard lock(lock_);
    items_[index] = item;
}

void TNodeInfos::DrawCentered(int index, const TDecodedPicture& picture) {
    CheckIndex(index);
    if (picture.height <= 0 || picture.width <= 0)
        return;
    const TCenteredCopy copy = lumaforge::DrawCentered({picture.width, picture.height}, size_);
    std::lock_guard lock(lock_);
    std::vector<uint32_t>& cell = pictures_[index];
    for (int y = 0; y < copy.target.Height(); ++y) {
        const uint32_t* from =
            picture.pixels.data() + size_t(copy.source.top + y) * size_t(picture.width) + size_t(copy.source.left);
        uint32_t* to = cell.data() + size_t(copy.target.top + y) * size_t(size_.width) + size_t(copy.target.left);
        std::copy(from, from + copy.target.Width(), to);
    }
}

void TNodeInfos::PaintPicture(int index, HDC dc, int x, int y) const {
    CheckIndex(index);
    if (size_.width <= 0 || size_.height <= 0)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size_.width;
    info.bmiHeader.biHeight = -size_.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::lock_guard lock(lock_);
    SetDIBitsToDevice(dc, x, y, size_.width, size_.height, 0, 0, 0, size_.height, pictures_[index].data(), &info,
                      DIB_RGB_COLORS);
}

TThumbnailGrid::TThumbnailGrid(RefererClientFactory makeClient)
    : makeClient_(std::move(makeClient)), repaints_(std::make_unique<WinUiDispatcher>()) {}

TThumbnailGrid::~TThumbnailGrid() {
    StopWorker();
}

bool TThumbnailGrid::Create(HWND parent, const RECT& bounds) {
    return CreateWindowOf(L"LumaforgeThumbnailGrid", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, parent, bounds);
}

TGridLayout TThumbnailGrid::CurrentLayout() const {
    const RECT client = ClientRect();
    return GridLayoutFor(client.right - client.left, client.bottom - client.top);
}

void TThumbnailGrid::StopWorker() {
    if (!worker_)
        return;
    {
        std::lock_guard lock(worker_->lock);
        worker_->stop = true;
    }
    worker_->changed.notify_all();
    if (worker_->fetcher.joinable())
        worker_->fetcher.join();
    if (worker_->decoder.joinable())
        worker_->decoder.join();
    worker_.reset();
}

void TThumbnailGrid::FillTree(const std::vector<TSearchItem>& items) {
    StopWorker();
    rows_.clear();
    hot_.reset();
    focused_.reset();
    ++generation_;
    const TGridLayout layout = CurrentLayout();
    for (size_t i = 0; i < items.size(); ++i) {
        if (i % kThumbColumns == 0)
            rows_.push_back(std::make_shared<TNodeInfos>(layout.picture));
        rows_.back()->SetItem(static_cast<int>(i % kThumbColumns), items[i]);
    }
    // A Tab stop while it has results: before the first search the advertisement covers it.
    const LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
    SetWindowLongPtrW(Handle(), GWL_STYLE, rows_.empty() ? style & ~WS_TABSTOP : style | WS_TABSTOP);
    Invalidate();
    worker_ = std::make_unique<Worker>();
    Worker& worker = *worker_;
    worker.decoder = std::thread([this, &worker] { RunDecoder(worker); });
    // The rows change only after a stop, so the worker keeps its own list of them.
    worker.fetcher = std::thread([this, &worker, rows = rows_] { RunWorker(worker, rows); });
}

void TThumbnailGrid::RunWorker(Worker& worker, const std::vector<std::shared_ptr<TNodeInfos>>& rows) {
    try {
        for (const std::shared_ptr<TNodeInfos>& row : rows) {
            for (int column = 0; column < kThumbColumns && !worker.stop; ++column) {
                const std::string url(Trim(row->GetItem(column).ThumbUrl));
                if (url.empty())
                    continue;
                OutputDebugStringW(ToWide(url).c_str());
                DownloadThumbnail(worker, url, row, column);
            }
            if (worker.stop)
                break;
        }
    } catch (...) {
        // An error ends the worker; the remaining cells stay blank.
    }
    {
        std::lock_guard lock(worker.lock);
        worker.fetchingDone = true;
    }
    worker.changed.notify_all();
    --worker.running;
}

void TThumbnailGrid::RunDecoder(Worker& worker) {
    try {
        for (;;) {
            Fetched next;
            {
                std::unique_lock lock(worker.lock);
                worker.changed.wait(lock,
                                    [&] { return worker.stop || worker.fetchingDone || !worker.fetched.empty(); });
                if (worker.stop || worker.fetched.empty())
                    break;
                next = std::move(worker.fetched.front());
                worker.fetched.pop_front();
            }
            if (std::optional<TDecodedPicture> picture = DecodeOverBlack(next.bytes)) {
                next.row->DrawCentered(next.column, *picture);
                // Only asks for a repaint; the worker never waits for the painting.
                if (!worker.stop)
                    repaints_->Post([this] {
                        if (Handle())
                            Invalidate();
                    });
            }
        }
    } catch (...) {
        // The fetching goes on for nothing: it ends with the next thumbnail.
        std::lock_guard lock(worker.lock);
        worker.stop = true;
    }
    --worker.running;
}

void TThumbnailGrid::DownloadThumbnail(Worker& worker, const std::string& url, const std::shared_ptr<TNodeInfos>& row,
                                       int column) {
    StringSink sink;
    {
        std::unique_ptr<HttpClient> client = makeClient_(url, "*.*");
        client->SetTimeout(kThumbnailTimeoutMs);
        client->SetAbortCheck([&worker] { return worker.stop.load(); });
        client->SetOnProgress([&worker](int64_t, int64_t, bool& abort) { abort = worker.stop.load(); });
        client->Get(url, sink);
    }
    if (worker.stop || sink.Size() == 0)
        return;
    {
        std::lock_guard lock(worker.lock);
        worker.fetched.push_back({row, column, std::move(sink.Text())});
    }
    worker.changed.notify_one();
}

std::optional<TSearchItem> TThumbnailGrid::Item(TGridCell cell) const {
    if (cell.row < 0 || cell.row >= RowCount() || cell.column < 0 || cell.column >= kThumbColumns)
        return std::nullopt;
    return rows_[cell.row]->GetItem(cell.column);
}

bool TThumbnailGrid::MarkDownloaded(uint64_t generation, TGridCell cell) {
    if (generation != generation_ || !Item(cell))
        return false;
    TSearchItem item = rows_[cell.row]->GetItem(cell.column);
    item.Downloaded = true;
    rows_[cell.row]->SetItem(cell.column, item);
    Invalidate();
    return true;
}

void TThumbnailGrid::SetHot(std::optional<TGridCell> cell) {
    if (cell == hot_)
        return;
    hot_ = cell;
    Invalidate();
}

void TThumbnailGrid::PaintCell(HDC dc, const TGridLayout& layout, TGridCell cell) const {
    const TNodeInfos& row = *rows_[cell.row];
    const TSearchItem item = row.GetItem(cell.column);
    if (Trim(item.ThumbUrl).empty())
        return;
    const TGridRect cellRect = CellRect(layout, cell);
    const TCellPaint paint = CellPaint(cellRect, row.PictureSize(), dpi_);
    const bool hot = hot_ == cell;
    {
        ScopedPen pen(dc, hot ? kHotFrame : kFrame);
        ScopedSelectObject brush(dc, GetStockObject(WHITE_BRUSH));
        Rectangle(dc, paint.frame.left, paint.frame.top, paint.frame.right, paint.frame.bottom);
    }
    row.PaintPicture(cell.column, dc, paint.pictureX, paint.pictureY);
    if (hot)
        DrawEnlarged(dc, paint.overlay, kOverlayStripSize, PaintOverlayStrip);
    if (item.Downloaded)
        DrawEnlarged(dc, paint.marker, kMarkerSize, PaintMarker);
    if (focused_ == cell && GetFocus() == Handle() &&
        !(SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        // Outside the frame, inside the cell's margin.
        const int gap = ScaleLength(2, dpi_);
        RECT focus{paint.frame.left - gap, paint.frame.top - gap, paint.frame.right + gap, paint.frame.bottom + gap};
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focus);
    }
}

bool TThumbnailGrid::HasResult(TGridCell cell) const {
    const std::optional<TSearchItem> item = Item(cell);
    return item && !Trim(item->ThumbUrl).empty();
}

void TThumbnailGrid::SetFocusedCell(std::optional<TGridCell> cell) {
    if (cell == focused_)
        return;
    focused_ = cell;
    Invalidate();
}

void TThumbnailGrid::Activate(TGridCell cell, TClickZone zone) {
    const std::optional<TSearchItem> item = Item(cell);
    if (!item)
        return;
    CellClick click{generation_, cell, zone, *item};
    // The handler may fill the grid again or close the page; it runs from a copy.
    if (std::function<void(const CellClick&)> handler = onCellClick)
        handler(click);
}

bool TThumbnailGrid::HandleKey(WPARAM key) {
    if (RowCount() == 0)
        return false;
    TGridCell cell = focused_.value_or(TGridCell{0, 0});
    switch (key) {
        case VK_LEFT:
            --cell.column;
            break;
        case VK_RIGHT:
            ++cell.column;
            break;
        case VK_UP:
            --cell.row;
            break;
        case VK_DOWN:
            ++cell.row;
            break;
        case VK_HOME:
            cell = {0, 0};
            break;
        case VK_END:
            cell = {RowCount() - 1, kThumbColumns - 1};
            while (cell.column > 0 && !HasResult(cell))
                --cell.column;
            break;
        case VK_RETURN:
            if (focused_)
                Activate(*focused_, TClickZone::Preview);
            return true;
        default:
            return false;
    }
    // The keys stop at the edges and at the empty cells after the last result.
    if (focused_ && HasResult(cell))
        SetFocusedCell(cell);
    else if (!focused_)
        SetFocusedCell(TGridCell{0, 0});
    return true;
}

void TThumbnailGrid::OnScaleChanged(ScaleChange& change) {
    dpi_ = change.dpi;
    Invalidate();
}

void TThumbnailGrid::Paint(HDC dc, const RECT& client) {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const TGridLayout layout = CurrentLayout();
    for (int r = 0; r < RowCount(); ++r) {
        for (int c = 0; c < kThumbColumns; ++c)
            PaintCell(dc, layout, {r, c});
    }
}

LRESULT TThumbnailGrid::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE: {
            if (!tracking_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
                tracking_ = TrackMouseEvent(&track) != FALSE;
            }
            SetHot(CellAt(CurrentLayout(), RowCount(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            return 0;
        }
        case WM_MOUSELEAVE:
            tracking_ = false;
            SetHot(std::nullopt);
            return 0;
        case WM_LBUTTONDOWN: {
            const TGridLayout layout = CurrentLayout();
            const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
            const std::optional<TGridCell> cell = CellAt(layout, RowCount(), x, y);
            if (!cell)
                return 0;
            if (HasResult(*cell))
                SetFocusedCell(cell);
            Activate(*cell, ZoneAt(CellRect(layout, *cell), x, y, dpi_));
            return 0;
        }
        case WM_GETDLGCODE: {
            // Enter is the grid's preview, not the window's default button.
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            const bool enter = msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN;
            return DLGC_WANTARROWS | (enter ? DLGC_WANTMESSAGE : 0);
        }
        case WM_KEYDOWN:
            if (HandleKey(wParam))
                return 0;
            break;
        case WM_SETFOCUS:
            if (!focused_ && HasResult({0, 0}))
                focused_ = TGridCell{0, 0};
            Invalidate();
            break;
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
            Invalidate();
            break;
        case WM_SIZE:
            Invalidate();
            break;
        case WM_DESTROY:
            StopWorker();
            break;
        default:
            break;
    }
    return PaintedWindow::OnMessage(message, wParam, lParam);
}

}  // namespace lumaforge
