#pragma once

namespace lumaforge {

// The main window's client area, fixed.
inline constexpr int kClientWidth = 790;
inline constexpr int kClientHeight = 538;

// Control and menu identifiers of the main window.
enum ControlId : int {
    kIdNavButton = 100,      // + the button's Tag
    kIdIconSubButton = 120,  // + the button's Tag
    kIdList = 200,           // + the list's Tag
    kIdDirList = 210,
    kIdFilterEdit = 300,     // + the list's Tag
    kIdCollapse = 320,
    kIdExpand = 321,
    kIdSupportUs = 330,
    kIdButton1 = 331,
    kIdFolderEdit = 340,
    kIdSetFolderIcon = 341,
    kIdRestoreFolderIcon = 342,
    kIdIconList = 343,
    kIdLink = 400,  // + index in the order the links are created
    kIdOemManufacturer = 450,
    kIdOemModel,
    kIdOemSupport,
    kIdOemApplyInfo,
    kIdOemEraseInfo,
    kIdOemApplyLogo,
    kIdOemEraseLogo,
    kIdMenuDown = 500,
    kIdMenuApply,
    kIdMenuOnlyApply,
    kIdMenuViewScreen,
    kIdMenuUnInstall,
    kIdMenuDelete,
    kIdMenuOpenFile,
    kIdMenuOpenFolder,
};

enum TimerId : UINT_PTR { kTimerUpdater = 1, kTimerHomePage = 2 };

}  // namespace lumaforge
