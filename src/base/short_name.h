#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace lumaforge {

// A name of at most 255 bytes kept inline with its length byte, so a row record has a fixed size.
// Longer names are cut, never in the middle of a UTF-8 character.
class ShortName {
public:
    static constexpr size_t kCapacity = 255;

    ShortName() = default;
    explicit ShortName(std::string_view text) { Assign(text); }

    void Assign(std::string_view text);
    std::string_view View() const { return {bytes_.data(), length_}; }
    size_t Size() const { return length_; }

private:
    uint8_t length_ = 0;
    std::array<char, kCapacity> bytes_{};
};

}  // namespace lumaforge
