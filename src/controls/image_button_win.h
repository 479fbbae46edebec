#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/colors.h"
#include "controls/accessible_win.h"
#include "controls/button_window_win.h"
#include "controls/dpi_scale.h"
#include "controls/image_button_layout.h"
#include "controls/picture_win.h"
#include "controls/stretch_geometry.h"
#include "controls/tool_tip_win.h"

namespace Gdiplus {
class Font;
class SolidBrush;
}  // namespace Gdiplus

namespace lumaforge {

class TImageManager;

// A control's registration with a manager: the manager calls onChange when its pictures change,
// and forgets the link when the link goes first.
class TChangeLink {
public:
    TChangeLink() = default;
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;

    TImageManager* Sender() const { return sender_; }
    std::function<void(TImageManager&)> onChange;

private:
    friend class TImageManager;
    TImageManager* sender_ = nullptr;
};

// One border strip and one glyph strip that many buttons share.
class TImageManager {
public:
    TImageManager() = default;
    ~TImageManager();
    TImageManager(const TImageManager&) = delete;
    TImageManager& operator=(const TImageManager&) = delete;

    const std::shared_ptr<const Picture>& ImageBorder() const { return border_; }
    const std::shared_ptr<const Picture>& ImageGlyph() const { return glyph_; }
    void SetImageBorder(std::shared_ptr<const Picture> picture);
    void SetImageGlyph(std::shared_ptr<const Picture> picture);

    void AddChangeLink(TChangeLink& link);
    void RemoveChangeLink(TChangeLink& link);

private:
    void Change();
    std::shared_ptr<const Picture> border_, glyph_;
    std::vector<TChangeLink*> links_;
};

// A button drawn from image strips: a border frame stretched to the button's size, a glyph frame
// and a caption, the frame of each strip chosen by the state (normal, hot, down, checked,
// disabled). Where the strips are see-through the parent's background shows. Screen readers see a
// push button named by its caption, or by its hint when it has none.
class TImageCtrl : public ButtonWindow, public AccessibleSource {
public:
    TImageCtrl();
    ~TImageCtrl() override;

    bool Create(HWND parent, const RECT& bounds, const std::wstring& caption, HFONT font, Color color);

    TImageManager* ImageManager() const { return link_.Sender(); }
    void SetImageManager(TImageManager* manager);
    void SetImageBorder(std::shared_ptr<const Picture> picture);
    void SetImageGlyph(std::shared_ptr<const Picture> picture);
    void SetBorderStretch(THorzStretchType horz, TVertStretchType vert);
    void SetGlyphLayout(TGlyphLayout layout);
    void SetGlyphSpace(int space);
    void SetGlyphNumber(int frames);
    void SetAlignment(TAlignment alignment);
    void SetBorderSpace(int space);
    void SetContentOffsetY(int offset);
    void SetCaption(const std::wstring& caption);
    const std::wstring& Caption() const { return caption_; }
    void SetFont(HFONT font, Color color);
    HFONT Font() const { return font_; }
    // Whether the caption, measured as it is drawn, ends inside the button.
    bool CaptionFits() const;
    // A tool tip shown while the pointer rests on the button; empty: none.
    void SetHint(const std::wstring& hint);
    const std::wstring& Hint() const { return hint_; }
    void SetEnabled(bool enabled);
    bool Enabled() const;
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    TImageState State() const { return states_.State(); }
    bool Pressed() const { return states_.Pressed(); }
    // What a completed click does; runs while the button still shows its down frame.
    virtual void Click();
    void Paint(HDC dc, const RECT& client) override;
    void OnScaleChanged(ScaleChange& change) override;

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
    void ApplyManagerImages(TImageManager& sender);
    ImageButtonStates states_;

private:
    void DrawContent(HDC dc, const RECT& client);

    TChangeLink link_;
    std::shared_ptr<const Picture> border_, glyph_;
    THorzStretchType horzStretch_ = hstMiddle;
    TVertStretchType vertStretch_ = vstCenter;
    TGlyphLayout glyphLayout_ = glLeft;
    int glyphSpace_ = 2;
    int glyphNumber_ = 5;
    TAlignment alignment_ = taCenter;
    // The spaces are lengths of the 96-DPI layout, scaled when the button is drawn.
    int borderSpace_ = 0;
    int contentOffsetY_ = 0;
    int dpi_ = kBaseDpi;
    std::wstring caption_;
    std::wstring hint_;
    HFONT font_ = nullptr;
    Color color_ = 0;
    std::unique_ptr<Gdiplus::Font> captionFont_;
    std::unique_ptr<Gdiplus::SolidBrush> captionBrush_;
    ToolTip tip_;
    int tag_ = 0;
};

class TImageButton : public TImageCtrl {};

// A button that stays down once clicked and releases the other buttons of its check group under
// the same parent: a set of radio buttons, and a screen reader says so, with the checked one. As
// in a group of radio buttons, Tab stops at the checked button only (at each while none is
// checked) and the arrow keys move the focus between the buttons of the group; Space and Enter
// check the one that has it.
class TImageCheckButton : public TImageCtrl {
public:
    AccessibleElement AccessibleSelf() const override;
    int CheckGroup() const { return checkGroup_; }
    void SetCheckGroup(int group) { checkGroup_ = group; }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    void Click() override;

    // Called with the button unchecked by a click in its group, then with the clicked one.
    std::function<void(TImageCheckButton& sender)> onCheckChanged;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Unchecks without events and without touching the group.
    void SetCheckState(bool checked);
    // The focus to the next (or previous) shown and enabled button of the group, round the end.
    void FocusNeighbour(bool forward);
    // The buttons of this check group under the same parent, this one among them.
    std::vector<TImageCheckButton*> Group() const;
    // The checked button is the group's Tab stop; while none is checked, every button is one.
    void UpdateGroupTabStops();
    int checkGroup_ = 0;
    bool checked_ = false;
};

}  // namespace lumaforge
