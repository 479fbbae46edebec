#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/colors.h"
#include "base/handles_win.h"
#include "controls/edit_button_win.h"
#include "controls/edit_value.h"
#include "controls/standard_controls_win.h"

namespace lumaforge {

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

    // The box's own text and background colours, asked of its parent by the edit.
    HBRUSH OnControlColor(HDC dc) override;

    // Recomputes the text rectangle: after the buttons or the font changed.
    void UpdateTextRect();

private:
    friend class EditButton;
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    LRESULT OnEditMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnChar(HWND hwnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnPaste(HWND hwnd, WPARAM wParam, LPARAM lParam);
    void ApplyOutcome(const KeyOutcome& outcome, const std::wstring& text);
    void PaintCue(HDC dc);
    void Detach();
    void ButtonClicked(EditButton::Side side);
    // F4 and Alt+Down: a click of the visible button; false when none shows.
    bool KeyboardButtonClick();
    void LayoutButtons();

    EditButton left_, right_;
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
