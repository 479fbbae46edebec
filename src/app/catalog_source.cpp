#include "app/catalog_source.h"

namespace lumaforge {
namespace {
std::optional<Manifest> Verified(const PublicKey& key, const SignedCatalogFiles& files) {
    if (files.catalog.empty())
        return std::nullopt;
    CatalogVerification verification = VerifyCatalog(key, files.catalog, files.manifest, files.signature);
    if (verification.trust != CatalogTrust::Verified)
        return std::nullopt;
    return std::move(verification.manifest);
}
}  // namespace

CatalogChoice ChooseCatalog(const std::optional<PublicKey>& key, const SignedCatalogFiles& served,
                            const SignedCatalogFiles& local) {
    CatalogChoice choice;
    if (!key) {
        choice.catalog = served.catalog.empty() ? local.catalog : served.catalog;
        return choice;
    }
    if (std::optional<Manifest> manifest = Verified(*key, served)) {
        choice.catalog = served.catalog;
        choice.manifest = std::move(manifest);
        choice.keepServed = true;
        return choice;
    }
    choice.servedRefused = !served.catalog.empty();
    if (std::optional<Manifest> manifest = Verified(*key, local)) {
        choice.catalog = local.catalog;
        choice.manifest = std::move(manifest);
    }
    return choice;
}

}  // namespace lumaforge
