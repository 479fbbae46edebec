#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace lumaforge {

// A standard Windows control (edit, button, combo box, list view) owned by this object: created in
// the given font and destroyed with the object. The notifications it sends its parent come back to
// it (the parent's window base reflects them), so its owner can bind them to callbacks.
class StandardControl {
public:
    StandardControl() = default;
    virtual ~StandardControl();
    StandardControl(const StandardControl&) = delete;
    StandardControl& operator=(const StandardControl&) = delete;

    bool Create(const wchar_t* className, HWND parent, const RECT& bounds, const std::wstring& text, DWORD style,
                HFONT font, DWORD exStyle = 0);
    HWND Handle() const { return hwnd_; }
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    void SetVisible(bool visible);

    // The object behind a control created here; nothing for any other window.
    static StandardControl* FromHandle(HWND hwnd);
    // A WM_COMMAND notification code the control sent its parent.
    virtual void OnNotify(int /*code*/) {}
    // The control's own colours for its text and background (WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC):
    // the background brush, or nothing to leave them to the parent.
    virtual HBRUSH OnControlColor(HDC /*dc*/) { return nullptr; }

private:
    HWND hwnd_ = nullptr;
};

class EditBox : public StandardControl {
public:
    bool Create(HWND parent, const RECT& bounds, DWORD style, HFONT font, const std::wstring& text = {},
                DWORD exStyle = 0);
    std::function<void()> onChange;

private:
    void OnNotify(int code) override;
};

class PushButton : public StandardControl {
public:
    bool Create(HWND parent, const RECT& bounds, const std::wstring& caption, HFONT font, DWORD style = 0);
    std::function<void()> onClick;

private:
    void OnNotify(int code) override;
};

class ComboBox : public StandardControl {
public:
    bool Create(HWND parent, const RECT& bounds, DWORD style, HFONT font);
    void AddString(const std::wstring& text);
    void SetSelection(int index);
    int Selection() const;
};

}  // namespace lumaforge
