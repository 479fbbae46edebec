#include "controls/image_button_win.h"

#include <objidl.h>

#include <algorithm>

#include <gdiplus.h>

#include "base/handles_win.h"
#include "controls/scale_change_win.h"
#include "controls/strip_drawing_win.h"

namespace lumaforge {

TChangeLink::~TChangeLink() {
    if (sender_)
        sender_->RemoveChangeLink(*this);
}

TImageManager::~TImageManager() {
    while (!links_.empty())
        RemoveChangeLink(*links_.back());
}

void TImageManager::SetImageBorder(std::shared_ptr<const Picture> picture) {
    border_ = std::move(picture);
    Change();
}

void TImageManager::SetImageGlyph(std::shared_ptr<const Picture> picture) {
    glyph_ = std::move(picture);
    Change();
}

void TImageManager::AddChangeLink(TChangeLink& link) {
    link.sender_ = this;
    links_.push_back(&link);
}

void TImageManager::RemoveChangeLink(TChangeLink& link) {
    auto found = std::find(links_.begin(), links_.end(), &link);
    if (found == links_.end())
        return;
    link.sender_ = nullptr;
    links_.erase(found);
}

void TImageManager::Change() {
    // A handler may not add or remove links; copying keeps the loop safe if one does anyway.
    const std::vector<TChangeLink*> links = links_;
    for (TChangeLink* link : links)
        if (link->onChange)
            link->onChange(*this);
}

namespace {

bool HasPixels(const std::shared_ptr<const Picture>& picture) {
    return picture && !picture->Empty();
}

}  // namespace

TImageCtrl::TImageCtrl() {
    link_.onChange = [this](TImageManager& sender) { ApplyManagerImages(sender); };
}

TImageCtrl::~TImageCtrl() = default;

bool TImageCtrl::Create(HWND parent, const RECT& bounds, const std::wstring& caption, HFONT font, Color color) {
    caption_ = caption;
    SetFont(font, color);
    return CreateWindowOf(L"LumaforgeImageButton", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, parent, bounds, caption);
}

void TImageCtrl::SetImageManager(TImageManager* manager) {
    if (TImageManager* old = link_.Sender())
        old->RemoveChangeLink(link_);
    if (!manager)
        return;
    manager->AddChangeLink(link_);
    ApplyManagerImages(*manager);
}

void TImageCtrl::ApplyManagerImages(TImageManager& sender) {
    if (&sender != link_.Sender())
        return;
    // An empty picture in the manager leaves the button's own one.
    if (HasPixels(sender.ImageBorder()))
        border_ = sender.ImageBorder();
    if (HasPixels(sender.ImageGlyph()))
        glyph_ = sender.ImageGlyph();
    Invalidate();
}

void TImageCtrl::SetImageBorder(std::shared_ptr<const Picture> picture) {
    border_ = std::move(picture);
    Invalidate();
}

void TImageCtrl::SetImageGlyph(std::shared_ptr<const Picture> picture) {
    glyph_ = std::move(picture);
    Invalidate();
}

void TImageCtrl::SetBorderStretch(THorzStretchType horz, TVertStretchType vert) {
    horzStretch_ = horz;
    vertStretch_ = vert;
}

namespace {
template <typename T>
bool Store(T& field, T value) {
    if (field == value)
        return false;
    field = value;
    return true;
}
}  // namespace

void TImageCtrl::SetGlyphLayout(TGlyphLayout layout) {
    if (Store(glyphLayout_, layout))
        Invalidate();
}
void TImageCtrl::SetGlyphSpace(int space) {
    if (Store(glyphSpace_, space))
        Invalidate();
}
void TImageCtrl::SetGlyphNumber(int frames) {
    // No frames would divide by zero: such a strip is one frame.
    if (Store(glyphNumber_, std::max(frames, 1)))
        Invalidate();
}
void TImageCtrl::SetAlignment(TAlignment alignment) {
    if (Store(alignment_, alignment))
        Invalidate();
}
void TImageCtrl::SetBorderSpace(int space) {
    if (Store(borderSpace_, space))
        Invalidate();
}
void TImageCtrl::SetContentOffsetY(int offset) {
    if (Store(contentOffsetY_, offset))
        Invalidate();
}

void TImageCtrl::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    if (Handle())
        SetWindowTextW(Handle(), caption.c_str());
    Invalidate();
}

void TImageCtrl::SetFont(HFONT font, Color color) {
    font_ = font;
    color_ = color;
    captionFont_.reset();
    if (font) {
        HDC screen = GetDC(nullptr);
        captionFont_ = std::make_unique<Gdiplus::Font>(screen, font);
        ReleaseDC(nullptr, screen);
        if (captionFont_->GetLastStatus() != Gdiplus::Ok)
            captionFont_.reset();
    }
    captionBrush_ = std::make_unique<Gdiplus::SolidBrush>(
        Gdiplus::Color(255, GetRValue(color), GetGValue(color), GetBValue(color)));
    Invalidate();
}

void TImageCtrl::OnScaleChanged(ScaleChange& change) {
    dpi_ = change.dpi;
    border_ = change.Picture(border_);
    glyph_ = change.Picture(glyph_);
    SetFont(change.Font(font_), color_);
}

bool TImageCtrl::CaptionFits() const {
    if (caption_.empty() || !captionFont_)
        return true;
    RECT client = ClientRect();
    HDC screen = GetDC(nullptr);
    bool fits = true;
    {
        Gdiplus::Graphics surface(screen);
        surface.SetTextRenderingHint(Gdiplus::TextRenderingHintSystemDefault);
        Gdiplus::StringFormat format;
        format.SetHotkeyPrefix(Gdiplus::HotkeyPrefixShow);
        Gdiplus::RectF measured;
        surface.MeasureString(caption_.c_str(), -1, captionFont_.get(), Gdiplus::PointF(0, 0), &format, &measured);
        const int borderSpace = ScaleLength(borderSpace_, dpi_);
        if (HasPixels(glyph_)) {
            const GlyphCaptionInput in{client.right,
                                       client.bottom,
                                       glyph_->Width() / glyphNumber_,
                                       glyph_->Height(),
                                       measured.Width,
                                       measured.Height,
                                       glyphLayout_,
                                       alignment_,
                                       ScaleLength(glyphSpace_, dpi_),
                                       borderSpace,
                                       ScaleLength(contentOffsetY_, dpi_)};
            const GlyphCaptionPlace place = PlaceGlyphAndCaption(in);
            fits = place.textX >= 0 && place.textX + measured.Width <= client.right + 0.5f &&
                   measured.Height <= client.bottom;
        } else {
            const CaptionBox box = CaptionOnlyBox(client.right, client.bottom, alignment_, borderSpace,
                                                  ScaleLength(contentOffsetY_, dpi_));
            fits = box.x >= 0 && box.x + measured.Width <= client.right + 0.5f && measured.Height <= client.bottom;
        }
    }
    ReleaseDC(nullptr, screen);
    return fits;
}

void TImageCtrl::SetHint(const std::wstring& hint) {
    hint_ = hint;
    tip_.Set(Handle(), hint_);
}

void TImageCtrl::SetEnabled(bool enabled) {
    EnableWindow(Handle(), enabled);
}

bool TImageCtrl::Enabled() const {
    return IsWindowEnabled(Handle()) != FALSE;
}

void TImageCtrl::Click() {
    if (onClick)
        onClick();
}

void TImageCtrl::Paint(HDC dc, const RECT& client) {
    PaintParentBackground(dc);
    DrawContent(dc, client);
    if (GetFocus() == Handle() && !(SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        RECT focus = client;
        InflateRect(&focus, -3, -3);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focus);
    }
}

void TImageCtrl::DrawContent(HDC dc, const RECT& client) {
    const int width = client.right, height = client.bottom;
    Gdiplus::Graphics surface(dc);
    surface.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    surface.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    const int frame = states_.PaintState(Enabled());
    if (HasPixels(border_))
        StretchDrawFrame(*border_->Frame(0), surface, width, height, horzStretch_, vertStretch_, border_->Width() / 5,
                         frame);
    surface.SetTextRenderingHint(Gdiplus::TextRenderingHintSystemDefault);
    Gdiplus::StringFormat format;
    format.SetHotkeyPrefix(Gdiplus::HotkeyPrefixShow);
    if (HasPixels(glyph_)) {
        const int glyphWidth = glyph_->Width() / glyphNumber_;
        const int glyphHeight = glyph_->Height();
        Gdiplus::RectF measured;
        if (!caption_.empty() && captionFont_ &&
            surface.MeasureString(caption_.c_str(), -1, captionFont_.get(), Gdiplus::PointF(0, 0), &format,
                                  &measured) != Gdiplus::Ok)
            return;
        GlyphCaptionInput in{width,
                             height,
                             glyphWidth,
                             glyphHeight,
                             measured.Width,
                             measured.Height,
                             glyphLayout_,
                             alignment_,
                             ScaleLength(glyphSpace_, dpi_),
                             ScaleLength(borderSpace_, dpi_),
                             ScaleLength(contentOffsetY_, dpi_)};
        const GlyphCaptionPlace place = PlaceGlyphAndCaption(in);
        const int g = StripFrame(frame, glyphNumber_);
        surface.DrawImage(glyph_->Frame(0), Gdiplus::Rect(place.glyphX, place.glyphY, glyphWidth, glyphHeight),
                          g * glyphWidth, 0, glyphWidth, glyphHeight, Gdiplus::UnitPixel);
        if (!caption_.empty() && captionFont_)
            surface.DrawString(caption_.c_str(), -1, captionFont_.get(), Gdiplus::PointF(place.textX, place.textY),
                               &format, captionBrush_.get());
        return;
    }
    if (caption_.empty() || !captionFont_)
        return;
    const CaptionBox box =
        CaptionOnlyBox(width, height, alignment_, ScaleLength(borderSpace_, dpi_), ScaleLength(contentOffsetY_, dpi_));
    format.SetAlignment(box.alignment == taLeftJustify    ? Gdiplus::StringAlignmentNear
                        : box.alignment == taRightJustify ? Gdiplus::StringAlignmentFar
                                                          : Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    const Gdiplus::RectF layout(static_cast<float>(box.x), static_cast<float>(box.y), static_cast<float>(box.width),
                                static_cast<float>(box.height));
    surface.DrawString(caption_.c_str(), -1, captionFont_.get(), layout, &format, captionBrush_.get());
}

AccessibleElement TImageCtrl::AccessibleSelf() const {
    AccessibleElement self;
    self.name = caption_.empty() ? hint_ : WithoutAccessKeyMark(caption_);
    self.role = ROLE_SYSTEM_PUSHBUTTON;
    if (states_.Pressed())
        self.state |= STATE_SYSTEM_PRESSED;
    if (states_.State() == istHot)
        self.state |= STATE_SYSTEM_HOTTRACKED;
    self.defaultAction = L"Press";
    return self;
}

bool TImageCtrl::AccessibleDoDefaultAction(int item) {
    if (item >= 0 || !Enabled())
        return false;
    // The click runs once the screen reader's call has returned, as the access key's does.
    PostMessageW(Handle(), BM_CLICK, 0, 0);
    return true;
}

void TImageCtrl::PointerMoved(bool over) {
    if (over ? states_.MouseEnter() : states_.MouseLeave())
        Invalidate();
}

void TImageCtrl::PointerLeft() {
    if (states_.MouseLeave())
        Invalidate();
}

bool TImageCtrl::PressBegan() {
    if (states_.LeftDown())
        Invalidate();
    return true;
}

void TImageCtrl::PressEnded(bool click, bool over) {
    if (click) {
        // The click sees the down frame; the release is handled after it.
        Click();
        if (!Handle())
            return;
    }
    states_.LeftUp(over);
    Invalidate();
}

void TImageCtrl::KeyClicked() {
    Click();
}

LRESULT TImageCtrl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ENABLE:
            CancelPress();
            states_.EnabledChanged();
            Invalidate();
            return 0;
        case WM_DESTROY:
            tip_.Destroy();
            break;
    }
    return ButtonWindow::OnMessage(message, wParam, lParam);
}

void TImageCheckButton::SetCheckState(bool checked) {
    checked_ = checked;
    states_.SetChecked(checked);
    Invalidate();
    NotifyAccessible(Handle(), EVENT_OBJECT_STATECHANGE);
}

AccessibleElement TImageCheckButton::AccessibleSelf() const {
    AccessibleElement self = TImageCtrl::AccessibleSelf();
    self.role = ROLE_SYSTEM_RADIOBUTTON;
    // Only the checked one is a Tab stop; the arrows reach the others.
    self.state |= STATE_SYSTEM_FOCUSABLE;
    if (checked_)
        self.state |= STATE_SYSTEM_CHECKED;
    self.defaultAction = L"Check";
    return self;
}

void TImageCheckButton::SetChecked(bool checked) {
    if (checked == checked_)
        return;
    if (HWND parent = Handle() ? GetParent(Handle()) : nullptr) {
        for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            auto* other = dynamic_cast<TImageCheckButton*>(Window::FromHandle(child));
            if (!other || other == this || other->checkGroup_ != checkGroup_ || !other->checked_)
                continue;
            other->SetCheckState(false);
            if (onCheckChanged)
                onCheckChanged(*other);
        }
    }
    SetCheckState(checked);
    UpdateGroupTabStops();
    if (checked && onCheckChanged)
        onCheckChanged(*this);
}

std::vector<TImageCheckButton*> TImageCheckButton::Group() const {
    std::vector<TImageCheckButton*> group;
    const HWND parent = Handle() ? GetParent(Handle()) : nullptr;
    if (!parent)
        return group;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        auto* button = dynamic_cast<TImageCheckButton*>(Window::FromHandle(child));
        if (button && button->checkGroup_ == checkGroup_)
            group.push_back(button);
    }
    return group;
}

void TImageCheckButton::UpdateGroupTabStops() {
    const std::vector<TImageCheckButton*> group = Group();
    const bool anyChecked = std::any_of(group.begin(), group.end(), [](auto* b) { return b->checked_; });
    for (TImageCheckButton* button : group) {
        const LONG_PTR style = GetWindowLongPtrW(button->Handle(), GWL_STYLE);
        const bool stop = !anyChecked || button->checked_;
        SetWindowLongPtrW(button->Handle(), GWL_STYLE, stop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
}

void TImageCheckButton::FocusNeighbour(bool forward) {
    std::vector<HWND> group;
    for (TImageCheckButton* button : Group()) {
        const HWND child = button->Handle();
        if (child == Handle() || (IsWindowVisible(child) && IsWindowEnabled(child)))
            group.push_back(child);
    }
    const auto self = std::find(group.begin(), group.end(), Handle());
    if (group.size() < 2 || self == group.end())
        return;
    const size_t at = static_cast<size_t>(self - group.begin());
    const size_t next = forward ? (at + 1) % group.size() : (at + group.size() - 1) % group.size();
    SetFocus(group[next]);
}

LRESULT TImageCheckButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DrawnButtonDialogCode(lParam) | DLGC_WANTARROWS;
        case WM_KEYDOWN:
            if (wParam == VK_DOWN || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_LEFT) {
                FocusNeighbour(wParam == VK_DOWN || wParam == VK_RIGHT);
                return 0;
            }
            break;
    }
    return TImageCtrl::OnMessage(message, wParam, lParam);
}

void TImageCheckButton::Click() {
    TImageCtrl::Click();
    if (!checked_)
        SetChecked(true);
    states_.ClearPressed();
}

}  // namespace lumaforge
