#include "app/catalog_source.h"

#include <gtest/gtest.h>

namespace lumaforge {
namespace {

// A catalog signed with `keys`, as the publisher writes it.
SignedCatalogFiles Signed(const std::string& catalog, const SigningKeys& keys) {
    Manifest manifest(FileDigest{catalog.size(), Sha256Of(catalog)});
    EXPECT_TRUE(manifest.Add({ManifestRole::Package, 1, "Sky", FileDigest{3, Sha256Of("sky")}}));
    const std::string text = manifest.Text();
    return {catalog, text, SignatureText(Sign(text, keys))};
}

TEST(CatalogSourceTest, WithoutAKeyTheServedCatalogElseTheLocalCopy) {
    const SignedCatalogFiles local{"local", "", ""};
    EXPECT_EQ(ChooseCatalog(std::nullopt, {"served", "", ""}, local).catalog, "served");
    const CatalogChoice offline = ChooseCatalog(std::nullopt, {}, local);
    EXPECT_EQ(offline.catalog, "local");
    EXPECT_FALSE(offline.manifest);
    EXPECT_FALSE(offline.servedRefused);
}

TEST(CatalogSourceTest, WithAKeyOnlyAVerifiedCatalogIsUsedAndARefusedOneNeverInPart) {
    const SigningKeys keys = NewSigningKeys();
    const SignedCatalogFiles served = Signed("served v2", keys);
    const SignedCatalogFiles local = Signed("local v1", keys);
    SignedCatalogFiles edited = served;
    edited.catalog = "served v3";  // changed after signing
    SignedCatalogFiles otherSigner = Signed("served v2", NewSigningKeys());
    SignedCatalogFiles unsigned_ = served;
    unsigned_.signature.clear();
    SignedCatalogFiles localEdited = local;
    localEdited.catalog[0] = 'L';

    struct Case {
        const char* what;
        SignedCatalogFiles served, local;
        std::string catalog;
        bool refused, keep;
    };
    const Case cases[] = {
        {"served and verified", served, local, "served v2", false, true},
        {"catalog edited after signing", edited, local, "local v1", true, false},
        {"signed by another key", otherSigner, local, "local v1", true, false},
        {"no signature", unsigned_, local, "local v1", true, false},
        {"server silent", {}, local, "local v1", false, false},
        {"refused, local copy altered too", edited, localEdited, "", true, false},
        {"server silent, no local copy", {}, {}, "", false, false},
    };
    for (const Case& c : cases) {
        const CatalogChoice choice = ChooseCatalog(keys.publicKey, c.served, c.local);
        EXPECT_EQ(choice.catalog, c.catalog) << c.what;
        EXPECT_EQ(choice.servedRefused, c.refused) << c.what;
        EXPECT_EQ(choice.keepServed, c.keep) << c.what;
        EXPECT_EQ(choice.manifest.has_value(), !c.catalog.empty()) << c.what;
        if (choice.manifest) {
            EXPECT_TRUE(choice.manifest->Find(ManifestRole::Package, 1, "Sky")) << c.what;
        }
    }
}

}  // namespace
}  // namespace lumaforge
