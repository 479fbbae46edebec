#include "controls/img_button_win.h"

#include "base/handles_win.h"

namespace lumaforge {
namespace {

bool Has(const std::shared_ptr<const Picture>& picture) {
    return picture && !picture->Empty();
}

}  // namespace

bool TImgButton::Create(HWND parent, const RECT& bounds, const std::wstring& caption, HFONT font, Color color) {
    caption_ = caption;
    font_ = font;
    color_ = color;
    return CreateWindowOf(L"LumaforgeImgButton", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, parent, bounds, caption);
}

void TImgButton::SetPictures(Pictures pictures) {
    own_ = std::move(pictures);
    SetAutoSize(autoSize_);
    Invalidate();
}

void TImgButton::SetImgManager(const TImgManager* manager) {
    manager_ = manager;
    Invalidate();
}

void TImgButton::SetLayout(TImgControlLayout layout) {
    layout_ = layout;
    Invalidate();
}

void TImgButton::SetSpacing(int spacing) {
    spacing_ = static_cast<uint16_t>(spacing);
    Invalidate();
}

void TImgButton::SetOffsets(int onEnter, int onDown) {
    enterOffset_ = onEnter;
    downOffset_ = onDown;
}

void TImgButton::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (autoSize_ && Handle() && Has(own_.normal))
        SetWindowPos(Handle(), nullptr, 0, 0, own_.normal->Width(), own_.normal->Height(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TImgButton::SetHint(const std::wstring& hint) {
    tip_.Set(Handle(), hint);
}

const Picture* TImgButton::Chosen() const {
    // The manager's pictures first, each state falling back to the normal picture.
    auto pick = [&](const std::shared_ptr<const Picture>& own,
                    const std::shared_ptr<const Picture> TImgManager::*role) -> const Picture* {
        if (manager_ && Has(manager_->*role))
            return (manager_->*role).get();
        return Has(own) ? own.get() : nullptr;
    };
    const Picture* normal = pick(own_.normal, &TImgManager::normal);
    const Picture* chosen = normal;
    if (!IsWindowEnabled(Handle()))
        chosen = pick(own_.disable, &TImgManager::disable);
    else if (state_ == 1)
        chosen = pick(own_.enter, &TImgManager::enter);
    else if (state_ == 2)
        chosen = pick(own_.down, &TImgManager::down);
    else if (state_ == 3)
        chosen = pick(check_, &TImgManager::check);
    return chosen ? chosen : normal;
}

void TImgButton::Paint(HDC dc, const RECT& client) {
    PaintParentBackground(dc);
    const Picture* picture = Chosen();
    if (!picture)
        return;
    ScopedSelectObject font(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SIZE text{};
    if (!caption_.empty())
        GetTextExtentPoint32W(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text);
    const ImgButtonPlace place =
        PlaceImgButton({client.right, client.bottom, picture->Width(), picture->Height(), text.cx, text.cy,
                        !caption_.empty(), layout_, spacing_, state_, enterOffset_, downOffset_});
    // Unscaled: a size equal to the picture's own draws each pixel once.
    picture->Draw(dc, 0, static_cast<float>(place.imageX), static_cast<float>(place.imageY),
                  static_cast<float>(picture->Width()), static_cast<float>(picture->Height()));
    if (!caption_.empty()) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, color_);
        TextOutW(dc, place.textX, place.textY, caption_.c_str(), static_cast<int>(caption_.size()));
    }
    if (GetFocus() == Handle() && !(SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        RECT focus = client;
        InflateRect(&focus, -2, -2);
        DrawFocusRect(dc, &focus);
    }
}

void TImgButton::SetState(int state) {
    if (state_ == state)
        return;
    state_ = state;
    // At once, so the frame under the pointer follows it even while a click handler runs.
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TImgButton::PointerMoved(bool over) {
    if (!Holding())
        SetState(over ? 1 : 0);
}

void TImgButton::PointerLeft() {
    if (!Holding())
        SetState(0);
}

bool TImgButton::PressBegan() {
    SetState(2);
    return true;
}

void TImgButton::PressEnded(bool click, bool over) {
    if (click && onClick)
        onClick();  // still showing the down picture
    if (Handle())
        SetState(over ? 1 : 0);
}

void TImgButton::KeyClicked() {
    if (onClick)
        onClick();
}

LRESULT TImgButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ENABLE:
            CancelPress();
            state_ = 0;
            RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            return 0;
        case WM_DESTROY:
            tip_.Destroy();
            break;
    }
    return ButtonWindow::OnMessage(message, wParam, lParam);
}

AccessibleElement TImgButton::AccessibleSelf() const {
    AccessibleElement self;
    if (caption_.empty()) {
        wchar_t text[256] = {};
        GetWindowTextW(Handle(), text, 256);
        self.name = text;
    } else {
        self.name = WithoutAccessKeyMark(caption_);
    }
    self.role = ROLE_SYSTEM_PUSHBUTTON;
    self.state = state_ == 2 ? STATE_SYSTEM_PRESSED : state_ == 1 ? STATE_SYSTEM_HOTTRACKED : 0;
    self.defaultAction = L"Press";
    return self;
}

bool TImgButton::AccessibleDoDefaultAction(int item) {
    if (item >= 0 || !IsWindowEnabled(Handle()))
        return false;
    PostMessageW(Handle(), BM_CLICK, 0, 0);
    return true;
}

}  // namespace lumaforge
