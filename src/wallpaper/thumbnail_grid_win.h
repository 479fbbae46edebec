#pragma once
#include <windows.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "controls/ui_dispatcher_win.h"
#include "controls/window_win.h"
#include "wallpaper/grid_geometry.h"
#include "wallpaper/search_item.h"
#include "wallpaper/wallpaper_apply_win.h"

namespace lumaforge {

// One row of the grid: five results and their cell pictures. The worker draws into a cell picture
// while the user-interface thread may paint it, so both go through the row's lock.
class TNodeInfos {
public:
    explicit TNodeInfos(TGridSize pictureSize);

    TGridSize PictureSize() const { return size_; }
    // Throws std::out_of_range "Index is out of bounds." outside 0..4.
    TSearchItem GetItem(int index) const;
    void SetItem(int index, const TSearchItem& item);
    // Copies the decoded picture into the cell picture at 1:1, cropped or centred.
    void DrawCentered(int index, const TDecodedPicture& picture);
    // Paints the cell picture at (x, y).
    void PaintPicture(int index, HDC dc, int x, int y) const;

private:
    static void CheckIndex(int index);
    TGridSize size_;
    mutable std::mutex lock_;
    std::array<TSearchItem, kThumbColumns> items_;
    std::array<std::vector<uint32_t>, kThumbColumns> pictures_;  // top-down BGRX, white at first
};

// The result grid of the wallpaper page: five thumbnails a row, fetched one at a time, in reading
// order, by one worker. The worker decodes a thumbnail on a second thread of its own while it fetches
// the next, since a decode costs about as much as a fetch from a near server.
//
// The keyboard moves a focused cell with the arrow keys, Home and End; Enter asks for the cell's
// preview as a click on its magnifier does.
//
// Lifetime: the worker's threads never touch the window; a decoded cell asks for its repaint
// through the grid's dispatcher and does not wait for it. FillTree, the window's destruction and
// the grid's own stop the worker and join both threads before any row goes.
class TThumbnailGrid : public PaintedWindow {
public:
    // No byte for this long ends a thumbnail; a stop request ends a waiting one at once.
    static constexpr int32_t kThumbnailTimeoutMs = 15000;

    struct CellClick {
        uint64_t generation = 0;  // which filling of the grid the click was on
        TGridCell cell;
        TClickZone zone = TClickZone::None;
        TSearchItem item;
    };

    explicit TThumbnailGrid(RefererClientFactory makeClient);
    ~TThumbnailGrid() override;

    bool Create(HWND parent, const RECT& bounds);

    // Replaces the rows with the results, five a row, and starts fetching their thumbnails. The
    // worker of the rows before has ended before any of them goes.
    void FillTree(const std::vector<TSearchItem>& items);
    // Tells the worker to stop and waits until it has ended; it never waits for this thread.
    void StopWorker();

    int RowCount() const { return static_cast<int>(rows_.size()); }
    std::optional<TSearchItem> Item(TGridCell cell) const;
    bool WorkerRunning() const { return worker_ && worker_->running > 0; }
    // Sets the flag of a cell of the filling it was clicked in; false when that filling is gone.
    bool MarkDownloaded(uint64_t generation, TGridCell cell);

    // A click in a cell, with the zone it hit.
    std::function<void(const CellClick&)> onCellClick;
    // The cell the keyboard is on; nothing before the grid has rows.
    std::optional<TGridCell> FocusedCell() const { return focused_; }

    void Paint(HDC dc, const RECT& client) override;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnScaleChanged(ScaleChange& change) override;

private:
    // A thumbnail fetched and not yet drawn.
    struct Fetched {
        std::shared_ptr<TNodeInfos> row;
        int column = 0;
        std::string bytes;
    };
    struct Worker {
        std::atomic<bool> stop{false};
        std::atomic<int> running{2};  // the fetching and the decoding thread
        std::mutex lock;
        std::condition_variable changed;
        std::deque<Fetched> fetched;  // in reading order
        bool fetchingDone = false;
        std::thread fetcher;
        std::thread decoder;
    };
    void RunWorker(Worker& worker, const std::vector<std::shared_ptr<TNodeInfos>>& rows);
    void RunDecoder(Worker& worker);
    void DownloadThumbnail(Worker& worker, const std::string& url, const std::shared_ptr<TNodeInfos>& row, int column);
    TGridLayout CurrentLayout() const;
    void SetHot(std::optional<TGridCell> cell);
    void SetFocusedCell(std::optional<TGridCell> cell);
    // A cell that holds a result; nothing past the last one.
    bool HasResult(TGridCell cell) const;
    bool HandleKey(WPARAM key);
    void Activate(TGridCell cell, TClickZone zone);
    void PaintCell(HDC dc, const TGridLayout& layout, TGridCell cell) const;

    RefererClientFactory makeClient_;
    // Carries the decoder's repaint requests to this thread; what is still queued when the grid
    // goes never runs.
    std::unique_ptr<WinUiDispatcher> repaints_;
    std::vector<std::shared_ptr<TNodeInfos>> rows_;
    std::unique_ptr<Worker> worker_;
    uint64_t generation_ = 0;
    std::optional<TGridCell> hot_;
    std::optional<TGridCell> focused_;
    int dpi_ = kBaseDpi;
    bool tracking_ = false;
};

}  // namespace lumaforge
