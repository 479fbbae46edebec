#include "base/manifest.h"

#include <charconv>
#include <filesystem>

#include "base/resource_kind.h"
#include "base/text.h"

namespace lumaforge {
namespace {
constexpr std::string_view kCatalogTag = "catalog";
constexpr std::string_view kPackageTag = "package";
constexpr std::string_view kPreviewTag = "preview";

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

bool HasControlCharacter(std::string_view text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

bool ParseSize(std::string_view text, uint64_t& size) {
    // Plain decimal digits only: no sign, no blank, no leading zero but for 0 itself.
    if (text.empty() || (text.size() > 1 && text[0] == '0'))
        return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseDigest(std::string_view size, std::string_view sha256, FileDigest& digest) {
    // Lower case only, as written: one manifest has one spelling.
    for (char c : sha256) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return ParseSize(size, digest.size) && FromHex(sha256, digest.sha256);
}

std::optional<int> KindNumber(std::string_view name) {
    for (int kind = 0; kind < kResourceKindCount; ++kind) {
        if (KindName(kind) == name)
            return kind;
    }
    return std::nullopt;
}
}  // namespace

std::optional<Manifest> Manifest::Parse(std::string_view text) {
    // Every line ends with LF, the last one too: a manifest cut anywhere is no manifest.
    if (!text.ends_with('\n'))
        return std::nullopt;
    std::vector<std::string_view> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (lines.empty() || lines[0] != kFirstLine)
        return std::nullopt;
    Manifest manifest;
    bool haveCatalog = false;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string_view> fields = Fields(lines[i]);
        if (fields[0] == kCatalogTag) {
            if (haveCatalog || fields.size() != 3 || !ParseDigest(fields[1], fields[2], manifest.catalog_))
                return std::nullopt;
            haveCatalog = true;
            continue;
        }
        if (fields.size() != 5 || (fields[0] != kPackageTag && fields[0] != kPreviewTag))
            return std::nullopt;
        ManifestEntry entry;
        entry.role = fields[0] == kPackageTag ? ManifestRole::Package : ManifestRole::Preview;
        const std::optional<int> kind = KindNumber(fields[1]);
        if (!kind || !ParseDigest(fields[3], fields[4], entry.digest))
            return std::nullopt;
        entry.kind = *kind;
        entry.name = fields[2];
        if (!manifest.Add(entry))
            return std::nullopt;
    }
    if (!haveCatalog)
        return std::nullopt;
    return manifest;
}

bool Manifest::Add(const ManifestEntry& entry) {
    if (!KindName(entry.kind) || entry.name.empty() || HasControlCharacter(entry.name))
        return false;
    if (!index_.emplace(std::make_tuple(entry.role, entry.kind, entry.name), entries_.size()).second)
        return false;
    entries_.push_back(entry);
    return true;
}

std::string Manifest::Text() const {
    std::string text(kFirstLine);
    text += '\n';
    text.append(kCatalogTag).append("\t").append(std::to_string(catalog_.size)).append("\t");
    text.append(ToHex(catalog_.sha256)).append("\n");
    for (const ManifestEntry& entry : entries_) {
        text.append(entry.role == ManifestRole::Package ? kPackageTag : kPreviewTag).append("\t");
        text.append(*KindName(entry.kind)).append("\t").append(entry.name).append("\t");
        text.append(std::to_string(entry.digest.size)).append("\t").append(ToHex(entry.digest.sha256)).append("\n");
    }
    return text;
}

const FileDigest* Manifest::Find(ManifestRole role, int kind, std::string_view name) const {
    auto found = index_.find(std::make_tuple(role, kind, std::string(name)));
    return found == index_.end() ? nullptr : &entries_[found->second].digest;
}

std::string SignatureText(const Signature& signature) {
    return ToHex(signature) + "\n";
}

std::optional<Signature> ParseSignatureText(std::string_view text) {
    Signature signature;
    if (!FromHex(Trim(text), signature))
        return std::nullopt;
    return signature;
}

std::string PublicKeyText(const PublicKey& key) {
    return ToHex(key);
}

std::optional<PublicKey> ParsePublicKeyText(std::string_view text) {
    PublicKey key;
    if (!FromHex(Trim(text), key))
        return std::nullopt;
    return key;
}

CatalogVerification VerifyCatalog(const PublicKey& key, std::string_view catalogBytes, std::string_view manifestText,
                                  std::string_view signatureText) {
    CatalogVerification result;
    const std::optional<Signature> signature = ParseSignatureText(signatureText);
    if (!signature || !VerifySignature(manifestText, *signature, key)) {
        result.trust = CatalogTrust::BadSignature;
        return result;
    }
    std::optional<Manifest> manifest = Manifest::Parse(manifestText);
    if (!manifest) {
        result.trust = CatalogTrust::DamagedManifest;
        return result;
    }
    if (manifest->Catalog() != FileDigest{catalogBytes.size(), Sha256Of(catalogBytes)}) {
        result.trust = CatalogTrust::CatalogAltered;
        return result;
    }
    result.trust = CatalogTrust::Verified;
    result.manifest = std::move(manifest);
    return result;
}

FileTrust CheckFile(const std::string& utf8Path, const FileDigest& expected) {
    const std::filesystem::path path(std::u8string(utf8Path.begin(), utf8Path.end()));
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return FileTrust::Unreadable;
    if (size != expected.size)
        return FileTrust::WrongSize;
    const std::optional<FileDigest> actual = DigestOfFile(utf8Path);
    if (!actual)
        return FileTrust::Unreadable;
    return *actual == expected ? FileTrust::Matches : FileTrust::WrongContent;
}

}  // namespace lumaforge
