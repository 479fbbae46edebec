#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/colors.h"
#include "base/handles_win.h"
#include "controls/edit_value.h"
#include "controls/standard_controls_win.h"
#include "controls/tool_tip_win.h"

namespace lumaforge {

enum TButtonState : uint8_t { bsNormal = 0, bsHot = 1, bsPushed = 2 };

class ButtonEdit;
class EditButtonWindow;

// One of the two image buttons inside a ButtonEdit, at its left or right edge. The picture is a
// strip of four equally wide frames: normal, hot, pushed, disabled. The button window never takes
// the keyboard focus; the edit keeps its place in the Tab order.
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

// A one-line text box with an optional image button at each edge, a cue text shown while it is
// blank and unfocused, its text centred vertically, and optional numeric input (ValueSetting).
// It is an EditBox: Text, SetText and onChange work as for any edit.
class ButtonEdit : public EditBox {
public:
    enum class Align : uint8_t { Left, Right, Center };
    struct Options {
        Align align = Align::Left;
        // A sunken edge of two pixels drawn around the box; the buttons' margins count from the
        // outer edge, so they take it into account.
        bool border = false;
        DWORD extraStyle = WS_TABSTOP;
    };

    ButtonEdit();
    ~ButtonEdit() override;

    bool Create(HWND parent, const RECT& bounds, HFONT font, const std::wstring& text = {});
    bool Create(HWND parent, const RECT& bounds, HFONT font, const std::wstring& text, const Options& options);

    EditButton& LeftButton() { return left_; }
    EditButton& RightButton() { return right_; }
    std::function<void()> onLeftButtonClick;
    std::function<void()> onRightButtonClick;
    // Sees every typed character first; setting the key to 0 consumes it. Enter never inserts a
    // line break: it ends here after the handler has seen it.
    std::function<void(wchar_t& key)> onKeyPress;

    void SetHintText(const std::wstring& text);
    const std::wstring& HintText() const { return hintText_; }
    // The cue's font, borrowed; nullptr follows the edit's font.
    void SetHintFont(HFONT font);
    void SetHintColor(Color color);
    void SetTextColor(Color color);
    void SetBackgroundColor(Color color);
    Color BackgroundColor() const { return background_; }
    // Whether the cue shows right now: blank text and cue, box not focused.
    bool CueVisible() const;

    const ValueSetting& GetValueSetting() const { return setting_; }
    // Switches the input mode; a vtFloat box shows its current value in the new format.
    void SetValueSetting(const ValueSetting& setting);
    // The text as a number (0 when it is none).
    double FloatValue() const;
    // Shows a number (formatted in vtFloat) and clears the modified flag.
    void SetFloatValue(double value);

    // Recomputes the text rectangle: after the buttons or the font changed.
    void UpdateTextRect();

private:
    friend class EditButton;
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
    LRESULT OnEditMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnChar(HWND hwnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnPaste(HWND hwnd, WPARAM wParam, LPARAM lParam);
    void ApplyOutcome(const KeyOutcome& outcome, const std::wstring& text);
    void PaintCue(HDC dc);
    void Detach();
    void ButtonClicked(EditButton::Side side);
    void LayoutButtons();

    EditButton left_, right_;
    HWND parent_ = nullptr;
    bool border_ = false;
    bool attached_ = false;
    bool cueShown_ = false;
    std::wstring hintText_;
    HFONT hintFont_ = nullptr;
    Color hintColor_;
    Color textColor_;
    Color background_;
    UniqueGdiObj<HBRUSH> backgroundBrush_;
    ValueSetting setting_;
};

}  // namespace lumaforge
