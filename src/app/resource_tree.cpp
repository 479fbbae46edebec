#include "app/resource_tree.h"

#include <algorithm>

#include "base/text.h"

namespace lumaforge {

NodeId ResourceTree::Add(NodeId parent, std::string_view name) {
    NodeId id = static_cast<NodeId>(nodes_.size());
    Node node;
    node.item.Name.Assign(name);
    node.parent = parent;
    node.level = parent == kNoNode ? 0 : nodes_[parent].level + 1;
    nodes_.push_back(std::move(node));
    (parent == kNoNode ? roots_ : nodes_[parent].children).push_back(id);
    MarkDirty();
    return id;
}

void ResourceTree::Clear() {
    nodes_.clear();
    roots_.clear();
    focused_ = kNoNode;
    MarkDirty();
}

void ResourceTree::SetExpanded(NodeId node, bool expanded) {
    if (nodes_[node].expanded != expanded) {
        nodes_[node].expanded = expanded;
        MarkDirty();
    }
}

void ResourceTree::SetCategoriesExpanded(bool expanded) {
    NodeId focused = focused_;
    for (NodeId root : roots_)
        SetExpanded(root, expanded);
    focused_ = focused;
}

template <typename Visit>
void ResourceTree::ForEachDepthFirst(const std::vector<NodeId>& level, Visit&& visit) {
    for (NodeId node : level) {
        visit(node);
        ForEachDepthFirst(nodes_[node].children, visit);
    }
}

void ResourceTree::Filter(std::string_view text, bool flat) {
    const std::string filter = AsciiLower(text);
    ForEachDepthFirst(roots_, [&](NodeId node) {
        Node& n = nodes_[node];
        n.visible = true;
        if (!filter.empty() && (flat || n.level == 1))
            n.visible = ContainsAsciiFolded(n.item.Name.View(), filter);
    });
    if (!flat) {
        for (NodeId root : roots_) {
            const auto& children = nodes_[root].children;
            nodes_[root].visible =
                std::any_of(children.begin(), children.end(), [&](NodeId c) { return nodes_[c].visible; });
        }
    }
    MarkDirty();
}

const std::vector<NodeId>& ResourceTree::DisplayRows() const {
    if (!displayDirty_)
        return displayRows_;
    displayRows_.clear();
    displayIndex_.assign(nodes_.size(), -1);
    auto addLevel = [&](const std::vector<NodeId>& level, auto&& self) -> void {
        for (NodeId node : level) {
            const Node& n = nodes_[node];
            if (!n.visible)
                continue;
            displayIndex_[node] = static_cast<int>(displayRows_.size());
            displayRows_.push_back(node);
            if (n.expanded)
                self(n.children, self);
        }
    };
    addLevel(roots_, addLevel);
    displayDirty_ = false;
    return displayRows_;
}

int ResourceTree::DisplayIndex(NodeId node) const {
    if (node == kNoNode)
        return -1;
    DisplayRows();
    return displayIndex_[node];
}

NodeId ResourceTree::FocusAt(int displayIndex) {
    const auto& rows = DisplayRows();
    if (rows.empty())
        return focused_;
    displayIndex = std::clamp(displayIndex, 0, static_cast<int>(rows.size()) - 1);
    focused_ = rows[displayIndex];
    return focused_;
}

NodeId ResourceTree::MoveFocus(int rows) {
    // A focus hidden inside a collapsed category moves from the nearest displayed ancestor.
    NodeId from = focused_;
    while (from != kNoNode && DisplayIndex(from) < 0)
        from = nodes_[from].parent;
    if (from == kNoNode)
        return FocusFirst();
    return FocusAt(DisplayIndex(from) + rows);
}

NodeId ResourceTree::FocusFirst() {
    return FocusAt(0);
}

NodeId ResourceTree::FocusLast() {
    return FocusAt(static_cast<int>(DisplayRows().size()) - 1);
}

}  // namespace lumaforge
