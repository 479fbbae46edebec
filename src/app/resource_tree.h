#pragma once
#include <string_view>
#include <vector>

#include "app/resource_item.h"

namespace lumaforge {

using NodeId = int;
inline constexpr NodeId kNoNode = -1;

// The rows of one resource list: a tree of at most two levels whose rows go only all at once, when
// the catalog is fetched again. Holds visibility, expansion and focus; the control above it only
// paints and routes input.
class ResourceTree {
public:
    NodeId Add(NodeId parent, std::string_view name);
    // Every row goes, and the focus with them.
    void Clear();

    size_t Size() const { return nodes_.size(); }
    // Rows are read here and changed through RowStates, their one writer.
    const TResourceItem& Item(NodeId node) const { return nodes_[node].item; }
    void Rename(NodeId node, std::string_view name) { nodes_[node].item.Name.Assign(name); }
    NodeId Parent(NodeId node) const { return nodes_[node].parent; }
    int Level(NodeId node) const { return nodes_[node].level; }
    const std::vector<NodeId>& Roots() const { return roots_; }
    const std::vector<NodeId>& Children(NodeId node) const { return nodes_[node].children; }

    bool Expanded(NodeId node) const { return nodes_[node].expanded; }
    void SetExpanded(NodeId node, bool expanded);
    void ToggleExpanded(NodeId node) { SetExpanded(node, !Expanded(node)); }
    bool Visible(NodeId node) const { return nodes_[node].visible; }

    // Every root row takes the given expansion; the focused row stays focused.
    void SetCategoriesExpanded(bool expanded);

    // Visibility by a filter text: flat mode matches every row, tree mode only level-1 rows and
    // then hides the roots left without a visible child (also for an empty filter).
    void Filter(std::string_view text, bool flat);

    // Rows as painted from top to bottom: visible rows whose ancestors are visible and expanded.
    const std::vector<NodeId>& DisplayRows() const;
    // Position of a row in DisplayRows(), or -1 when it is not displayed.
    int DisplayIndex(NodeId node) const;

    NodeId Focused() const { return focused_; }
    void SetFocused(NodeId node) { focused_ = node; }
    // Moves the focus by whole displayed rows (clamped); from no focus it starts at the first row.
    // Returns the new focus.
    NodeId MoveFocus(int rows);
    NodeId FocusFirst();
    NodeId FocusLast();

private:
    friend class RowStates;
    TResourceItem& MutableItem(NodeId node) { return nodes_[node].item; }

    struct Node {
        TResourceItem item;
        NodeId parent = kNoNode;
        int level = 0;
        bool expanded = false;
        bool visible = true;
        std::vector<NodeId> children;
    };
    void MarkDirty() { displayDirty_ = true; }
    template <typename Visit>
    void ForEachDepthFirst(const std::vector<NodeId>& level, Visit&& visit);
    NodeId FocusAt(int displayIndex);

    std::vector<Node> nodes_;
    std::vector<NodeId> roots_;
    NodeId focused_ = kNoNode;
    mutable std::vector<NodeId> displayRows_;
    mutable std::vector<int> displayIndex_;
    mutable bool displayDirty_ = true;
};

}  // namespace lumaforge
