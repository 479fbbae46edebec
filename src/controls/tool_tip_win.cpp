#include "controls/tool_tip_win.h"

#include <commctrl.h>

namespace lumaforge {

void ToolTip::Set(HWND tool, const std::wstring& text) {
    if (!tool)
        return;
    text_ = text;
    if (window_ && tool != tool_)
        Destroy();
    TTTOOLINFOW info{sizeof info};
    info.hwnd = tool;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = text_.data();
    if (!window_) {
        if (text_.empty())
            return;
        window_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, tool, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        tool_ = tool;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        return;
    }
    SendMessageW(window_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageW(window_, TTM_ACTIVATE, !text_.empty(), 0);
}

void ToolTip::Destroy() {
    if (window_ && IsWindow(window_))
        DestroyWindow(window_);
    window_ = nullptr;
    tool_ = nullptr;
}

}  // namespace lumaforge
