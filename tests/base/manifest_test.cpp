#include "base/manifest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/resource_kind.h"

namespace lumaforge {
namespace {

constexpr int kTheme = static_cast<int>(TResourceKind::Theme);
constexpr int kLogon = static_cast<int>(TResourceKind::Logon);

FileDigest DigestOf(std::string_view bytes) {
    return {bytes.size(), Sha256Of(bytes)};
}

// A publication as the publisher makes it: the catalog, two packages of the same size and a
// preview, the manifest and its signature.
struct Publication {
    SigningKeys keys = NewSigningKeys();
    std::string catalog =
        "{\"themes\":[{\"name\":\"Win\",\"list\":[\"Aero Glass\"]}],\"logons\":[\"\xD0\xC7\xBF\xD5\"]}\r\n";
    std::string aero = "PK aero glass package";
    std::string sky = "PK 星空 login package";
    std::string preview = "\xFF\xD8 preview \xFF\xD9";
    std::string manifest;
    std::string signature;

    Publication() {
        Manifest list(DigestOf(catalog));
        EXPECT_TRUE(list.Add({ManifestRole::Package, kTheme, "Aero Glass", DigestOf(aero)}));
        EXPECT_TRUE(list.Add({ManifestRole::Preview, kTheme, "Aero Glass", DigestOf(preview)}));
        EXPECT_TRUE(list.Add({ManifestRole::Package, kLogon, "星空", DigestOf(sky)}));
        manifest = list.Text();
        signature = SignatureText(Sign(manifest, keys));
    }
};

TEST(ManifestTest, TextReadsBackEntryForEntry) {
    const Publication published;
    const std::optional<Manifest> manifest = Manifest::Parse(published.manifest);
    ASSERT_TRUE(manifest);
    EXPECT_EQ(manifest->Text(), published.manifest);
    EXPECT_EQ(manifest->Catalog(), DigestOf(published.catalog));
    ASSERT_EQ(manifest->Entries().size(), 3u);
    const FileDigest* aero = manifest->Find(ManifestRole::Package, kTheme, "Aero Glass");
    ASSERT_TRUE(aero);
    EXPECT_EQ(*aero, DigestOf(published.aero));
    ASSERT_TRUE(manifest->Find(ManifestRole::Package, kLogon, "星空"));
    // A name is found only under its own role and kind.
    EXPECT_FALSE(manifest->Find(ManifestRole::Preview, kLogon, "星空"));
    EXPECT_FALSE(manifest->Find(ManifestRole::Package, kLogon, "Aero Glass"));
    EXPECT_FALSE(manifest->Find(ManifestRole::Package, kTheme, "aero glass"));
}

TEST(ManifestTest, RefusesWhatItCannotListExactly) {
    Manifest manifest;
    EXPECT_TRUE(manifest.Add({ManifestRole::Package, kTheme, "A", {}}));
    EXPECT_FALSE(manifest.Add({ManifestRole::Package, kTheme, "A", {}}));
    EXPECT_TRUE(manifest.Add({ManifestRole::Preview, kTheme, "A", {}}));
    EXPECT_FALSE(manifest.Add({ManifestRole::Package, 6, "B", {}}));
    EXPECT_FALSE(manifest.Add({ManifestRole::Package, kTheme, "", {}}));
    EXPECT_FALSE(manifest.Add({ManifestRole::Package, kTheme, "tab\there", {}}));
    EXPECT_EQ(manifest.Entries().size(), 2u);
}

TEST(ManifestTest, MalformedTextsAreNoManifest) {
    const std::string sha(64, 'a');
    const std::string head = std::string(Manifest::kFirstLine) + "\ncatalog\t10\t" + sha + "\n";
    const std::string cases[] = {
        "",
        head.substr(0, head.size() - 1),  // the last line cut before its end
        head.substr(0, head.size() - 20),
        "Lumaforge manifest 2\ncatalog\t10\t" + sha + "\n",
        std::string(Manifest::kFirstLine) + "\n",                                           // no catalog line
        head + "catalog\t10\t" + sha + "\n",                                                // two
        head + "package\ttheme\tA\t10\t" + sha + "\npackage\ttheme\tA\t11\t" + sha + "\n",  // a file twice
        head + "package\tthemes\tA\t10\t" + sha + "\n",                                     // unknown kind
        head + "package\ttheme\t\t10\t" + sha + "\n",                                       // no name
        head + "package\ttheme\tA\t-10\t" + sha + "\n",
        head + "package\ttheme\tA\t010\t" + sha + "\n",
        head + "package\ttheme\tA\t\t" + sha + "\n",
        head + "package\ttheme\tA\t10\t" + std::string(64, 'A') + "\n",  // upper case
        head + "package\ttheme\tA\t10\t" + sha.substr(1) + "\n",
        head + "package\ttheme\tA\t10\t" + sha + "\textra\n",
        head + "package\ttheme\tA B\t10\n",
        head + "\n",
        head + "installer\ttheme\tA\t10\t" + sha + "\n",
    };
    ASSERT_TRUE(Manifest::Parse(head));
    for (const std::string& text : cases)
        EXPECT_FALSE(Manifest::Parse(text)) << text;
}

TEST(ManifestTest, VerifiesOnlyTheCatalogAndManifestTheKeyHolderSigned) {
    const Publication p;
    const CatalogVerification good = VerifyCatalog(p.keys.publicKey, p.catalog, p.manifest, p.signature);
    EXPECT_EQ(good.trust, CatalogTrust::Verified);
    ASSERT_TRUE(good.manifest);
    EXPECT_TRUE(good.manifest->Find(ManifestRole::Package, kLogon, "星空"));

    // The manifest with the two packages' entries swapped: every line still well formed.
    std::string swapped = p.manifest;
    const std::string aeroHash = ToHex(Sha256Of(p.aero));
    const std::string skyHash = ToHex(Sha256Of(p.sky));
    swapped.replace(swapped.find(aeroHash), aeroHash.size(), skyHash);
    swapped.replace(swapped.rfind(skyHash), skyHash.size(), aeroHash);
    ASSERT_TRUE(Manifest::Parse(swapped));

    std::string editedCatalog = p.catalog;
    editedCatalog.replace(editedCatalog.find("Aero Glass"), 10, "Evil Glass");
    std::string flipped = p.signature;
    flipped[5] = flipped[5] == '0' ? '1' : '0';
    const std::string otherSigned = SignatureText(Sign(p.manifest, NewSigningKeys()));
    // The last file line dropped, and the manifest cut inside a line.
    const std::string shorter = p.manifest.substr(0, p.manifest.rfind('\n', p.manifest.size() - 2) + 1);
    const std::string cut = p.manifest.substr(0, p.manifest.size() - 30);
    std::string unsignedRewrite = p.manifest;
    unsignedRewrite.replace(unsignedRewrite.find(ToHex(Sha256Of(p.catalog))), 64, ToHex(Sha256Of(editedCatalog)));

    const struct {
        const char* what;
        std::string catalog, manifest, signature;
        CatalogTrust trust;
    } cases[] = {
        {"catalog edited after signing", editedCatalog, p.manifest, p.signature, CatalogTrust::CatalogAltered},
        {"catalog's hash rewritten too", editedCatalog, unsignedRewrite, p.signature, CatalogTrust::BadSignature},
        {"two packages swapped in the list", p.catalog, swapped, p.signature, CatalogTrust::BadSignature},
        {"a bit of the signature flipped", p.catalog, p.manifest, flipped, CatalogTrust::BadSignature},
        {"signed with another key", p.catalog, p.manifest, otherSigned, CatalogTrust::BadSignature},
        {"no signature", p.catalog, p.manifest, "", CatalogTrust::BadSignature},
        {"signature not hexadecimal", p.catalog, p.manifest, std::string(128, 'z'), CatalogTrust::BadSignature},
        {"manifest lost its last line", p.catalog, shorter, p.signature, CatalogTrust::BadSignature},
        {"manifest cut inside a line", p.catalog, cut, p.signature, CatalogTrust::BadSignature},
        {"no manifest", p.catalog, "", p.signature, CatalogTrust::BadSignature},
        {"signature file with CR LF", p.catalog, p.manifest, p.signature.substr(0, 128) + "\r\n",
         CatalogTrust::Verified},
    };
    for (const auto& c : cases) {
        const CatalogVerification result = VerifyCatalog(p.keys.publicKey, c.catalog, c.manifest, c.signature);
        EXPECT_EQ(result.trust, c.trust) << c.what;
        EXPECT_EQ(result.manifest.has_value(), c.trust == CatalogTrust::Verified) << c.what;
    }
}

TEST(ManifestTest, SignedTextThatIsNoManifestIsDamaged) {
    const SigningKeys keys = NewSigningKeys();
    const std::string text = "not a manifest\n";
    EXPECT_EQ(VerifyCatalog(keys.publicKey, "", text, SignatureText(Sign(text, keys))).trust,
              CatalogTrust::DamagedManifest);
}

TEST(ManifestTest, KeysAndSignaturesReadTheirFileForm) {
    const SigningKeys keys = NewSigningKeys();
    EXPECT_EQ(ParsePublicKeyText(PublicKeyText(keys.publicKey) + "\n"), keys.publicKey);
    EXPECT_EQ(ParsePublicKeyText(" " + PublicKeyText(keys.publicKey) + "\r\n"), keys.publicKey);
    EXPECT_FALSE(ParsePublicKeyText(PublicKeyText(keys.publicKey).substr(2)));
    EXPECT_FALSE(ParsePublicKeyText(""));
    const Signature signature = Sign("x", keys);
    EXPECT_EQ(ParseSignatureText(SignatureText(signature)), signature);
}

TEST(ManifestTest, CheckFileComparesSizeAndContent) {
    namespace fs = std::filesystem;
    const Publication p;
    const fs::path folder = fs::temp_directory_path() /
                            ("lumaforge-manifest-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::create_directories(folder);
    auto write = [&](const char* name, const std::string& bytes) {
        std::ofstream(folder / name, std::ios::binary) << bytes;
        const std::u8string u8 = (folder / name).u8string();
        return std::string(u8.begin(), u8.end());
    };
    const FileDigest expected = DigestOf(p.aero);
    std::string sameSize = p.aero;
    sameSize.back() ^= 1;
    EXPECT_EQ(CheckFile(write("good.zip", p.aero), expected), FileTrust::Matches);
    EXPECT_EQ(CheckFile(write("other.zip", p.sky), expected), FileTrust::WrongSize);
    EXPECT_EQ(CheckFile(write("changed.zip", sameSize), expected), FileTrust::WrongContent);
    EXPECT_EQ(CheckFile(write("empty.zip", ""), expected), FileTrust::WrongSize);
    EXPECT_EQ(CheckFile((folder / "missing.zip").string(), expected), FileTrust::Unreadable);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace lumaforge
