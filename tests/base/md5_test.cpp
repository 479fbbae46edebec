#include "base/md5.h"

#include <gtest/gtest.h>

namespace lumaforge {
namespace {

TEST(Md5, RfcTestSuite) {
    struct {
        const char* message;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Md5Hex(c.message), c.digest) << '"' << c.message << '"';
}

// The padding takes one block or two depending on where the message ends in its last block.
TEST(Md5, LengthsAroundTheBlockBoundaries) {
    struct {
        size_t length;
        const char* digest;
    } cases[] = {
        {55, "ef1772b6dff9a122358552954ad0df65"},  {56, "3b0c8ac703f828b04c6c197006d17218"},
        {63, "b06521f39153d618550606be297466d5"},  {64, "014842d480b571495a4a0363793f7367"},
        {65, "c743a45e0d2e6a95cb859adae0248435"},  {119, "8a7bd0732ed6a28ce75f6dabc90e1613"},
        {120, "5f61c0ccad4cac44c75ff505e1f1e537"}, {128, "e510683b3f5ffe4093d021808bc6ff70"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Md5Hex(std::string(c.length, 'a')), c.digest) << c.length << " bytes";
}

TEST(Md5, HashesBytesNotCharacters) {
    EXPECT_EQ(Md5Hex(std::string_view("\x00\xff\xd6\xd0", 4)), "910c46f17d340f324bf1d95e735d3f36");
    EXPECT_EQ(Md5("abc")[0], 0x90);
}

}  // namespace
}  // namespace lumaforge
