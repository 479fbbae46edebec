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
    // The bytes of one UTF-16 character; empty when the code page cannot hold it (a look-alike the
    // code page would write instead does not count).
    virtual std::string EncodeChar(char16_t c) const = 0;
    // UTF-8 text of bytes in the code page.
    virtual std::string ToUtf8(std::string_view bytes) const = 0;
};

// The longest prefix of a UTF-8 text whose form in the code page takes at most `maxBytes` bytes,
// cut between characters. A character the code page cannot hold counts as the one "?" it becomes.
std::string_view AnsiPrefix(std::string_view utf8, size_t maxBytes, const AnsiCodePage& codePage);

// True when `text` is well-formed UTF-8: no stray continuation byte, no sequence cut short, no
// overlong form, no encoded surrogate (ED A0-BF), nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// UTF-8 <-> UTF-16 without any platform service. An ill-formed UTF-8 sequence becomes one U+FFFD
// and ends at the first byte that cannot continue it, so the bytes after it keep their meaning; a
// lone surrogate becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// The text of a file as UTF-8: UTF-8, UTF-16 little-endian or big-endian after their byte-order
// mark, the code page without one. What the mark promises but the bytes break becomes U+FFFD.
std::string DecodeMarkedText(std::string_view bytes, const AnsiCodePage& codePage);

// The bytes of a text file for the system's profile functions: in the ANSI code page when it
// holds every character, as the system's own tools write it; otherwise UTF-16 little-endian after
// its byte-order mark, which those functions read too, rather than losing characters to question
// marks or look-alikes.
std::string EncodeAnsiOrUtf16(std::string_view utf8, const AnsiCodePage& codePage);

}  // namespace lumaforge
