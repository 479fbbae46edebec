#include "app/row_states.h"

#include <gtest/gtest.h>

#include <functional>

#include "app/resource_cells.h"

namespace lumaforge {
namespace {

// Each event from a row in a given state, and what the row shows after it.
TEST(RowStates, EachEventLeavesTheRowAsTheListShowsIt) {
    using Event = std::function<void(RowStates&, NodeId)>;
    struct {
        const char* what;
        bool cached;
        bool installed;
        Event event;
        const char* status;
        int installedMark;
    } cases[] = {
        {"found cached", true, false, [](RowStates&, NodeId) {}, "下载成功", 0},
        {"found installed", false, true, [](RowStates&, NodeId) {}, "", 1},
        {"queued", false, false, [](RowStates& s, NodeId n) { s.Queued(n); }, "等待下载", 0},
        {"progressed", false, false, [](RowStates& s, NodeId n) { s.Progressed(n, 7); }, "进度: 7%", 0},
        {"downloaded", false, false,
         [](RowStates& s, NodeId n) {
             s.Progressed(n, 100);
             s.Downloaded(n);
         },
         "下载成功", 0},
        {"failed", false, false, [](RowStates& s, NodeId n) { s.Failed(n); }, "下载失败", 0},
        {"cancelled while downloading", false, false,
         [](RowStates& s, NodeId n) {
             s.Progressed(n, 40);
             s.Cancelled(n);
         },
         "", 0},
        {"refused", false, false, [](RowStates& s, NodeId n) { s.Refused(n); }, "下载失败", 0},
        {"deleted", true, true, [](RowStates& s, NodeId n) { s.Deleted(n); }, "", 1},
        {"deleted while downloading keeps the download", false, false,
         [](RowStates& s, NodeId n) {
             s.Progressed(n, 3);
             s.Deleted(n);
         },
         "进度: 3%", 0},
        {"installed", true, false, [](RowStates& s, NodeId n) { s.Installed(n); }, "下载成功", 1},
        {"uninstalled", true, true, [](RowStates& s, NodeId n) { s.Uninstalled(n); }, "下载成功", 0},
    };
    for (const auto& c : cases) {
        ResourceTree tree;
        RowStates states(tree);
        const NodeId row = tree.Add(kNoNode, "Dino");
        states.Found(row, c.cached, c.installed);
        c.event(states, row);
        EXPECT_EQ(CellText(tree.Item(row), {2, false, true, 1}), c.status) << c.what;
        EXPECT_EQ(tree.Item(row).Installed, c.installedMark) << c.what;
    }
}

TEST(RowStates, AnEventTouchesOnlyItsRow) {
    ResourceTree tree;
    RowStates states(tree);
    const NodeId a = tree.Add(kNoNode, "A");
    const NodeId b = tree.Add(kNoNode, "B");
    states.Found(a, true, true);
    states.Found(b, true, true);
    states.Deleted(a);
    states.Uninstalled(a);
    EXPECT_EQ(tree.Item(a).State, dsNone);
    EXPECT_EQ(tree.Item(b).State, dsDownloaded);
    EXPECT_EQ(tree.Item(b).Installed, 1);
}

}  // namespace
}  // namespace lumaforge
