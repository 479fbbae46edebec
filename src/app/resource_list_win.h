#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/resource_cells.h"
#include "app/resource_tree.h"
#include "app/row_states.h"
#include "controls/accessible_win.h"
#include "controls/dpi_scale.h"
#include "controls/window_win.h"
#include "download/down_manager.h"

namespace lumaforge {

class ResourceList;

// What a resource list reports to its owner.
class ResourceListEvents {
public:
    virtual ~ResourceListEvents() = default;
    virtual void OnListDblClick(ResourceList& list) = 0;
    virtual void OnListFocusChanged(ResourceList& list, NodeId node) = 0;
    // Right click or the menu key; `screen` is where the menu opens.
    virtual void OnListContextPopup(ResourceList& list, POINT screen) = 0;
    // The client width changed: by a resize or a scroll bar that came or went.
    virtual void OnListResize(ResourceList& list) = 0;
    // The Delete key, with the list's focused row.
    virtual void OnListDeleteKey(ResourceList& /*list*/) {}
    // A download of the row was refused: not the package the catalog's signed manifest lists. The
    // row shows failed already.
    virtual void OnListPackageRefused(ResourceList& /*list*/, NodeId /*node*/) {}
};

// A virtual list of resource rows: the rows live in a ResourceTree, texts, images and hints are
// produced only when a row is painted. Rows are 22 units high (pixels at 96 DPI), two columns
// without a header, whole-row selection, a hot row under the pointer and tool-tip hints. Screen
// readers see the displayed rows as its items: the name, the row's state and progress as the
// description.
class ResourceList : public PaintedWindow, public DownloadRows, public AccessibleSource {
public:
    static constexpr int kRowHeight = 22;

    struct Options {
        int kind = -1;                  // the Tag: a resource kind, or -1 for a plain name list
        bool tree = false;              // categories at level 0, painted as such
        bool showInstalledMark = true;  // column 0's installed picture
        bool boldSelection = false;     // the selected row's text in bold
        bool statusColumn = true;
        // Said of an installed row after its download state (where the installed mark shows).
        std::wstring installedDescription = L"Installed";
    };
    struct Resources {
        HIMAGELIST images = nullptr;
        HFONT font = nullptr;
        HFONT boldFont = nullptr;
    };

    bool Create(HWND parent, const RECT& bounds, const Options& options, const Resources& resources,
                ResourceListEvents* events);
    // Every row goes (the catalog is fetched again); the focus, the hot row and the scrolling too.
    void Clear();

    int Tag() const { return options_.kind; }
    void SetInstalledDescription(std::wstring text) { options_.installedDescription = std::move(text); }
    ResourceTree& Tree() { return tree_; }
    const ResourceTree& Tree() const { return tree_; }
    // Every change of a row's state goes through here; repaint the row after it.
    RowStates& States() { return states_; }

    // Changes inside an update block repaint once, when the outermost block ends.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

    void SetColumnWidths(int name, int status);
    // A line shown while the list has no rows to show (the catalog on its way); empty for none.
    void SetPlaceholder(std::wstring text);
    const std::wstring& Placeholder() const { return placeholder_; }
    int ColumnWidth(int column) const { return column == 0 ? nameWidth_ : statusWidth_; }

    NodeId FocusedNode() const { return tree_.Focused(); }
    // Moves the focus (and the selection with it), scrolls it into view and reports the change.
    void SetFocusedNode(NodeId node);
    NodeId HotNode() const { return hot_; }
    bool IsCategory(NodeId node) const { return options_.tree && node != kNoNode && tree_.Level(node) == 0; }
    void ToggleCategory(NodeId node);
    void SetCategoriesExpanded(bool expanded);
    void RepaintNode(NodeId node);

    // Repaints the row at once, not at the next idle moment.
    void RepaintRow(NodeId node);

    // DownloadRows: the rows are the tree's nodes; a report is the row's event and repaints it.
    TDownloadState RowState(RowId node) const override;
    void ShowRowState(RowId node, TDownloadState state, int progress) override;

    int TopIndex() const { return topIndex_; }
    NodeId NodeAt(POINT client) const;
    // The row rectangle of a displayed node in client coordinates; empty when it is not displayed.
    RECT NodeRect(NodeId node) const;
    std::string CellText(NodeId node, int column) const;
    std::string CellHint(NodeId node, int column) const;

    void Paint(HDC dc, const RECT& client) override;
    // A row's height in pixels at the list's DPI.
    int RowHeight() const { return ScaleLength(kRowHeight, dpi_); }
    void OnScaleChanged(ScaleChange& change) override;
    // The row pictures, made for the list's DPI by their owner.
    void SetImages(HIMAGELIST images);

    // AccessibleSource: the displayed rows are the items.
    AccessibleElement AccessibleSelf() const override;
    int AccessibleItemCount() const override;
    AccessibleElement AccessibleItem(int index) const override;
    int AccessibleFocusedItem() const override;
    int AccessibleItemAt(POINT client) const override;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CellRequest Cell(NodeId node, int column) const;
    int VisibleRowCapacity() const;
    void LayoutChanged();
    void UpdateScrollBar();
    void ScrollTo(int topIndex);
    void EnsureVisible(NodeId node);
    void SetHot(NodeId node);
    void PaintRow(HDC dc, NodeId node, const RECT& row, int width);
    void PaintCategory(HDC dc, NodeId node, const RECT& row, int width);
    void PaintCell(HDC dc, NodeId node, int column, RECT cell, bool selected);
    void CreateToolTip();
    void TrackHint(POINT client);
    bool HandleKey(WPARAM key);
    // Tells a screen reader which row has the focus, while the list has it.
    void AnnounceFocus();
    void MouseDown(LPARAM lParam);

    ResourceTree tree_;
    RowStates states_{tree_};
    Options options_;
    Resources resources_;
    ResourceListEvents* events_ = nullptr;
    HWND toolTip_ = nullptr;  // a child of the list, destroyed with it
    int updateCount_ = 0;
    int dpi_ = kBaseDpi;
    int nameWidth_ = 120;
    int statusWidth_ = 80;
    int topIndex_ = 0;
    NodeId hot_ = kNoNode;
    NodeId hintNode_ = kNoNode;
    int hintColumn_ = -1;
    bool trackingLeave_ = false;
    std::wstring hintText_;
    std::wstring placeholder_;
};

}  // namespace lumaforge
