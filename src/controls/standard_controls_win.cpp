#include "controls/standard_controls_win.h"

#include <commctrl.h>

namespace lumaforge {
namespace {
constexpr wchar_t kOwnerProperty[] = L"Lumaforge.StandardControl";
}

StandardControl::~StandardControl() {
    // The control may have gone with its parent already; then the handle names nothing of ours.
    if (FromHandle(hwnd_) == this) {
        RemovePropW(hwnd_, kOwnerProperty);
        DestroyWindow(hwnd_);
    }
}

bool StandardControl::Create(const wchar_t* className, HWND parent, const RECT& bounds, const std::wstring& text,
                             DWORD style, HFONT font, DWORD exStyle) {
    hwnd_ = CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, bounds.left, bounds.top,
                            bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_)
        return false;
    SetPropW(hwnd_, kOwnerProperty, this);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return true;
}

std::wstring StandardControl::Text() const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void StandardControl::SetText(const std::wstring& text) {
    SetWindowTextW(hwnd_, text.c_str());
}

void StandardControl::SetVisible(bool visible) {
    ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

StandardControl* StandardControl::FromHandle(HWND hwnd) {
    return hwnd && IsWindow(hwnd) ? static_cast<StandardControl*>(GetPropW(hwnd, kOwnerProperty)) : nullptr;
}

bool EditBox::Create(HWND parent, const RECT& bounds, DWORD style, HFONT font, const std::wstring& text,
                     DWORD exStyle) {
    return StandardControl::Create(L"EDIT", parent, bounds, text, style, font, exStyle);
}

void EditBox::OnNotify(int code) {
    if (code == EN_CHANGE && onChange)
        onChange();
}

bool PushButton::Create(HWND parent, const RECT& bounds, const std::wstring& caption, HFONT font, DWORD style) {
    return StandardControl::Create(L"BUTTON", parent, bounds, caption, BS_PUSHBUTTON | style, font);
}

void PushButton::OnNotify(int code) {
    if (code == BN_CLICKED && onClick)
        onClick();
}

bool ComboBox::Create(HWND parent, const RECT& bounds, DWORD style, HFONT font) {
    return StandardControl::Create(L"COMBOBOX", parent, bounds, L"", style, font);
}

void ComboBox::AddString(const std::wstring& text) {
    SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ComboBox::SetSelection(int index) {
    SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ComboBox::Selection() const {
    return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
}

}  // namespace lumaforge
