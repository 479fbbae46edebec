#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/handles_win.h"
#include "controls/tool_tip_win.h"

namespace lumaforge {

class ButtonEdit;
class EditButtonWindow;

enum TButtonState : uint8_t { bsNormal = 0, bsHot = 1, bsPushed = 2 };

// One of the two image buttons inside a ButtonEdit, at its left or right edge. The picture is a
// strip of four equally wide frames: normal, hot, pushed, disabled. The button window never takes
// the keyboard focus; the edit keeps its place in the Tab order, and F4 or Alt+Down in the edit
// clicks its button.
class EditButton {
public:
    enum class Side : uint8_t { Left, Right };
    struct Margins {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    // Drawn after the picture, in the button's client coordinates; `state` is never the disabled frame.
    using PaintHandler = std::function<void(HDC dc, const RECT& bounds, TButtonState state)>;

    EditButton(ButtonEdit& edit, Side side);
    ~EditButton();
    EditButton(const EditButton&) = delete;
    EditButton& operator=(const EditButton&) = delete;

    // Takes a copy of the strip; nullptr removes the picture.
    void SetImage(HBITMAP strip);
    // The strip from the bytes of a .bmp file; false, and no picture, when they are none.
    bool SetImageBytes(std::string_view bmpFile);
    bool HasImage() const { return static_cast<bool>(image_); }
    // A quarter of the picture's width; 0 without a picture.
    int FrameWidth() const { return frameWidth_; }

    // The width used while AutoWidth is off (20 until set).
    void SetWidth(int width);
    // With AutoWidth the button is one frame wide, 0 without a picture.
    void SetAutoWidth(bool autoWidth);
    int Width() const { return autoWidth_ ? frameWidth_ : width_; }
    // Space kept around the button inside the edit's outer rectangle.
    void SetMargins(const Margins& margins);
    const Margins& GetMargins() const { return margins_; }
    // Buttons start hidden.
    void SetVisible(bool visible);
    bool Visible() const { return visible_; }
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    // The tool tip of the button; empty for none.
    void SetHint(const std::wstring& hint);
    // A press shows this menu below the edit instead of pushing the button; the menu stays the
    // caller's. The chosen command, if any, goes to onMenuCommand.
    void SetDropDownMenu(HMENU menu) { dropDownMenu_ = menu; }
    std::function<void(int command)> onMenuCommand;
    PaintHandler onPaint;

    TButtonState State() const { return state_; }
    // The button window (a child of the edit), nullptr before the edit exists.
    HWND Handle() const;

private:
    friend class ButtonEdit;
    friend class EditButtonWindow;

    void CreateWindowIn(HWND edit);
    // Puts the window where the margins and the edit's outer size say.
    void Place();
    void SetState(TButtonState state);
    void Paint(HDC dc, const RECT& client);
    void Press();
    void Release(bool over);
    void Click();
    void ShowDropDown();
    void ImageChanged();

    ButtonEdit& edit_;
    Side side_;
    std::unique_ptr<EditButtonWindow> window_;
    UniqueGdiObj<HBITMAP> image_;
    int frameWidth_ = 0, imageHeight_ = 0;
    int width_ = 20;
    bool autoWidth_ = false, visible_ = false, enabled_ = true;
    Margins margins_;
    TButtonState state_ = bsNormal;
    HMENU dropDownMenu_ = nullptr;
    std::wstring hint_;
    ToolTip tip_;
};

}  // namespace lumaforge
