#pragma once
#include <functional>
#include <string>

#include "base/colors.h"
#include "controls/accessible_win.h"
#include "controls/window_win.h"

namespace lumaforge {

// A line of text in its own font and colour. A link label underlines itself while the pointer is
// over it, shows the hand cursor and runs onClick when clicked; it also takes the keyboard focus in
// the Tab order and runs onClick on Enter and Space.
class Label : public PaintedWindow, public AccessibleSource {
public:
    enum class Align { Left, Right };
    struct Style {
        HFONT font = nullptr;
        HFONT hoverFont = nullptr;  // set for links: the underlined form of `font`
        Color color = 0;
        Color background = palette::kWindow;
        Align align = Align::Left;
        // Drawn over whatever the parent shows instead of the background colour.
        bool transparent = false;
    };

    bool Create(HWND parent, const RECT& bounds, const std::wstring& text, const Style& style);
    void SetText(const std::wstring& text);
    const std::wstring& Text() const { return text_; }
    void SetStyle(const Style& style);
    bool IsLink() const { return style_.hoverFont != nullptr; }
    bool Hovered() const { return hovered_; }
    HFONT CurrentFont() const { return hovered_ && IsLink() ? style_.hoverFont : style_.font; }
    // The width the text needs in the current font.
    int TextWidth() const;
    void Paint(HDC dc, const RECT& client) override;
    void OnScaleChanged(ScaleChange& change) override;

    AccessibleElement AccessibleSelf() const override;
    bool AccessibleDoDefaultAction(int item) override;

    std::function<void()> onClick;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetHovered(bool hovered);
    std::wstring text_;
    Style style_;
    bool hovered_ = false;
};

}  // namespace lumaforge
