#include "base/crypto.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace lumaforge {
namespace {

template <size_t N>
std::array<uint8_t, N> FromHexOrFail(std::string_view hex) {
    std::array<uint8_t, N> bytes{};
    EXPECT_TRUE(FromHex(hex, bytes)) << hex;
    return bytes;
}

TEST(Sha256Test, KnownDigests) {
    // FIPS 180-2 examples, and the empty message.
    const struct {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToHex(Sha256Of(c.message)), c.digest) << c.message;
}

TEST(Sha256Test, PiecesGiveTheDigestOfTheWhole) {
    // A million "a" fed in pieces that do not line up with the 64-byte blocks.
    Sha256 hash;
    const std::string piece(999, 'a');
    for (size_t left = 1000000; left > 0;) {
        const size_t count = std::min(left, piece.size());
        hash.Update(piece.data(), count);
        left -= count;
    }
    EXPECT_EQ(ToHex(hash.Final()), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256Test, DigestOfFileHasItsSizeAndHash) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("lumaforge-crypto-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-文件.bin");
    std::string content(3 * (1 << 20) + 7, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 31 + 7);
    std::ofstream(path, std::ios::binary) << content;
    const std::u8string u8 = path.u8string();
    const std::string utf8(u8.begin(), u8.end());

    const std::optional<FileDigest> digest = DigestOfFile(utf8);
    ASSERT_TRUE(digest);
    EXPECT_EQ(digest->size, content.size());
    EXPECT_EQ(digest->sha256, Sha256Of(content));
    std::filesystem::remove(path);
    EXPECT_FALSE(DigestOfFile(utf8));
}

// RFC 8032, section 7.1, tests 1 and 2.
TEST(Ed25519Test, KnownKeysAndSignatures) {
    const struct {
        const char* seed;
        const char* publicKey;
        std::string message;
        const char* signature;
    } cases[] = {
        {"9d61b19deffd5a60ba844af492ec2cc44449c5697b326919703bac031cae7f60",
         "d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a", "",
         "e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e065224901555fb8821590a33bacc61e39701cf9b46bd25bf5f0595bb"
         "e24"
         "655141438e7a100b"},
        {"4ccd089b28ff96da9db6c346ec114e0f5b8a319f35aba624da8cf6ed4fb8a6fb",
         "3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c", "\x72",
         "92a009a9f0d4cab8720e820b5f642540a2b27b5416503f8fb3762223ebdb69da085ac1e43e15996e458f3613d0f11d8c387b2eaeb4302"
         "aee"
         "b00d291612bb0c00"},
    };
    for (const auto& c : cases) {
        const SigningKeys keys = SigningKeysFromSeed(FromHexOrFail<32>(c.seed));
        EXPECT_EQ(ToHex(keys.publicKey), c.publicKey);
        const Signature signature = Sign(c.message, keys);
        EXPECT_EQ(ToHex(signature), c.signature);
        EXPECT_TRUE(VerifySignature(c.message, signature, keys.publicKey));
    }
}

TEST(Ed25519Test, AnythingChangedFailsTheVerification) {
    const SigningKeys keys = NewSigningKeys();
    const SigningKeys other = NewSigningKeys();
    EXPECT_NE(keys.publicKey, other.publicKey);
    const std::string message = "catalog\t1234\tabcdef\n";
    const Signature signature = Sign(message, keys);
    ASSERT_TRUE(VerifySignature(message, signature, keys.publicKey));

    Signature flipped = signature;
    flipped[17] ^= 0x04;
    std::string edited = message;
    edited[9] = '5';
    EXPECT_FALSE(VerifySignature(message, flipped, keys.publicKey));
    EXPECT_FALSE(VerifySignature(edited, signature, keys.publicKey));
    EXPECT_FALSE(VerifySignature(message.substr(0, message.size() - 1), signature, keys.publicKey));
    EXPECT_FALSE(VerifySignature(message, signature, other.publicKey));
    EXPECT_FALSE(VerifySignature(message, Signature{}, keys.publicKey));
}

TEST(HexTest, ReadsExactlyTheDigitsOfTheSize) {
    std::array<uint8_t, 2> out{};
    EXPECT_TRUE(FromHex("0aFf", out));
    EXPECT_EQ(out, (std::array<uint8_t, 2>{0x0a, 0xff}));
    EXPECT_EQ(ToHex(out), "0aff");
    for (const char* bad : {"", "0af", "0aff0", "0ag0", " 0af", "0a f", "0aff\n"})
        EXPECT_FALSE(FromHex(bad, out)) << '"' << bad << '"';
}

}  // namespace
}  // namespace lumaforge
