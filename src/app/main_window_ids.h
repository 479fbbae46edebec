#pragma once
#include <windows.h>

namespace lumaforge {

// The main window's client area, fixed.
inline constexpr int kClientWidth = 790;
inline constexpr int kClientHeight = 538;

// Items of the resource lists' shared pop-up menu.
enum MenuId : int {
    kIdMenuDown = 500,
    kIdMenuApply,
    kIdMenuOnlyApply,
    kIdMenuViewScreen,
    kIdMenuUnInstall,
    kIdMenuDelete,
    kIdMenuOpenFile,
    kIdMenuOpenFolder,
};

// The About entry of the caption's system menu: below 0xF000, and with the low four bits clear,
// which the system keeps for itself.
inline constexpr UINT kIdSysMenuAbout = 0x0010;

enum TimerId : UINT_PTR { kTimerUpdater = 1, kTimerHomePage = 2 };

// Posted once the window is first shown, for the work that waits until it is on the screen.
inline constexpr UINT kMsgShown = WM_APP + 1;

}  // namespace lumaforge
