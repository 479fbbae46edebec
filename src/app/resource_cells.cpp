#include "app/resource_cells.h"

namespace lumaforge {

std::string CellText(const TResourceItem& item, const CellRequest& cell) {
    if (cell.column != 1)
        return std::string(item.Name.View());
    return StatusText(item.State, item.Progress);
}

int CellImage(const TResourceItem& item, const CellRequest& cell) {
    if (cell.isCategory)
        return kImageNone;
    if (cell.column == 0) {
        if (!cell.showInstalledMark)
            return kImageNone;
        return item.Installed ? kImageInstalled : kImageNotInstalled;
    }
    return StatusImage(item.State);
}

std::string CellHint(const TResourceItem& item, const CellRequest& cell, int level) {
    if (cell.column != 0)
        return {};
    if (cell.kind == static_cast<int>(TResourceKind::Theme) && level != 1)
        return {};
    return std::string(item.Name.View());
}

namespace {
PopupMenuState CommonMenuState(const TResourceItem& item) {
    PopupMenuState menu;
    const uint8_t s = item.State;
    menu.unInstall = item.Installed != 0;
    menu.down = s == dsNone || s == dsWaiting || s == dsDownloading || s == dsFailed;
    menu.apply = menu.deleteFile = menu.openFile = s == dsDownloaded;
    menu.onlyApply = item.Installed != 0;
    menu.downCaption = (s == dsWaiting || s == dsDownloading) ? "取消下载任务(&N)" : "添加到下载任务中(&N)";
    return menu;
}
}  // namespace

std::optional<PopupMenuState> ThemesContextPopup(int kind, const TResourceItem* focused, int focusedLevel) {
    if (!focused || (kind == static_cast<int>(TResourceKind::Theme) && focusedLevel == 0))
        return std::nullopt;
    PopupMenuState menu = CommonMenuState(*focused);
    menu.viewScreen = kind == static_cast<int>(TResourceKind::ScreenSaver) && focused->Installed;
    return menu;
}

std::optional<PopupMenuState> SoundsContextPopup(int kind, const TResourceItem* focused) {
    if (!focused)
        return std::nullopt;
    PopupMenuState menu = CommonMenuState(*focused);
    if (kind == static_cast<int>(TResourceKind::Logon))
        menu.onlyApply = false;
    menu.viewScreen = false;
    return menu;
}

}  // namespace lumaforge
