#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "controls/img_button_win.h"
#include "controls/picture_win.h"
#include "controls/window_win.h"

namespace lumaforge {

// The captions of the preview window's two buttons.
struct TViewTexts {
    std::wstring setWallpaper;
    std::wstring close;
};

// The full-size preview of a wallpaper picture: a borderless window over the whole screen, on top of
// every other window, with the picture stretched to fill it and two buttons in the top-right corner.
// Esc, a double click on the picture and the close button close it; the set button hands the picture
// to the page, which applies it as it applies a picture from the grid, and then closes it. The
// keyboard starts on the set button; Tab moves between the two.
class TFrmView : public PaintedWindow {
public:
    explicit TFrmView(const GdiplusSession& gdiplus) : gdiplus_(gdiplus) {}

    // Reads the picture at `path`; false when it is no picture (nothing is shown then).
    bool Load(const std::string& path);
    const std::string& Path() const { return path_; }
    const Picture& Image() const { return picture_; }

    // Makes the window over the screen that shows `owner`, still hidden.
    bool Create(HWND owner, const TViewTexts& texts, HFONT font);
    // Shows the window and returns when it has closed; the owner takes no input meanwhile.
    void ShowModal();
    // Shows the window without waiting.
    void Show();
    void Close();
    bool Closed() const { return closed_; }

    TImgButton& SetButton() { return ibSet_; }
    TImgButton& CloseButton() { return ibClose_; }

    // Applies the picture at `path` as the wallpaper; `owner` is the window for its messages.
    std::function<void(const std::string& path, HWND owner)> onSet;

    void Paint(HDC dc, const RECT& client) override;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PlaceButtons();
    // Esc closes the window whichever of its controls has the focus.
    bool PreTranslate(MSG& msg) override;

    const GdiplusSession& gdiplus_;
    std::string path_;
    Picture picture_;
    HWND owner_ = nullptr;
    int dpi_ = 96;  // of the monitor the window covers
    bool ownerDisabled_ = false;
    bool closed_ = false;
    TImgButton ibSet_, ibClose_;
};

}  // namespace lumaforge
