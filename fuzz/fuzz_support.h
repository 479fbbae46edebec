#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/code_page_posix.h"

namespace lumaforge::fuzz {

// A property of the code under test that the input broke: the input is kept as a crash.
[[noreturn]] inline void Fail(const char* file, int line, const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s:%d: broken: %s %s\n", file, line, what, detail.c_str());
    std::abort();
}
#define FUZZ_CHECK(condition, detail)                                          \
    do {                                                                       \
        if (!(condition))                                                      \
            ::lumaforge::fuzz::Fail(__FILE__, __LINE__, #condition, (detail)); \
    } while (false)

// Reads an input from the front: a few bytes of choices, then the rest as text.
class Input {
public:
    Input(const uint8_t* data, size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    uint8_t Byte() {
        if (rest_.empty())
            return 0;
        const auto byte = static_cast<uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return byte;
    }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
    // Bytes up to the next `separator` (or all that are left), the separator dropped.
    std::string_view Until(char separator) {
        const size_t at = rest_.find(separator);
        const std::string_view part = rest_.substr(0, at);
        rest_.remove_prefix(at == std::string_view::npos ? rest_.size() : at + 1);
        return part;
    }
    std::string_view Rest() {
        const std::string_view rest = rest_;
        rest_ = {};
        return rest;
    }
    bool Empty() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

// Code page 936, as the program meets it on Chinese systems.
inline const AnsiCodePage& Gbk() {
    static const IconvCodePage gbk("CP936");
    return gbk;
}

inline std::string Printable(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            out += escape;
        }
    }
    return out;
}

}  // namespace lumaforge::fuzz
