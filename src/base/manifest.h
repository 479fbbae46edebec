#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "base/crypto.h"

namespace lumaforge {

// The signed list of what a resource server publishes: the size and SHA-256 of the catalog and of
// every package and preview. The publisher writes it beside the catalog, with its detached Ed25519
// signature; the program trusts the catalog and a download only as far as they match it.
//
// The text is UTF-8 with LF line ends: a first line "Lumaforge manifest 1", one line
// "catalog<TAB>size<TAB>sha256" and one line per file "package|preview<TAB>kind<TAB>name<TAB>size<TAB>sha256",
// kind as in the server's paths ("theme", "cursor", ...), name as the catalog lists it, size in
// decimal, the digest in 64 lower-case hexadecimal digits. The signature file holds the 128
// hexadecimal digits of the signature of the manifest's exact bytes, and a line end.

enum class ManifestRole { Package, Preview };

struct ManifestEntry {
    ManifestRole role = ManifestRole::Package;
    int kind = 0;  // TResourceKind's number
    std::string name;
    FileDigest digest;
};

class Manifest {
public:
    static constexpr std::string_view kFirstLine = "Lumaforge manifest 1";

    explicit Manifest(const FileDigest& catalog = {}) : catalog_(catalog) {}

    // Nothing when the text is not a whole manifest of this format: a line missing or malformed,
    // a kind unknown, a file listed twice, no catalog line or two.
    static std::optional<Manifest> Parse(std::string_view text);

    // False, and nothing added, for a kind outside 0-5, a name that is empty or holds a control
    // character, or a file already listed.
    bool Add(const ManifestEntry& entry);
    std::string Text() const;

    const FileDigest& Catalog() const { return catalog_; }
    const std::vector<ManifestEntry>& Entries() const { return entries_; }
    // The digest a package or preview must have; nothing when the manifest does not list it.
    const FileDigest* Find(ManifestRole role, int kind, std::string_view name) const;

private:
    FileDigest catalog_;
    std::vector<ManifestEntry> entries_;
    std::map<std::tuple<ManifestRole, int, std::string>, size_t, std::less<>> index_;
};

// The manifest's signature in its file form, and back; reading allows white space after the digits.
std::string SignatureText(const Signature& signature);
std::optional<Signature> ParseSignatureText(std::string_view text);

// A public key as 64 hexadecimal digits (catalog.pub, the build option); white space around is allowed.
std::string PublicKeyText(const PublicKey& key);
std::optional<PublicKey> ParsePublicKeyText(std::string_view text);

enum class CatalogTrust {
    Verified,
    BadSignature,     // the signature is missing, malformed or not the key holder's for these bytes
    DamagedManifest,  // signed, yet not a manifest this program reads
    CatalogAltered,   // the catalog's bytes are not those the manifest lists
};

struct CatalogVerification {
    CatalogTrust trust = CatalogTrust::BadSignature;
    std::optional<Manifest> manifest;  // only when Verified
};

// Whether the catalog and the manifest are the ones the key's holder published, as fetched: the
// catalog file's bytes, the manifest's and its signature file's.
CatalogVerification VerifyCatalog(const PublicKey& key, std::string_view catalogBytes, std::string_view manifestText,
                                  std::string_view signatureText);

enum class FileTrust { Matches, Unreadable, WrongSize, WrongContent };

// Whether a downloaded or cached file (UTF-8 path) is the one the manifest lists: its size first,
// then its SHA-256.
FileTrust CheckFile(const std::string& utf8Path, const FileDigest& expected);

}  // namespace lumaforge
