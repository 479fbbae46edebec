#pragma once
#include "app/resource_tree.h"

namespace lumaforge {

// The one writer of the rows' download state, percentage and installed mark. Every change of a
// row is one event named here; the list only reads the rows, and painting never changes them.
// User-interface thread only.
class RowStates {
public:
    explicit RowStates(ResourceTree& tree) : tree_(tree) {}

    // What the fill found on disk for a new row.
    void Found(NodeId node, bool packageCached, bool installed);

    // The download of a row, as its manager reports it.
    void Queued(NodeId node);
    void Progressed(NodeId node, int percent);
    void Downloaded(NodeId node);
    void Failed(NodeId node);
    void Cancelled(NodeId node);
    // A downloaded package that did not match what the catalog's signed manifest says of it: it
    // shows as failed, the window says why.
    void Refused(NodeId node);
    // The cached package went: deleted from the menu, or found gone from the cache.
    void Deleted(NodeId node);

    void Installed(NodeId node);
    void Uninstalled(NodeId node);

private:
    void SetState(NodeId node, uint8_t state, int progress);

    ResourceTree& tree_;
};

}  // namespace lumaforge
