#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumaforge {

// The unsigned number stored in `width` bytes (at most 4) from `at` of a file's bytes, least
// significant byte first, as ZIP and BMP headers store theirs. The caller checks the bytes are there.
inline uint32_t ReadLittleEndian(std::string_view bytes, size_t at, size_t width) {
    uint32_t value = 0;
    for (size_t i = width; i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

}  // namespace lumaforge
