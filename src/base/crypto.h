#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumaforge {

// SHA-256 and Ed25519 as libsodium computes them; nothing here is cryptography of our own.

using Sha256Digest = std::array<uint8_t, 32>;
using PublicKey = std::array<uint8_t, 32>;
// The secret half of a signing key: the 32-byte seed from which libsodium derives the key pair.
using SigningSeed = std::array<uint8_t, 32>;
using Signature = std::array<uint8_t, 64>;

// A SHA-256 digest of bytes that arrive in pieces.
class Sha256 {
public:
    Sha256();
    void Update(const void* data, size_t size);
    void Update(std::string_view bytes) { Update(bytes.data(), bytes.size()); }
    // The digest of everything fed in; the object is spent afterwards.
    Sha256Digest Final();

private:
    // libsodium's crypto_hash_sha256_state, kept opaque so that its header stays in the .cpp.
    alignas(16) std::array<unsigned char, 128> state_;
};

Sha256Digest Sha256Of(std::string_view bytes);

// The size and SHA-256 of a file's whole content.
struct FileDigest {
    uint64_t size = 0;
    Sha256Digest sha256{};
    bool operator==(const FileDigest&) const = default;
};

// The digest of a file (UTF-8 path); nothing when it cannot be opened or read to its end.
std::optional<FileDigest> DigestOfFile(const std::string& utf8Path);

struct SigningKeys {
    SigningSeed seed{};
    PublicKey publicKey{};
};

// A new key pair from the system's random source.
SigningKeys NewSigningKeys();
SigningKeys SigningKeysFromSeed(const SigningSeed& seed);

// The detached Ed25519 signature of `message`.
Signature Sign(std::string_view message, const SigningKeys& keys);
// Whether `signature` is the holder of `key`'s signature of exactly `message`.
bool VerifySignature(std::string_view message, const Signature& signature, const PublicKey& key);

// Lower-case hexadecimal digits of bytes.
std::string ToHex(std::span<const uint8_t> bytes);
// Exactly out.size() bytes as 2 * out.size() hexadecimal digits (either case), nothing else; false
// otherwise, `out` then undefined.
bool FromHex(std::string_view hex, std::span<uint8_t> out);

}  // namespace lumaforge
