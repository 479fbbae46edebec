#include "app/row_states.h"

namespace lumaforge {

void RowStates::SetState(NodeId node, uint8_t state, int progress) {
    TResourceItem& row = tree_.MutableItem(node);
    row.State = state;
    row.Progress = progress;
}

void RowStates::Found(NodeId node, bool packageCached, bool installed) {
    SetState(node, packageCached ? dsDownloaded : dsNone, 0);
    tree_.MutableItem(node).Installed = installed ? 1 : 0;
}

void RowStates::Queued(NodeId node) {
    SetState(node, dsWaiting, 0);
}

void RowStates::Progressed(NodeId node, int percent) {
    SetState(node, dsDownloading, percent);
}

void RowStates::Downloaded(NodeId node) {
    // The percentage stays: it is what the last report said.
    SetState(node, dsDownloaded, tree_.Item(node).Progress);
}

void RowStates::Failed(NodeId node) {
    SetState(node, dsFailed, tree_.Item(node).Progress);
}

void RowStates::Cancelled(NodeId node) {
    SetState(node, dsNone, 0);
}

void RowStates::Refused(NodeId node) {
    SetState(node, dsFailed, 0);
}

void RowStates::Deleted(NodeId node) {
    if (tree_.Item(node).State == dsDownloaded)
        SetState(node, dsNone, 0);
}

void RowStates::Installed(NodeId node) {
    tree_.MutableItem(node).Installed = 1;
}

void RowStates::Uninstalled(NodeId node) {
    tree_.MutableItem(node).Installed = 0;
}

}  // namespace lumaforge
