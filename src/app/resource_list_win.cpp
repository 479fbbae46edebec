#include "app/resource_list_win.h"

#include <windowsx.h>

#include <algorithm>

#include "base/colors.h"
#include "base/handles_win.h"
#include "base/unicode_win.h"
#include "controls/scale_change_win.h"

namespace lumaforge {
namespace {
constexpr int kIndent = 18;
constexpr int kMargin = 4;
constexpr int kWheelRows = 3;

// Fills and outlines a rectangle in one colour each, as a row background is drawn. The DC's own
// brush and pen take the colours: a repaint creates no GDI objects.
void FillAndOutline(HDC dc, const RECT& rc, Color fill, Color outline) {
    ScopedSelectObject selectBrush(dc, GetStockObject(DC_BRUSH));
    ScopedSelectObject selectPen(dc, GetStockObject(DC_PEN));
    SetDCBrushColor(dc, fill);
    SetDCPenColor(dc, outline);
    Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
}

void DrawCellText(HDC dc, const std::string& text, RECT rc, UINT align) {
    std::wstring wide = ToWide(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rc,
              align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}
}  // namespace

bool ResourceList::Create(HWND parent, const RECT& bounds, const Options& options, const Resources& resources,
                          ResourceListEvents* events) {
    options_ = options;
    resources_ = resources;
    events_ = events;
    if (!CreateWindowOf(L"LumaforgeResourceList", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL, 0, parent, bounds))
        return false;
    CreateToolTip();
    UpdateScrollBar();
    return true;
}

void ResourceList::Clear() {
    tree_.Clear();
    hot_ = kNoNode;
    hintNode_ = kNoNode;
    hintColumn_ = -1;
    topIndex_ = 0;
    LayoutChanged();
}

void ResourceList::CreateToolTip() {
    toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!toolTip_)
        return;
    TOOLINFOW tool{sizeof tool};
    tool.uFlags = 0;
    tool.hwnd = Handle();
    tool.uId = 1;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(toolTip_, TTM_SETDELAYTIME, TTDT_INITIAL, 100);
    SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, 400);
}

void ResourceList::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0)
        LayoutChanged();
}

void ResourceList::LayoutChanged() {
    if (updateCount_ > 0)
        return;
    UpdateScrollBar();
    Invalidate();
}

void ResourceList::SetColumnWidths(int name, int status) {
    nameWidth_ = std::max(0, name);
    statusWidth_ = std::max(0, status);
    Invalidate();
}

void ResourceList::SetPlaceholder(std::wstring text) {
    placeholder_ = std::move(text);
    Invalidate();
}

int ResourceList::VisibleRowCapacity() const {
    RECT client = ClientRect();
    return std::max(1, static_cast<int>(client.bottom / RowHeight()));
}

void ResourceList::UpdateScrollBar() {
    const int rows = static_cast<int>(tree_.DisplayRows().size());
    const int capacity = VisibleRowCapacity();
    topIndex_ = std::clamp(topIndex_, 0, std::max(0, rows - capacity));
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS};
    info.nMin = 0;
    info.nMax = std::max(0, rows - 1);
    info.nPage = static_cast<UINT>(capacity);
    info.nPos = topIndex_;
    // Showing or hiding the bar resizes the client; WM_SIZE then lays the columns out again.
    SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
}

void ResourceList::ScrollTo(int topIndex) {
    const int rows = static_cast<int>(tree_.DisplayRows().size());
    topIndex = std::clamp(topIndex, 0, std::max(0, rows - VisibleRowCapacity()));
    if (topIndex == topIndex_)
        return;
    topIndex_ = topIndex;
    SetScrollPos(Handle(), SB_VERT, topIndex_, TRUE);
    Invalidate();
}

void ResourceList::EnsureVisible(NodeId node) {
    int index = tree_.DisplayIndex(node);
    if (index < 0)
        return;
    if (index < topIndex_)
        ScrollTo(index);
    else if (index >= topIndex_ + VisibleRowCapacity())
        ScrollTo(index - VisibleRowCapacity() + 1);
}

void ResourceList::SetFocusedNode(NodeId node) {
    if (node == tree_.Focused())
        return;
    tree_.SetFocused(node);
    EnsureVisible(node);
    Invalidate();
    AnnounceFocus();
    if (events_)
        events_->OnListFocusChanged(*this, node);
}

void ResourceList::AnnounceFocus() {
    if (GetFocus() == Handle())
        NotifyAccessible(Handle(), EVENT_OBJECT_FOCUS, AccessibleFocusedItem());
}

void ResourceList::ToggleCategory(NodeId node) {
    tree_.ToggleExpanded(node);
    LayoutChanged();
}

void ResourceList::SetCategoriesExpanded(bool expanded) {
    BeginUpdate();
    tree_.SetCategoriesExpanded(expanded);
    EndUpdate();
}

void ResourceList::RepaintNode(NodeId node) {
    RECT rc = NodeRect(node);
    if (!IsRectEmpty(&rc))
        InvalidateRect(Handle(), &rc, FALSE);
}

void ResourceList::RepaintRow(NodeId node) {
    RepaintNode(node);
    UpdateWindow(Handle());
}

TDownloadState ResourceList::RowState(RowId node) const {
    return static_cast<TDownloadState>(tree_.Item(node).State);
}

void ResourceList::ShowRowState(RowId node, TDownloadState state, int progress) {
    switch (state) {
        case dsWaiting:
            states_.Queued(node);
            break;
        case dsDownloading:
            states_.Progressed(node, progress);
            break;
        case dsDownloaded:
            states_.Downloaded(node);
            break;
        case dsFailed:
            states_.Failed(node);
            break;
        case dsRefused:
            states_.Refused(node);
            RepaintRow(node);
            if (events_)
                events_->OnListPackageRefused(*this, node);
            return;
        case dsNone:
            states_.Cancelled(node);
            break;
    }
    RepaintRow(node);
}

NodeId ResourceList::NodeAt(POINT client) const {
    if (client.y < 0)
        return kNoNode;
    const auto& rows = tree_.DisplayRows();
    size_t index = static_cast<size_t>(topIndex_ + client.y / RowHeight());
    return index < rows.size() ? rows[index] : kNoNode;
}

RECT ResourceList::NodeRect(NodeId node) const {
    int index = tree_.DisplayIndex(node);
    if (index < topIndex_)
        return {};
    RECT client = ClientRect();
    int top = (index - topIndex_) * RowHeight();
    if (top >= client.bottom)
        return {};
    return {0, top, client.right, top + RowHeight()};
}

CellRequest ResourceList::Cell(NodeId node, int column) const {
    CellRequest cell;
    cell.kind = options_.kind;
    cell.isCategory = IsCategory(node);
    cell.showInstalledMark = options_.showInstalledMark;
    cell.column = column;
    return cell;
}

std::string ResourceList::CellText(NodeId node, int column) const {
    if (!options_.statusColumn && column == 1)
        return {};
    return lumaforge::CellText(tree_.Item(node), Cell(node, column));
}

std::string ResourceList::CellHint(NodeId node, int column) const {
    return lumaforge::CellHint(tree_.Item(node), Cell(node, column), tree_.Level(node));
}

void ResourceList::Paint(HDC dc, const RECT& client) {
    SetDCBrushColor(dc, palette::kWindow);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    const auto& rows = tree_.DisplayRows();
    if (rows.empty() && !placeholder_.empty()) {
        RECT line{kMargin, 0, client.right - kMargin, RowHeight()};
        ScopedSelectObject font(dc, resources_.font);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, placeholder_.c_str(), static_cast<int>(placeholder_.size()), &line,
                  DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        return;
    }
    for (size_t i = static_cast<size_t>(topIndex_); i < rows.size(); ++i) {
        int top = static_cast<int>(i - topIndex_) * RowHeight();
        if (top >= client.bottom)
            break;
        RECT row{0, top, client.right, top + RowHeight()};
        // Each row is drawn clipped to itself: the widened background rectangle then leaves
        // only its bottom edge, a thin line under a selected or hot row.
        ScopedSaveDc saved(dc);
        IntersectClipRect(dc, row.left, row.top, row.right, row.bottom);
        if (IsCategory(rows[i]))
            PaintCategory(dc, rows[i], row, client.right);
        else
            PaintRow(dc, rows[i], row, client.right);
    }
    // The keyboard's place: the focused row, or the whole list while no row has the focus.
    if (GetFocus() == Handle() && !(SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        RECT focus = tree_.Focused() == kNoNode ? client : NodeRect(tree_.Focused());
        if (!IsRectEmpty(&focus)) {
            InflateRect(&focus, -1, -1);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, RGB(255, 255, 255));
            DrawFocusRect(dc, &focus);
        }
    }
}

void ResourceList::PaintRow(HDC dc, NodeId node, const RECT& row, int width) {
    const bool selected = node == tree_.Focused();
    RECT back{row.left - 2, row.top - 1, row.right + 2, row.bottom};
    FillAndOutline(dc, back, palette::kWindow, palette::kWindow);
    if (selected)
        FillAndOutline(dc, back, palette::kSelection, palette::kSelectionBorder);
    else if (node == hot_)
        FillAndOutline(dc, back, palette::kHotRow, palette::kHotRow);

    RECT name{row.left, row.top, std::min<LONG>(width, row.left + nameWidth_), row.bottom};
    if (options_.tree)
        name.left += tree_.Level(node) * ScaleLength(kIndent, dpi_);
    PaintCell(dc, node, 0, name, selected);
    if (options_.statusColumn) {
        RECT status{name.right, row.top, std::min<LONG>(width, name.right + statusWidth_), row.bottom};
        PaintCell(dc, node, 1, status, selected);
    }
}

void ResourceList::PaintCell(HDC dc, NodeId node, int column, RECT cell, bool selected) {
    if (cell.right <= cell.left)
        return;
    ScopedSaveDc saved(dc);
    IntersectClipRect(dc, cell.left, cell.top, cell.right, cell.bottom);
    cell.left += ScaleLength(kMargin, dpi_);
    int image = CellImage(tree_.Item(node), Cell(node, column));
    if (image != kImageNone && resources_.images) {
        int imageSize = 0, imageHeight = 0;
        ImageList_GetIconSize(resources_.images, &imageSize, &imageHeight);
        ImageList_Draw(resources_.images, image, dc, cell.left, cell.top + (RowHeight() - imageSize) / 2,
                       ILD_TRANSPARENT);
        cell.left += imageSize + ScaleLength(kMargin, dpi_);
    }
    ScopedSelectObject font(dc, selected && options_.boldSelection ? resources_.boldFont : resources_.font);
    DrawCellText(dc, CellText(node, column), cell, DT_LEFT);
}

void ResourceList::OnScaleChanged(ScaleChange& change) {
    dpi_ = change.dpi;
    resources_.font = change.Font(resources_.font);
    resources_.boldFont = change.Font(resources_.boldFont);
    LayoutChanged();
}

void ResourceList::SetImages(HIMAGELIST images) {
    resources_.images = images;
    Invalidate();
}

void ResourceList::PaintCategory(HDC dc, NodeId node, const RECT& row, int width) {
    const bool selected = node == tree_.Focused();
    RECT rc{row.left - 2, row.top - 1, row.right + 2, row.bottom};
    if (selected)
        FillAndOutline(dc, rc, palette::kSelection, palette::kSelectionBorder);
    else
        FillAndOutline(dc, rc, palette::kWindow, palette::kWindow);
    if (resources_.images) {
        int image = tree_.Expanded(node) ? kImageCategoryExpanded : kImageCategoryCollapsed;
        ImageList_Draw(resources_.images, image, dc, row.left + ScaleLength(10, dpi_), row.top + ScaleLength(1, dpi_),
                       ILD_TRANSPARENT);
    }
    ScopedSelectObject font(dc, selected ? resources_.boldFont : resources_.font);
    RECT text{rc.left + ScaleLength(30, dpi_), row.top, std::min(width, static_cast<int>(rc.right)), row.bottom};
    DrawCellText(dc, std::string(tree_.Item(node).Name.View()), text, DT_LEFT);
}

void ResourceList::SetHot(NodeId node) {
    if (node == hot_)
        return;
    RepaintNode(hot_);
    hot_ = node;
    RepaintNode(hot_);
}

void ResourceList::TrackHint(POINT client) {
    if (!toolTip_)
        return;
    NodeId node = NodeAt(client);
    int column = node == kNoNode ? -1 : (client.x < nameWidth_ ? 0 : 1);
    if (node == hintNode_ && column == hintColumn_)
        return;
    hintNode_ = node;
    hintColumn_ = column;
    hintText_ = node == kNoNode ? std::wstring() : ToWide(CellHint(node, column));
    // The tool covers only the cell under the pointer, so moving to another cell re-asks the text.
    RECT cell{};
    if (!hintText_.empty()) {
        cell = NodeRect(node);
        if (column == 0)
            cell.right = std::min(cell.right, static_cast<LONG>(nameWidth_));
        else
            cell.left = nameWidth_;
    }
    SendMessageW(toolTip_, TTM_POP, 0, 0);
    TOOLINFOW tool{sizeof tool};
    tool.hwnd = Handle();
    tool.uId = 1;
    tool.rect = cell;
    SendMessageW(toolTip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool ResourceList::HandleKey(WPARAM key) {
    const NodeId before = tree_.Focused();
    const int page = VisibleRowCapacity();
    switch (key) {
        case VK_UP:
            tree_.MoveFocus(-1);
            break;
        case VK_DOWN:
            tree_.MoveFocus(1);
            break;
        case VK_PRIOR:
            tree_.MoveFocus(-page);
            break;
        case VK_NEXT:
            tree_.MoveFocus(page);
            break;
        case VK_HOME:
            tree_.FocusFirst();
            break;
        case VK_END:
            tree_.FocusLast();
            break;
        case VK_LEFT:
        case VK_RIGHT:
            if (IsCategory(before)) {
                if (tree_.Expanded(before) != (key == VK_RIGHT))
                    ToggleCategory(before);
                return true;
            }
            if (key == VK_LEFT && options_.tree && before != kNoNode && tree_.Level(before) > 0)
                tree_.SetFocused(tree_.Parent(before));
            break;
        case VK_RETURN:
            if (events_)
                events_->OnListDblClick(*this);
            return true;
        case VK_DELETE:
            if (events_)
                events_->OnListDeleteKey(*this);
            return true;
        default:
            return false;
    }
    NodeId after = tree_.Focused();
    if (after != before) {
        tree_.SetFocused(before);
        SetFocusedNode(after);
    } else {
        EnsureVisible(after);
    }
    return true;
}

void ResourceList::MouseDown(LPARAM lParam) {
    if (GetFocus() != Handle())
        SetFocus(Handle());
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    NodeId node = NodeAt(pt);
    if (node != kNoNode)
        SetFocusedNode(node);
}

LRESULT ResourceList::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (toolTip_ && (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
                     message == WM_RBUTTONDOWN || message == WM_RBUTTONUP)) {
        if (message == WM_MOUSEMOVE)
            TrackHint({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        MSG msg{Handle(), message, wParam, lParam};
        SendMessageW(toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    }
    switch (message) {
        case WM_SIZE:
            UpdateScrollBar();
            Invalidate();
            if (events_)
                events_->OnListResize(*this);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            MouseDown(lParam);
            return 0;
        case WM_LBUTTONDBLCLK:
            MouseDown(lParam);
            if (events_)
                events_->OnListDblClick(*this);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            NodeId focused = tree_.Focused();
            if (IsCategory(focused))
                ToggleCategory(focused);
            break;  // the default handling turns a right-button release into WM_CONTEXTMENU
        }
        case WM_CONTEXTMENU: {
            POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (screen.x == -1 && screen.y == -1) {
                RECT rc = NodeRect(tree_.Focused());
                screen = {rc.left + kMargin, rc.bottom};
                ClientToScreen(Handle(), &screen);
            }
            if (events_)
                events_->OnListContextPopup(*this, screen);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (!trackingLeave_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
                trackingLeave_ = TrackMouseEvent(&track) != FALSE;
            }
            SetHot(NodeAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
            return 0;
        case WM_MOUSELEAVE:
            trackingLeave_ = false;
            SetHot(kNoNode);
            hintNode_ = kNoNode;
            hintColumn_ = -1;
            return 0;
        case WM_MOUSEWHEEL:
            ScrollTo(topIndex_ - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * kWheelRows);
            return 0;
        case WM_VSCROLL: {
            SCROLLINFO info{sizeof info, SIF_ALL};
            GetScrollInfo(Handle(), SB_VERT, &info);
            int page = VisibleRowCapacity();
            switch (LOWORD(wParam)) {
                case SB_LINEUP:
                    ScrollTo(topIndex_ - 1);
                    break;
                case SB_LINEDOWN:
                    ScrollTo(topIndex_ + 1);
                    break;
                case SB_PAGEUP:
                    ScrollTo(topIndex_ - page);
                    break;
                case SB_PAGEDOWN:
                    ScrollTo(topIndex_ + page);
                    break;
                case SB_TOP:
                    ScrollTo(0);
                    break;
                case SB_BOTTOM:
                    ScrollTo(static_cast<int>(tree_.DisplayRows().size()));
                    break;
                case SB_THUMBTRACK:
                case SB_THUMBPOSITION:
                    ScrollTo(info.nTrackPos);
                    break;
            }
            return 0;
        }
        case WM_KEYDOWN:
            if (HandleKey(wParam))
                return 0;
            break;
        case WM_GETDLGCODE: {
            // Enter is the list's own double click, not the window's default button.
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            const bool enter = msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN;
            return DLGC_WANTARROWS | DLGC_WANTCHARS | (enter ? DLGC_WANTMESSAGE : 0);
        }
        case WM_SETFOCUS:
            Invalidate();
            AnnounceFocus();
            break;
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
            Invalidate();
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->hwndFrom == toolTip_ && header->code == TTN_GETDISPINFOW) {
                auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
                info->lpszText = hintText_.data();
                return 0;
            }
            break;
        }
    }
    return PaintedWindow::OnMessage(message, wParam, lParam);
}

AccessibleElement ResourceList::AccessibleSelf() const {
    AccessibleElement self;
    wchar_t name[256] = {};
    GetWindowTextW(Handle(), name, 256);
    self.name = name;
    self.role = options_.tree ? ROLE_SYSTEM_OUTLINE : ROLE_SYSTEM_LIST;
    return self;
}

int ResourceList::AccessibleItemCount() const {
    return static_cast<int>(tree_.DisplayRows().size());
}

AccessibleElement ResourceList::AccessibleItem(int index) const {
    AccessibleElement row;
    const auto& rows = tree_.DisplayRows();
    if (index < 0 || index >= static_cast<int>(rows.size()))
        return row;
    const NodeId node = rows[index];
    const TResourceItem& item = tree_.Item(node);
    row.name = ToWide(std::string(item.Name.View()));
    row.role = options_.tree ? ROLE_SYSTEM_OUTLINEITEM : ROLE_SYSTEM_LISTITEM;
    row.state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (node == tree_.Focused()) {
        row.state |= STATE_SYSTEM_SELECTED;
        if (GetFocus() == Handle())
            row.state |= STATE_SYSTEM_FOCUSED;
    }
    if (node == hot_)
        row.state |= STATE_SYSTEM_HOTTRACKED;
    row.bounds = NodeRect(node);
    if (IsRectEmpty(&row.bounds))
        row.state |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
    if (IsCategory(node)) {
        row.state |= tree_.Expanded(node) ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
        return row;
    }
    // What the status column and the installed mark show, in words.
    row.description = ToWide(CellText(node, 1));
    if (options_.showInstalledMark && item.Installed) {
        if (!row.description.empty())
            row.description += L", ";
        row.description += options_.installedDescription;
    }
    return row;
}

int ResourceList::AccessibleFocusedItem() const {
    return tree_.Focused() == kNoNode ? -1 : tree_.DisplayIndex(tree_.Focused());
}

int ResourceList::AccessibleItemAt(POINT client) const {
    const NodeId node = NodeAt(client);
    return node == kNoNode ? -1 : tree_.DisplayIndex(node);
}

}  // namespace lumaforge
