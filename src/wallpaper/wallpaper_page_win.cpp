#include "wallpaper/wallpaper_page_win.h"

#include "base/unicode_win.h"
#include "res/resource_ids.h"

namespace lumaforge {
namespace {
constexpr int kSearchBarHeight = 27;
constexpr int kPageBarHeight = 30;
constexpr int kGridTop = 31;
constexpr int kGridMargin = 4;
}  // namespace

bool TFrmWallpaper::Create(HWND parent, const RECT& bounds, const ResourceStrings& strings, HFONT font) {
    if (!Panel::Create(parent, bounds))
        return false;
    HWND self = Handle();
    pnlSearch_ = std::make_unique<Panel>();
    pnlSearch_->Create(self, {0, 0, 629, kSearchBarHeight});
    HWND bar = pnlSearch_->Handle();
    Label::Style labelStyle{font, nullptr, RGB(0, 0, 0), palette::kWindow, Label::Align::Right};
    lblKeyWord_ = std::make_unique<Label>();
    lblKeyWord_->Create(bar, {0, 4, 72, 22}, strings.Get(IDS_SEARCH_KEY), labelStyle);
    edtKey_.Create(bar, {75, 2, 75 + 129, 22}, ES_AUTOHSCROLL | WS_TABSTOP, font, strings.Get(IDS_SEARCH_DEFAULT_KEY),
                   WS_EX_CLIENTEDGE);
    lblSize_ = std::make_unique<Label>();
    lblSize_->Create(bar, {210, 4, 274, 22}, strings.Get(IDS_SIZE), labelStyle);
    cbSize_.Create(bar, {277, 2, 277 + 95, 2 + 18 * 16}, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, font);
    sizePresets_ = MakeSizePresets(strings.GetUtf8(IDS_DESKTOP_SIZE), GetSystemMetrics(SM_CXSCREEN),
                                   GetSystemMetrics(SM_CYSCREEN));
    for (const TSizePreset& preset : sizePresets_)
        cbSize_.AddString(ToWide(preset.Caption));
    cbSize_.SetSelection(0);
    const wchar_t* engines[] = {L"baidu", L"youdao", L"sogou", L"google"};
    const int lefts[] = {376, 440, 504, 567};
    for (int i = 0; i < 4; ++i)
        engineButtons_[i].Create(bar, {lefts[i], 0, lefts[i] + 62, 24}, engines[i], font, WS_TABSTOP);

    vstResult_ = std::make_unique<Panel>();
    vstResult_->Create(self, {kGridMargin, kGridTop, kGridMargin + 624, kGridTop + 245});
    // Until the first search the advertisement panel covers the grid.
    pnlAD2_ = std::make_unique<Panel>();
    pnlAD2_->Create(self, {kGridMargin, kGridTop, kGridMargin + 624, kGridTop + 245}, palette::kWindow);
    pnlAD2_->SetFrame(GetSysColor(COLOR_BTNSHADOW));
    pnlPage_ = std::make_unique<Panel>();
    pnlPage_->Create(self, {0, 293, 629, 323});
    Layout();
    return true;
}

RECT TFrmWallpaper::GridBounds() const {
    RECT rc{};
    GetWindowRect(vstResult_->Handle(), &rc);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void TFrmWallpaper::Layout() {
    if (!pnlPage_)
        return;
    RECT client = ClientRect();
    const int width = client.right;
    const int gridHeight = client.bottom - kGridTop - kPageBarHeight - kGridMargin;
    pnlSearch_->SetBounds(0, 0, width, kSearchBarHeight);
    vstResult_->SetBounds(kGridMargin, kGridTop, width - 2 * kGridMargin, gridHeight);
    pnlAD2_->SetBounds(kGridMargin, kGridTop, width - 2 * kGridMargin, gridHeight);
    pnlPage_->SetBounds(0, client.bottom - kPageBarHeight, width, kPageBarHeight);
}

LRESULT TFrmWallpaper::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE)
        Layout();
    return Panel::OnMessage(message, wParam, lParam);
}

}  // namespace lumaforge
