#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumaforge {

// The MD5 message digest of RFC 1321. It names cached pictures, nothing that needs security.
std::array<uint8_t, 16> Md5(std::string_view bytes);

// The digest as 32 lower-case hexadecimal digits.
std::string Md5Hex(std::string_view bytes);

}  // namespace lumaforge
