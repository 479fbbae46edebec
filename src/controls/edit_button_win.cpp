#include "controls/edit_button_win.h"

#include <commctrl.h>

#include <cstring>

#include "controls/button_edit_win.h"
#include "controls/button_window_win.h"
#include "controls/rect_win.h"

namespace lumaforge {
namespace {
constexpr int kFrameCount = 4;
constexpr int kDisabledFrame = 3;
constexpr UINT kMsgAccessibleClick = WM_APP + 1;

// A DIB section holding the pixels of a .bmp file; nothing when the bytes are no plain bitmap.
UniqueGdiObj<HBITMAP> BitmapFromFile(std::string_view bytes) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    if (bytes.size() < sizeof file + sizeof info)
        return {};
    std::memcpy(&file, bytes.data(), sizeof file);
    std::memcpy(&info, bytes.data() + sizeof file, sizeof info);
    const bool knownDepth = info.biBitCount == 1 || info.biBitCount == 4 || info.biBitCount == 8 ||
                            info.biBitCount == 16 || info.biBitCount == 24 || info.biBitCount == 32;
    if (file.bfType != 0x4D42 || info.biSize < sizeof info || info.biWidth <= 0 || info.biHeight == 0 ||
        info.biWidth > 0x4000 || info.biHeight > 0x4000 || info.biHeight < -0x4000 || info.biPlanes != 1 ||
        !knownDepth || (info.biCompression != BI_RGB && info.biCompression != BI_BITFIELDS))
        return {};
    const size_t stride = ((static_cast<size_t>(info.biWidth) * info.biBitCount + 31) / 32) * 4;
    const size_t size = stride * static_cast<size_t>(info.biHeight < 0 ? -info.biHeight : info.biHeight);
    if (file.bfOffBits < sizeof file + info.biSize || file.bfOffBits > bytes.size() ||
        bytes.size() - file.bfOffBits < size)
        return {};
    // The header, its masks and its colour table are read in place, as CreateDIBSection wants them.
    std::string header(bytes.substr(sizeof file, file.bfOffBits - sizeof file));
    void* bits = nullptr;
    UniqueGdiObj<HBITMAP> bitmap(CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(header.data()),
                                                  DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return {};
    std::memcpy(bits, bytes.data() + file.bfOffBits, size);
    return bitmap;
}
}  // namespace

// The visible button: a child window of the edit that paints its frame through a back buffer and
// turns mouse input into the state changes and clicks of its EditButton.
class EditButtonWindow : public ButtonWindow, public AccessibleSource {
public:
    explicit EditButtonWindow(EditButton& owner) : owner_(owner) { SetTakesKeyboard(false); }

    // A push button named by its hint (the edit's cue text where it has none), so a screen reader
    // can tell and press it though it never takes the focus.
    AccessibleElement AccessibleSelf() const override {
        AccessibleElement self;
        self.name = owner_.hint_.empty() ? owner_.edit_.HintText() : owner_.hint_;
        self.role = ROLE_SYSTEM_PUSHBUTTON;
        self.state = owner_.state_ == bsPushed ? STATE_SYSTEM_PRESSED
                     : owner_.state_ == bsHot  ? STATE_SYSTEM_HOTTRACKED
                                               : 0;
        // A button without a picture takes no room: nothing a reader could show.
        if (owner_.Width() <= 0)
            self.state |= STATE_SYSTEM_INVISIBLE;
        self.defaultAction = L"Press";
        return self;
    }
    bool AccessibleDoDefaultAction(int item) override {
        if (item >= 0 || !owner_.enabled_)
            return false;
        // The click runs once the screen reader's call has returned: it may open a dialogue.
        PostMessageW(Handle(), kMsgAccessibleClick, 0, 0);
        return true;
    }

    bool Create(HWND edit) {
        return CreateWindowOf(L"LumaforgeEditButton", WS_CHILD | WS_CLIPSIBLINGS, 0, edit, {0, 0, 20, 0});
    }
    void Paint(HDC dc, const RECT& client) override { owner_.Paint(dc, client); }

protected:
    // A move queued while the button held the capture can arrive after the release, from outside:
    // only a move over the button makes it hot.
    void PointerMoved(bool over) override {
        if (Holding())
            owner_.SetState(over ? bsPushed : bsNormal);
        else
            owner_.SetState(over ? bsHot : bsNormal);
    }
    void PointerLeft() override {
        if (!Holding())
            owner_.SetState(bsNormal);
    }
    bool PressBegan() override {
        if (owner_.dropDownMenu_) {
            owner_.ShowDropDown();
            return false;
        }
        owner_.Press();
        return true;
    }
    void PressEnded(bool click, bool) override { owner_.Release(click); }

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_SETCURSOR:
                // Without this the edit's text cursor would show over the button.
                SetCursor(LoadCursorW(nullptr, IDC_ARROW));
                return TRUE;
            case WM_ENABLE:
                Invalidate();
                return 0;
            case kMsgAccessibleClick:
                if (owner_.enabled_)
                    owner_.Click();
                return 0;
        }
        return ButtonWindow::OnMessage(message, wParam, lParam);
    }

private:
    EditButton& owner_;
};

EditButton::EditButton(ButtonEdit& edit, Side side) : edit_(edit), side_(side) {}

EditButton::~EditButton() = default;

HWND EditButton::Handle() const {
    return window_ ? window_->Handle() : nullptr;
}

void EditButton::CreateWindowIn(HWND edit) {
    window_ = std::make_unique<EditButtonWindow>(*this);
    window_->Create(edit);
    EnableWindow(window_->Handle(), enabled_);
    if (!hint_.empty())
        SetHint(hint_);
    Place();
    if (visible_)
        ShowWindow(window_->Handle(), SW_SHOWNA);
}

void EditButton::SetImage(HBITMAP strip) {
    image_.Reset(strip ? static_cast<HBITMAP>(CopyImage(strip, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)) : nullptr);
    ImageChanged();
}

bool EditButton::SetImageBytes(std::string_view bmpFile) {
    image_ = BitmapFromFile(bmpFile);
    ImageChanged();
    return HasImage();
}

void EditButton::ImageChanged() {
    BITMAP info{};
    if (image_ && GetObjectW(image_.Get(), sizeof info, &info)) {
        frameWidth_ = info.bmWidth / kFrameCount;
        imageHeight_ = info.bmHeight;
    } else {
        frameWidth_ = imageHeight_ = 0;
    }
    if (autoWidth_) {
        Place();
        edit_.UpdateTextRect();
    }
    if (Handle())
        InvalidateRect(Handle(), nullptr, FALSE);
}

void EditButton::SetWidth(int width) {
    width_ = std::max(width, 0);
    if (!autoWidth_) {
        Place();
        edit_.UpdateTextRect();
    }
}

void EditButton::SetAutoWidth(bool autoWidth) {
    autoWidth_ = autoWidth;
    Place();
    edit_.UpdateTextRect();
}

void EditButton::SetMargins(const Margins& margins) {
    margins_ = margins;
    Place();
    edit_.UpdateTextRect();
}

void EditButton::SetVisible(bool visible) {
    visible_ = visible;
    if (Handle()) {
        Place();
        ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
    }
    edit_.UpdateTextRect();
}

void EditButton::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled)
        state_ = bsNormal;
    if (Handle()) {
        EnableWindow(Handle(), enabled);
        InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void EditButton::SetHint(const std::wstring& hint) {
    hint_ = hint;
    tip_.Set(Handle(), hint_);
}

void EditButton::Place() {
    HWND edit = edit_.Handle();
    if (!Handle() || !edit)
        return;
    const SIZE outer = WindowSize(edit);
    const int width = Width();
    const int x = side_ == Side::Left ? margins_.left : outer.cx - width - margins_.right;
    const int height = std::max(static_cast<int>(outer.cy) - margins_.top - margins_.bottom, 0);
    SetWindowPos(Handle(), nullptr, x, margins_.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void EditButton::SetState(TButtonState state) {
    if (state_ == state)
        return;
    state_ = state;
    if (Handle())
        InvalidateRect(Handle(), nullptr, FALSE);
}

void EditButton::Paint(HDC dc, const RECT& client) {
    UniqueGdiObj<HBRUSH> brush(CreateSolidBrush(edit_.BackgroundColor()));
    FillRect(dc, &client, brush.Get());
    if (image_ && frameWidth_ > 0) {
        const int frame = enabled_ ? static_cast<int>(state_) : kDisabledFrame;
        UniqueMemoryDc source(CreateCompatibleDC(dc));
        ScopedSelectObject select(source.Get(), image_.Get());
        BitBlt(dc, (client.right - frameWidth_) / 2, (client.bottom - imageHeight_) / 2, frameWidth_, imageHeight_,
               source.Get(), frame * frameWidth_, 0, SRCCOPY);
    }
    if (onPaint) {
        ScopedSaveDc saved(dc);
        onPaint(dc, client, state_);
    }
}

void EditButton::Press() {
    SetState(bsPushed);
}

void EditButton::Click() {
    edit_.ButtonClicked(side_);
}

void EditButton::Release(bool over) {
    SetState(over && enabled_ ? bsHot : bsNormal);
    if (over && enabled_)
        edit_.ButtonClicked(side_);
}

void EditButton::ShowDropDown() {
    POINT at{0, WindowSize(edit_.Handle()).cy};
    ClientToScreen(Handle(), &at);
    const int command =
        TrackPopupMenu(dropDownMenu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, at.x, at.y, 0, Handle(), nullptr);
    if (command != 0 && onMenuCommand)
        onMenuCommand(command);
}

}  // namespace lumaforge
