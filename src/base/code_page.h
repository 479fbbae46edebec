#pragma once
#include <string>
#include <string_view>

namespace lumaforge {

// The system's ANSI code page (936, GBK, on Chinese systems): the byte form in which some texts
// travel (the search keyword, the catalog file). The program asks Windows; the native build asks
// the C library for the code page by name.
class AnsiCodePage {
public:
    virtual ~AnsiCodePage() = default;
    // The bytes of one UTF-16 character; empty when the code page cannot hold it.
    virtual std::string EncodeChar(char16_t c) const = 0;
    // UTF-8 text of bytes in the code page.
    virtual std::string ToUtf8(std::string_view bytes) const = 0;
};

// The longest prefix of a UTF-8 text whose form in the code page takes at most `maxBytes` bytes,
// cut between characters. A character the code page cannot hold counts as the one "?" it becomes.
std::string_view AnsiPrefix(std::string_view utf8, size_t maxBytes, const AnsiCodePage& codePage);

// UTF-8 <-> UTF-16 without any platform service.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace lumaforge
