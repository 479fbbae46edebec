#pragma once
#include <functional>
#include <string>
#include <vector>

#include "base/colors.h"
#include "controls/window_win.h"

namespace lumaforge {

class CheckButton;

// Check buttons that behave as one radio group: checking one unchecks the others.
class ButtonGroup {
public:
    void Add(CheckButton* button) { buttons_.push_back(button); }
    void Check(CheckButton* button);

private:
    std::vector<CheckButton*> buttons_;
};

// An owner-drawn navigation button: a left-aligned caption, a tinted face while checked or under
// the pointer. A click checks it within its group and then runs onClick.
class CheckButton : public PaintedWindow {
public:
    struct Style {
        HFONT font = nullptr;
        Color color = 0;
        int borderSpace = 6;
    };

    bool Create(HWND parent, const RECT& bounds, const std::wstring& caption, const Style& style, ButtonGroup* group);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    void SetCaption(const std::wstring& caption);
    void SetStyle(const Style& style);
    void Click();
    void Paint(HDC dc, const RECT& client) override;

    std::function<void()> onClick;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::wstring caption_;
    Style style_;
    ButtonGroup* group_ = nullptr;
    int tag_ = 0;
    bool checked_ = false;
    bool hovered_ = false;
    bool pressed_ = false;
};

}  // namespace lumaforge
