// The text helpers of base: UTF-8 and UTF-16, the code page's prefix, lines and trimming, the
// reader of byte-order-marked texts.
#include "base/code_page.h"
#include "base/text.h"
#include "fuzz_support.h"

using namespace lumaforge;
using namespace lumaforge::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input input(data, size);
    const size_t maxBytes = input.Byte();
    const std::string_view text = input.Rest();

    const bool valid = IsValidUtf8(text);
    const std::u16string wide = Utf8ToUtf16(text);
    FUZZ_CHECK(wide.size() <= text.size(), Printable(text));
    const std::string back = Utf16ToUtf8(wide);
    FUZZ_CHECK(IsValidUtf8(back), Printable(text));
    FUZZ_CHECK((back == text) == valid, Printable(text));
    // Any UTF-16, lone surrogates included, gives valid UTF-8.
    std::u16string units;
    for (size_t i = 0; i + 1 < text.size(); i += 2)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(text[i]) | text[i + 1] << 8));
    FUZZ_CHECK(IsValidUtf8(Utf16ToUtf8(units)), Printable(text));

    const std::string_view ansi = AnsiPrefix(text, maxBytes, Gbk());
    FUZZ_CHECK(text.starts_with(ansi), Printable(text));
    FUZZ_CHECK(!valid || IsValidUtf8(ansi), Printable(text));
    const std::string_view prefix = Utf8Prefix(text, maxBytes);
    FUZZ_CHECK(prefix.size() <= maxBytes || prefix.size() == text.size(), Printable(text));
    FUZZ_CHECK(text.starts_with(prefix) && (!valid || IsValidUtf8(prefix)), Printable(text));

    FUZZ_CHECK(IsValidUtf8(DecodeMarkedText(text, Gbk())), Printable(text));

    const std::string_view trimmed = Trim(text);
    FUZZ_CHECK(Trim(trimmed) == trimmed, Printable(text));
    const std::vector<std::string> lines = SplitLines(text);
    FUZZ_CHECK(SplitLines(JoinLines(lines)) == lines, Printable(text));
    const std::string lowered = AsciiLower(text);
    FUZZ_CHECK(lowered.size() == text.size(), Printable(text));
    FUZZ_CHECK(ContainsAsciiFolded(text, AsciiLower(text.substr(text.size() / 3, text.size() / 3))), Printable(text));
    return 0;
}
