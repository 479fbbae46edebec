#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "controls/accessible_win.h"
#include "controls/back_buffer_win.h"

namespace lumaforge {

// Sent to the main window or its wallpaper page (by another start of the program), brings the
// program back from its minimised state.
inline constexpr UINT WM_RESTOREMAIN = WM_USER + 325;

struct ScaleChange;

// Base of every window class of the program. The static window procedure takes `this` from the
// creation parameters and routes every later message to the virtual OnMessage.
class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }
    void SetBounds(int x, int y, int width, int height);
    void SetVisible(bool visible);
    RECT ClientRect() const;
    void Invalidate();
    // The object behind a window of this program; nothing for any other window.
    static Window* FromHandle(HWND hwnd);
    // A key or other message of the loop for this window or its children, before the dialog
    // keyboard handling and the dispatch see it; true when it was handled here.
    virtual bool PreTranslate(MSG& /*msg*/) { return false; }
    // The top-level window went to another DPI (or took its first one) and this window has been
    // moved to its place there: swap fonts and pictures for those of the new DPI and scale the
    // window's own lengths. Parents hear it before their children.
    virtual void OnScaleChanged(ScaleChange& change);

protected:
    // Shows an error that escaped a message handler. The program's top-level window reports it;
    // any other window hands it on to its top-level ancestor.
    virtual void ReportError(const std::string& text);
    // Reports the error being handled; call it only from a catch block.
    void ReportCurrentError();

    // Registers `className` once per process (class style CS_DBLCLKS, arrow cursor, no background
    // brush: every window here paints its own background) and creates the window.
    bool CreateWindowOf(const wchar_t* className, DWORD style, DWORD exStyle, HWND parent, const RECT& bounds,
                        const std::wstring& text = {}, int id = 0);
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    // The screen readers' object of a window that is an AccessibleSource, made when first asked for.
    LRESULT AnswerGetObject(WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    std::unique_ptr<AccessibleBridge> accessible_;
};

// A window whose client area is drawn by one Paint routine into a back buffer; the buffer is kept
// between paints and rebuilt only when the size changes, so repaints never flicker.
class PaintedWindow : public Window {
public:
    // Draws the whole client area into `dc`; also what WM_PRINTCLIENT renders.
    virtual void Paint(HDC dc, const RECT& client) = 0;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Draws what the parent shows under this window, for windows that are see-through in places.
    void PaintParentBackground(HDC dc);

private:
    void PaintBuffered(HDC target);
    BackBuffer buffer_;
};

// The answer of a drawn button to WM_GETDLGCODE: a button for the dialog keyboard handling (Tab,
// access keys), which also keeps Enter while it has the focus instead of passing it to the window.
LRESULT DrawnButtonDialogCode(LPARAM lParam);

}  // namespace lumaforge
