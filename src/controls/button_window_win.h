#pragma once
#include "controls/window_win.h"

namespace lumaforge {

// A window that acts as a button: it follows the pointer in and out, holds the mouse from a left
// press to its release and, when it takes the keyboard, presses on Space and clicks on Enter and on
// its access key. What a hover, a press and a release look like and do is the subclass's.
class ButtonWindow : public PaintedWindow {
protected:
    // The pointer moved, over the window or (while the button is held) elsewhere.
    virtual void PointerMoved(bool over) = 0;
    virtual void PointerLeft() = 0;
    // A left press or Space; false when there is no press to hold (the press did something else).
    virtual bool PressBegan() = 0;
    // The end of a press: `click` when it was released over the window (or Space came up), not when
    // it was released elsewhere or taken away; `over` whether the pointer is over the window now.
    virtual void PressEnded(bool click, bool over) = 0;
    // Enter and the access key: a click without a press.
    virtual void KeyClicked() {}

    // Buttons that take the focus answer the keyboard; the others leave it to their owner.
    void SetTakesKeyboard(bool takes) { takesKeyboard_ = takes; }
    bool Holding() const { return mouseHeld_ || keyHeld_; }
    // Ends a press without a release, as when the button is disabled.
    void CancelPress();

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool PointerOver(LPARAM lParam) const;
    bool PointerOverNow() const;

    bool takesKeyboard_ = true;
    bool tracking_ = false;
    bool mouseHeld_ = false;
    bool keyHeld_ = false;
};

}  // namespace lumaforge
