#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace lumaforge {

// Lowers the ASCII letters A-Z only; every other byte (UTF-8 sequences included) is kept.
std::string AsciiLower(std::string_view text);

// True when `lowered` occurs in `text` after the ASCII letters of `text` are lowered.
bool ContainsAsciiFolded(std::string_view text, std::string_view lowered);

// True when every byte is ASCII (below 0x80): the same text in UTF-8 and in any ANSI code page.
bool IsAscii(std::string_view text);

// Removes leading and trailing white space (blank, tab, CR, LF, VT, FF).
std::string_view Trim(std::string_view text);

// The longest prefix of `text` of at most `maxBytes` bytes that does not split a UTF-8 sequence.
std::string_view Utf8Prefix(std::string_view text, size_t maxBytes);

// Case-insensitive (ASCII) ordering, the order of a sorted name list.
bool LessAsciiNoCase(std::string_view a, std::string_view b);

// The text of a printf-style format with one argument each; kept small on purpose.
std::string FormatNameCount(std::string_view format, std::string_view name, int count);

// Lines as a text list reads them: split at CR LF, CR or LF; a final line break adds no line.
std::vector<std::string> SplitLines(std::string_view text);
// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace lumaforge
