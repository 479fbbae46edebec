#pragma once
#include <windows.h>

#include <string>

namespace lumaforge {

// The tool tip of one window: its text shows while the pointer rests on the window. The tip window
// is made on the first text and destroyed with the object or with the window it belongs to.
class ToolTip {
public:
    ToolTip() = default;
    ~ToolTip() { Destroy(); }
    ToolTip(const ToolTip&) = delete;
    ToolTip& operator=(const ToolTip&) = delete;

    // An empty text hides the tip.
    void Set(HWND tool, const std::wstring& text);
    void Destroy();

private:
    HWND window_ = nullptr;
    HWND tool_ = nullptr;
    std::wstring text_;
};

}  // namespace lumaforge
