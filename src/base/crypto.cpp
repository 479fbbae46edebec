#include "base/crypto.h"

#include <sodium.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace lumaforge {
namespace {
static_assert(sizeof(crypto_hash_sha256_state) <= 128 && alignof(crypto_hash_sha256_state) <= 16);
static_assert(crypto_hash_sha256_BYTES == sizeof(Sha256Digest));
static_assert(crypto_sign_SEEDBYTES == sizeof(SigningSeed));
static_assert(crypto_sign_PUBLICKEYBYTES == sizeof(PublicKey));
static_assert(crypto_sign_BYTES == sizeof(Signature));

// Large reads keep a 100 MB package's digest close to the speed of the hash itself.
constexpr size_t kFileBufferSize = 1 << 20;

// libsodium picks its implementations once; the call is safe from any thread and any number of times.
void InitSodium() {
    if (sodium_init() < 0)
        throw std::runtime_error("The cryptography library cannot start.");
}

crypto_hash_sha256_state* StateOf(std::array<unsigned char, 128>& storage) {
    return reinterpret_cast<crypto_hash_sha256_state*>(storage.data());
}
}  // namespace

Sha256::Sha256() {
    InitSodium();
    crypto_hash_sha256_init(StateOf(state_));
}

void Sha256::Update(const void* data, size_t size) {
    crypto_hash_sha256_update(StateOf(state_), static_cast<const unsigned char*>(data), size);
}

Sha256Digest Sha256::Final() {
    Sha256Digest digest;
    crypto_hash_sha256_final(StateOf(state_), digest.data());
    return digest;
}

Sha256Digest Sha256Of(std::string_view bytes) {
    Sha256 hash;
    hash.Update(bytes);
    return hash.Final();
}

std::optional<FileDigest> DigestOfFile(const std::string& utf8Path) {
    const std::filesystem::path path(std::u8string(utf8Path.begin(), utf8Path.end()));
    std::ifstream in;
    in.rdbuf()->pubsetbuf(nullptr, 0);
    in.open(path, std::ios::in | std::ios::binary);
    if (!in)
        return std::nullopt;
    Sha256 hash;
    FileDigest digest;
    std::vector<char> buffer(kFileBufferSize);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto count = static_cast<size_t>(in.gcount());
        hash.Update(buffer.data(), count);
        digest.size += count;
    }
    if (!in.eof())
        return std::nullopt;
    digest.sha256 = hash.Final();
    return digest;
}

SigningKeys NewSigningKeys() {
    InitSodium();
    SigningSeed seed;
    randombytes_buf(seed.data(), seed.size());
    SigningKeys keys = SigningKeysFromSeed(seed);
    sodium_memzero(seed.data(), seed.size());
    return keys;
}

SigningKeys SigningKeysFromSeed(const SigningSeed& seed) {
    InitSodium();
    SigningKeys keys;
    keys.seed = seed;
    std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secret;
    crypto_sign_seed_keypair(keys.publicKey.data(), secret.data(), seed.data());
    sodium_memzero(secret.data(), secret.size());
    return keys;
}

Signature Sign(std::string_view message, const SigningKeys& keys) {
    InitSodium();
    std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secret;
    PublicKey publicKey;
    crypto_sign_seed_keypair(publicKey.data(), secret.data(), keys.seed.data());
    Signature signature;
    crypto_sign_detached(signature.data(), nullptr, reinterpret_cast<const unsigned char*>(message.data()),
                         message.size(), secret.data());
    sodium_memzero(secret.data(), secret.size());
    return signature;
}

bool VerifySignature(std::string_view message, const Signature& signature, const PublicKey& key) {
    InitSodium();
    return crypto_sign_verify_detached(signature.data(), reinterpret_cast<const unsigned char*>(message.data()),
                                       message.size(), key.data()) == 0;
}

std::string ToHex(std::span<const uint8_t> bytes) {
    std::string hex(bytes.size() * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), bytes.data(), bytes.size());
    hex.pop_back();
    return hex;
}

bool FromHex(std::string_view hex, std::span<uint8_t> out) {
    if (hex.size() != out.size() * 2)
        return false;
    size_t length = 0;
    const char* end = nullptr;
    return sodium_hex2bin(out.data(), out.size(), hex.data(), hex.size(), nullptr, &length, &end) == 0 &&
           length == out.size() && end == hex.data() + hex.size();
}

}  // namespace lumaforge
