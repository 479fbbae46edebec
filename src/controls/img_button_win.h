#pragma once
#include <functional>
#include <memory>
#include <string>

#include "base/colors.h"
#include "controls/accessible_win.h"
#include "controls/button_window_win.h"
#include "controls/image_button_layout.h"
#include "controls/picture_win.h"
#include "controls/tool_tip_win.h"

namespace lumaforge {

// One picture per state that several buttons share; an empty one leaves a button's own.
struct TImgManager {
    std::shared_ptr<const Picture> normal, enter, down, disable, check;
};

// A button with a picture of its own for each state, drawn unscaled, with an optional caption
// beside it. Hovering moves the content up-left and pressing down-right by the offsets. Where the
// pictures are see-through the parent's background shows.
class TImgButton : public ButtonWindow, public AccessibleSource {
public:
    struct Pictures {
        std::shared_ptr<const Picture> normal, enter, down, disable;
    };

    bool Create(HWND parent, const RECT& bounds, const std::wstring& caption, HFONT font, Color color = 0);
    void SetPictures(Pictures pictures);
    void SetImgManager(const TImgManager* manager);
    void SetLayout(TImgControlLayout layout);
    void SetSpacing(int spacing);
    // How far the content moves while hovered (up-left) and pressed (down-right).
    void SetOffsets(int onEnter, int onDown);
    // Takes the size of the normal picture.
    void SetAutoSize(bool autoSize);
    void SetHint(const std::wstring& hint);

    // 0 normal, 1 hovered, 2 pressed.
    int State() const { return state_; }
    void Paint(HDC dc, const RECT& client) override;
    // A push button named by its caption, or by its window text (its hint) without one.
    AccessibleElement AccessibleSelf() const override;
    bool AccessibleDoDefaultAction(int item) override;
    std::function<void()> onClick;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PointerMoved(bool over) override;
    void PointerLeft() override;
    bool PressBegan() override;
    void PressEnded(bool click, bool over) override;
    void KeyClicked() override;

private:
    const Picture* Chosen() const;
    void SetState(int state);

    Pictures own_;
    const TImgManager* manager_ = nullptr;
    std::shared_ptr<const Picture> check_;
    TImgControlLayout layout_ = iclImgTop;
    int spacing_ = 2;
    int enterOffset_ = 1, downOffset_ = 1;
    bool autoSize_ = false;
    std::wstring caption_;
    HFONT font_ = nullptr;
    Color color_ = 0;
    int state_ = 0;
    ToolTip tip_;
};

}  // namespace lumaforge
