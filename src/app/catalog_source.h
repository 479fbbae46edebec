#pragma once
#include <optional>
#include <string>

#include "base/crypto.h"
#include "base/manifest.h"

namespace lumaforge {

// A catalog with the manifest and signature that came with it: as served, or as kept beside the
// program. An empty catalog is one that was not there.
struct SignedCatalogFiles {
    std::string catalog;
    std::string manifest;
    std::string signature;
};

struct CatalogChoice {
    // The catalog's bytes the lists come from; empty when there is none to use.
    std::string catalog;
    // The verified manifest that downloads are checked against; nothing without a key.
    std::optional<Manifest> manifest;
    // The server's catalog or manifest did not verify and was put aside: the user is told.
    bool servedRefused = false;
    // The served files verified: they become the local copy.
    bool keepServed = false;
};

// Which catalog the lists show. Without a key, the served one, else the local copy (as ever).
// With one, only a catalog whose manifest carries the key holder's signature and lists its bytes:
// the served one when it verifies, else the local copy when that verifies, else none; a catalog
// that failed is never used, not even in part.
CatalogChoice ChooseCatalog(const std::optional<PublicKey>& key, const SignedCatalogFiles& served,
                            const SignedCatalogFiles& local);

}  // namespace lumaforge
