#include "controls/button_edit_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "base/unicode_win.h"
#include "controls/rect_win.h"
#include "controls/window_win.h"

namespace lumaforge {
namespace {
constexpr UINT_PTR kEditSubclassId = 1;
constexpr int kBorderWidth = 2;
constexpr int kCueLeft = 3;

// The frame of a bordered box: the line colour of the drawn boxes, a shade deeper.
constexpr Color kFrameColour = MakeColor(220, 202, 211);

// The messages after which the text may have changed, and with it whether the cue shows.
bool MayChangeText(UINT message) {
    switch (message) {
        case WM_CHAR:
        case WM_KEYDOWN:
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
        case WM_UNDO:
        case EM_UNDO:
        case WM_SETTEXT:
        case EM_REPLACESEL:
        case WM_IME_CHAR:
        case WM_IME_COMPOSITION:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            return true;
    }
    return false;
}

bool IsBlank(std::wstring_view text) {
    return text.find_first_not_of(L" \t\r\n\v\f") == std::wstring_view::npos;
}

HFONT WindowFont(HWND hwnd) {
    return reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
}

// The height of "|" in the font: one line of text, what the box centres.
int BarHeight(HDC dc, HFONT font) {
    ScopedSelectObject select(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    SIZE size{};
    GetTextExtentPoint32W(dc, L"|", 1, &size);
    return size.cy;
}

}  // namespace

ButtonEdit::ButtonEdit()
    : left_(*this, EditButton::Side::Left),
      right_(*this, EditButton::Side::Right),
      hintColor_(static_cast<Color>(GetSysColor(COLOR_GRAYTEXT))),
      textColor_(static_cast<Color>(GetSysColor(COLOR_WINDOWTEXT))),
      background_(static_cast<Color>(GetSysColor(COLOR_WINDOW))),
      backgroundBrush_(CreateSolidBrush(background_)) {}

ButtonEdit::~ButtonEdit() {
    Detach();
}

bool ButtonEdit::Create(HWND parent, const RECT& bounds, HFONT font, const std::wstring& text) {
    return Create(parent, bounds, font, text, Options{});
}

bool ButtonEdit::Create(HWND parent, const RECT& bounds, HFONT font, const std::wstring& text, const Options& options) {
    const DWORD align = options.align == Align::Right ? ES_RIGHT : options.align == Align::Center ? ES_CENTER : ES_LEFT;
    // A multi-line edit is the kind whose text rectangle can be set; Enter is kept from it below.
    const DWORD style = ES_MULTILINE | ES_AUTOHSCROLL | WS_CLIPCHILDREN | align | options.extraStyle;
    if (!EditBox::Create(parent, bounds, style, font, text))
        return false;
    HWND edit = Handle();
    border_ = options.border;
    SetWindowSubclass(edit, EditProc, kEditSubclassId, reinterpret_cast<DWORD_PTR>(this));
    attached_ = true;
    if (border_)
        SetWindowPos(edit, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    left_.CreateWindowIn(edit);
    right_.CreateWindowIn(edit);
    UpdateTextRect();
    return true;
}

void ButtonEdit::Detach() {
    if (!attached_)
        return;
    attached_ = false;
    RemoveWindowSubclass(Handle(), EditProc, kEditSubclassId);
}

void ButtonEdit::LayoutButtons() {
    left_.Place();
    right_.Place();
}

void ButtonEdit::UpdateTextRect() {
    HWND edit = Handle();
    if (!edit || !attached_)
        return;
    RECT rc{};
    GetClientRect(edit, &rc);
    rc.left += 1;
    rc.right -= 1;
    if (left_.Visible())
        rc.left = left_.GetMargins().left + rc.left + left_.Width() + left_.GetMargins().right;
    if (right_.Visible())
        rc.right = rc.right - right_.GetMargins().right - right_.Width() - right_.GetMargins().left;
    HDC dc = GetDC(edit);
    const int lineHeight = BarHeight(dc, WindowFont(edit));
    ReleaseDC(edit, dc);
    const int inset = (rc.bottom - rc.top - lineHeight) / 2;
    rc.top += inset;
    rc.bottom -= inset;
    SendMessageW(edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rc));
    InvalidateRect(edit, nullptr, TRUE);
}

void ButtonEdit::SetHintText(const std::wstring& text) {
    hintText_ = text;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void ButtonEdit::SetHintFont(HFONT font) {
    hintFont_ = font;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void ButtonEdit::SetHintColor(Color color) {
    hintColor_ = color;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void ButtonEdit::SetTextColor(Color color) {
    textColor_ = color;
    if (Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void ButtonEdit::SetBackgroundColor(Color color) {
    background_ = color;
    backgroundBrush_.Reset(CreateSolidBrush(color));
    if (Handle()) {
        InvalidateRect(Handle(), nullptr, TRUE);
        for (EditButton* button : {&left_, &right_})
            if (button->Handle())
                InvalidateRect(button->Handle(), nullptr, FALSE);
    }
}

bool ButtonEdit::CueVisible() const {
    HWND edit = Handle();
    return edit && !IsBlank(hintText_) && GetFocus() != edit && IsBlank(Text());
}

void ButtonEdit::SetValueSetting(const ValueSetting& setting) {
    const double value = FloatValue();
    const bool wasNumberOnly = setting_.valueType == vtNumberOnly;
    setting_ = setting;
    HWND edit = Handle();
    if (!edit)
        return;
    if (wasNumberOnly != (setting_.valueType == vtNumberOnly)) {
        const LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE);
        SetWindowLongPtrW(edit, GWL_STYLE, wasNumberOnly ? style & ~ES_NUMBER : style | ES_NUMBER);
    }
    if (setting_.valueType == vtFloat)
        SetText(ToWide(DisplayText(value, setting_)));
}

double ButtonEdit::FloatValue() const {
    return Handle() ? ParseValue(ToUtf8(Text())) : 0;
}

void ButtonEdit::SetFloatValue(double value) {
    SetText(ToWide(setting_.valueType == vtFloat ? DisplayText(value, setting_) : ShortestText(value)));
    SendMessageW(Handle(), EM_SETMODIFY, FALSE, 0);
}

bool ButtonEdit::KeyboardButtonClick() {
    // The right button first: where both show, it is the one that acts on the text (a browse).
    for (EditButton* button : {&right_, &left_}) {
        if (button->Visible() && button->Enabled() && button->Width() > 0 && button->Handle()) {
            ButtonClicked(button->side_);
            return true;
        }
    }
    return false;
}

void ButtonEdit::ButtonClicked(EditButton::Side side) {
    const auto& handler = side == EditButton::Side::Left ? onLeftButtonClick : onRightButtonClick;
    if (handler)
        handler();
}

void ButtonEdit::PaintCue(HDC dc) {
    if (!CueVisible())
        return;
    ScopedSaveDc saved(dc);
    SelectObject(dc, hintFont_ ? hintFont_ : WindowFont(Handle()));
    RECT client{};
    GetClientRect(Handle(), &client);
    SIZE bar{};
    GetTextExtentPoint32W(dc, L"|", 1, &bar);
    SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, hintColor_);
    TextOutW(dc, kCueLeft, (client.bottom - bar.cy) / 2, hintText_.c_str(), static_cast<int>(hintText_.size()));
}

void ButtonEdit::ApplyOutcome(const KeyOutcome& outcome, const std::wstring& text) {
    if (outcome.beep)
        MessageBeep(MB_OK);
    if (!outcome.modified)
        return;
    HWND edit = Handle();
    const std::wstring wide = ToWide(outcome.text);
    if (wide != text) {
        // Replacing the selection, as typing does, keeps the step undoable and marks the box modified.
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    const auto caret = static_cast<WPARAM>(ToWide(std::string_view(outcome.text).substr(0, outcome.caret)).size());
    SendMessageW(edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
    SendMessageW(edit, EM_SETMODIFY, TRUE, 0);
}

namespace {
struct Selection {
    std::string text;
    size_t start = 0, end = 0;
};

// The text and selection in UTF-8 offsets, as the numeric rules count them.
Selection ReadSelection(HWND edit, const std::wstring& text) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    start = std::min<DWORD>(start, static_cast<DWORD>(text.size()));
    end = std::min<DWORD>(std::max(start, end), static_cast<DWORD>(text.size()));
    Selection selection;
    selection.text = ToUtf8(text);
    selection.start = ToUtf8(std::wstring_view(text).substr(0, start)).size();
    selection.end = ToUtf8(std::wstring_view(text).substr(0, end)).size();
    return selection;
}
}  // namespace

LRESULT ButtonEdit::OnChar(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    wchar_t key = static_cast<wchar_t>(wParam);
    if (onKeyPress) {
        onKeyPress(key);
        if (key == 0 || !IsWindow(hwnd))
            return 0;
    }
    if (key == L'\r' || key == L'\n')
        return 0;
    if (setting_.valueType == vtString || setting_.valueType == vtNumberOnly)
        return DefSubclassProc(hwnd, WM_CHAR, key, lParam);
    const std::wstring text = Text();
    const Selection selection = ReadSelection(hwnd, text);
    const bool readOnly = (GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_READONLY) != 0;
    const KeyOutcome outcome = TypeKey(setting_, selection.text, selection.start, selection.end, key, readOnly);
    if (outcome.passOn)
        return DefSubclassProc(hwnd, WM_CHAR, key, lParam);
    ApplyOutcome(outcome, text);
    return 0;
}

LRESULT ButtonEdit::OnPaste(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_READONLY)
        return DefSubclassProc(hwnd, WM_PASTE, wParam, lParam);
    std::wstring clipboard;
    bool hasText = false;
    if (IsClipboardFormatAvailable(CF_UNICODETEXT) && OpenClipboard(hwnd)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                clipboard = chars;
                hasText = true;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    if (!hasText)
        return setting_.valueType == vtString ? DefSubclassProc(hwnd, WM_PASTE, wParam, lParam) : 0;
    const auto limit = static_cast<size_t>(SendMessageW(hwnd, EM_GETLIMITTEXT, 0, 0));
    const PasteOutcome outcome = PasteText(setting_, ToUtf8(clipboard), limit);
    switch (outcome.action) {
        case PasteOutcome::kPassOn:
            return DefSubclassProc(hwnd, WM_PASTE, wParam, lParam);
        case PasteOutcome::kReplaceSelection:
            SendMessageW(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(ToWide(outcome.text).c_str()));
            break;
        case PasteOutcome::kReplaceAll:
            SendMessageW(hwnd, EM_SETSEL, 0, -1);
            SendMessageW(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(ToWide(outcome.text).c_str()));
            break;
        case PasteOutcome::kRefuse:
            MessageBeep(MB_OK);
            break;
    }
    return 0;
}

LRESULT CALLBACK ButtonEdit::EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    return reinterpret_cast<ButtonEdit*>(data)->OnEditMessage(hwnd, message, wParam, lParam);
}

HBRUSH ButtonEdit::OnControlColor(HDC dc) {
    ::SetTextColor(dc, IsWindowEnabled(Handle()) ? textColor_ : GetSysColor(COLOR_GRAYTEXT));
    SetBkColor(dc, background_);
    return backgroundBrush_.Get();
}

LRESULT ButtonEdit::OnEditMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    switch (message) {
        case WM_GETDLGCODE: {
            // Tab moves on and Escape belongs to the window; Enter is wanted so that it reaches
            // onKeyPress even where the message loop runs the dialog-key handling.
            result = DefSubclassProc(hwnd, message, wParam, lParam) & ~(DLGC_WANTTAB | DLGC_WANTALLKEYS);
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
                result |= DLGC_WANTMESSAGE;
            return result;
        }
        case WM_CHAR:
            result = OnChar(hwnd, wParam, lParam);
            break;
        case WM_SYSKEYDOWN:
            // Alt+Down presses the box's button from the keyboard, as it opens a combo box's list.
            if (wParam == VK_DOWN && KeyboardButtonClick())
                return 0;
            result = DefSubclassProc(hwnd, message, wParam, lParam);
            break;
        case WM_KEYDOWN:
            // A multi-line edit inside a dialog closes its parent on Escape; this box is one line.
            if (wParam == VK_ESCAPE)
                return 0;
            if (wParam == VK_F4 && KeyboardButtonClick())
                return 0;
            if (wParam == VK_DELETE && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 &&
                setting_.valueType == vtFloat) {
                const std::wstring text = Text();
                const Selection selection = ReadSelection(hwnd, text);
                const bool readOnly = (GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_READONLY) != 0;
                const KeyOutcome outcome =
                    DeleteKey(setting_, selection.text, selection.start, selection.end, readOnly);
                if (!outcome.passOn) {
                    ApplyOutcome(outcome, text);
                    break;
                }
            }
            result = DefSubclassProc(hwnd, message, wParam, lParam);
            break;
        case WM_PASTE:
            result = OnPaste(hwnd, wParam, lParam);
            break;
        case WM_PAINT: {
            // The cue goes over what the edit painted, only where it painted.
            UniqueGdiObj<HRGN> update(CreateRectRgn(0, 0, 0, 0));
            const bool partial = !wParam && GetUpdateRgn(hwnd, update.Get(), FALSE) != ERROR;
            result = DefSubclassProc(hwnd, message, wParam, lParam);
            if (wParam) {
                PaintCue(reinterpret_cast<HDC>(wParam));
            } else if (CueVisible()) {
                HDC dc = GetDC(hwnd);
                if (partial)
                    SelectClipRgn(dc, update.Get());
                PaintCue(dc);
                ReleaseDC(hwnd, dc);
            }
            cueShown_ = CueVisible();
            return result;
        }
        case WM_PRINTCLIENT:
            result = DefSubclassProc(hwnd, message, wParam, lParam);
            PaintCue(reinterpret_cast<HDC>(wParam));
            return result;
        case WM_NCCALCSIZE:
            result = DefSubclassProc(hwnd, message, wParam, lParam);
            if (border_) {
                RECT* client =
                    wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
                InflateRect(client, -kBorderWidth, -kBorderWidth);
            }
            return result;
        case WM_NCPAINT:
            result = DefSubclassProc(hwnd, message, wParam, lParam);
            if (border_) {
                HDC dc = GetWindowDC(hwnd);
                const SIZE outer = WindowSize(hwnd);
                RECT frame{0, 0, outer.cx, outer.cy};
                // A flat frame in the colours of the program's drawn boxes, a pixel of the box's
                // own colour inside it.
                UniqueGdiObj<HBRUSH> line(CreateSolidBrush(kFrameColour));
                UniqueGdiObj<HBRUSH> inside(CreateSolidBrush(background_));
                FrameRect(dc, &frame, line.Get());
                InflateRect(&frame, -1, -1);
                FrameRect(dc, &frame, inside.Get());
                ReleaseDC(hwnd, dc);
            }
            return result;
        case WM_SIZE:
        case WM_SETFONT:
            // The edit resets its text rectangle (and, with a new font, its margins) here.
            result = DefSubclassProc(hwnd, message, wParam, lParam);
            if (message == WM_SETFONT)
                SendMessageW(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
            LayoutButtons();
            UpdateTextRect();
            return result;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            result = DefSubclassProc(hwnd, message, wParam, lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case WM_NCDESTROY:
            Detach();
            return DefSubclassProc(hwnd, message, wParam, lParam);
        case WM_SETTEXT:
            // A multi-line edit reports no change for text set from outside; a one-line edit
            // does, and the filter boxes rely on it.
            result = DefSubclassProc(hwnd, message, wParam, lParam);
            if (HWND parent = GetParent(hwnd); result && parent)
                SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), EN_CHANGE),
                             reinterpret_cast<LPARAM>(hwnd));
            break;
        default:
            result = DefSubclassProc(hwnd, message, wParam, lParam);
            break;
    }
    // Text changed by any route (typing, cutting, undo, WM_SETTEXT) may start or end the cue.
    if (MayChangeText(message) && attached_ && IsWindow(hwnd) && CueVisible() != cueShown_) {
        cueShown_ = !cueShown_;
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    return result;
}

}  // namespace lumaforge
