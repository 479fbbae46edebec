// The URL helpers: encode and decode round trips, the split of an address, TextBetween.
#include "base/code_page.h"
#include "base/text.h"
#include "fuzz_support.h"
#include "net/url.h"

using namespace lumaforge;
using namespace lumaforge::fuzz;

namespace {
bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c < 0xDC00;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c < 0xE000;
}

// The bytes a text stands for once its encoding is decoded again: each character's bytes in the
// code page, its UTF-8 bytes where it takes two code-page bytes and `utf8` is set, or where the code
// page lacks it ("?" without `utf8`).
std::string Expected(std::u16string_view text, bool utf8) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool pair = IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
        const std::u16string_view character = text.substr(i, pair ? 2 : 1);
        i += pair;
        const std::string bytes = pair ? std::string() : Gbk().EncodeChar(character[0]);
        if (bytes.size() == 1)
            out += bytes;
        else if (utf8)
            out += Utf16ToUtf8(character);
        else
            out += bytes.empty() ? "?" : bytes;
    }
    return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input input(data, size);
    const uint8_t choice = input.Byte();
    const std::string_view bytes = input.Rest();

    // Encoding: only unreserved characters and escapes come out, and decoding gives the bytes back.
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | bytes[i + 1] << 8));
    for (bool utf8 : {false, true}) {
        const std::string encoded = UrlEncode(text, utf8, Gbk());
        for (char c : encoded)
            FUZZ_CHECK(c == '%' || c == '.' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                           (c >= 'a' && c <= 'z'),
                       encoded);
        FUZZ_CHECK(UrlDecode(encoded) == Expected(text, utf8), encoded);
    }

    // Decoding: any bytes escaped come back as they were; a bad escape is the one error.
    std::string escaped;
    for (unsigned char c : bytes) {
        char escape[4];
        std::snprintf(escape, sizeof escape, choice & 1 ? "%%%02X" : "%%%02x", c);
        escaped += escape;
    }
    FUZZ_CHECK(UrlDecode(escaped) == bytes, Printable(bytes));
    try {
        FUZZ_CHECK(UrlDecode(bytes).size() <= bytes.size(), Printable(bytes));
    } catch (const UrlDecodeError&) {
        FUZZ_CHECK(bytes.find('%') != std::string_view::npos, Printable(bytes));
    }

    // The object of an address is what the client sends: always valid UTF-8, the bytes unchanged.
    const UrlParts parts = SplitUrl(bytes);
    FUZZ_CHECK(IsValidUtf8(parts.object), Printable(bytes));
    FUZZ_CHECK(parts.object.empty() || parts.object.front() == '/', Printable(bytes));
    std::string_view address = bytes;
    for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
        if (AsciiLower(address.substr(0, scheme.size())) == scheme) {
            address.remove_prefix(scheme.size());
            break;
        }
    }
    const size_t slash = address.find('/');
    const std::string_view object = slash == std::string_view::npos ? std::string_view() : address.substr(slash);
    if (IsValidUtf8(object))
        FUZZ_CHECK(parts.object == object, Printable(bytes));
    else if (object.find_first_of("%+") == std::string_view::npos)
        FUZZ_CHECK(UrlDecode(parts.object) == object, Printable(bytes));

    // TextBetween gives a part of its source.
    const std::u16string_view source(text);
    const size_t third = source.size() / 3;
    const std::u16string between = TextBetween(source, source.substr(0, choice % 4), source.substr(third, choice % 3),
                                               choice >> 4, choice & 2, choice & 4);
    FUZZ_CHECK(source.find(between) != std::u16string_view::npos, Printable(bytes));
    return 0;
}
