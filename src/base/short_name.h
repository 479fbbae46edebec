#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace lumaforge {

// A name kept inline with its length, so a row record has a fixed size. It holds any name of 255
// bytes in the ANSI code page, whose UTF-8 form takes up to three bytes for each of them; longer
// texts are cut, never in the middle of a UTF-8 character.
class ShortName {
public:
    static constexpr size_t kAnsiCapacity = 255;
    static constexpr size_t kCapacity = 3 * kAnsiCapacity;

    ShortName() = default;
    explicit ShortName(std::string_view text) { Assign(text); }

    void Assign(std::string_view text);
    std::string_view View() const { return {bytes_.data(), length_}; }
    size_t Size() const { return length_; }

private:
    uint16_t length_ = 0;
    std::array<char, kCapacity> bytes_{};
};

}  // namespace lumaforge
