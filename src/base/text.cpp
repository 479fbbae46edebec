#include "base/text.h"

#include <algorithm>
#include <cstring>

namespace lumaforge {
namespace {
constexpr char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
}  // namespace

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

bool ContainsAsciiFolded(std::string_view text, std::string_view lowered) {
    if (lowered.empty())
        return true;
    if (lowered.size() > text.size())
        return false;
    // Names are short: lowering into a stack buffer keeps a filter pass free of allocations.
    char buffer[512];
    if (text.size() > sizeof buffer)
        return AsciiLower(text).find(lowered) != std::string::npos;
    for (size_t i = 0; i < text.size(); ++i)
        buffer[i] = LowerAscii(text[i]);
    return std::string_view(buffer, text.size()).find(lowered) != std::string_view::npos;
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view Utf8Prefix(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    size_t end = maxBytes;
    // Step back over continuation bytes so the cut lands on the start of a character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

bool LessAsciiNoCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(LowerAscii(x)) < static_cast<unsigned char>(LowerAscii(y));
    });
}

std::string FormatNameCount(std::string_view format, std::string_view name, int count) {
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            char conversion = format[i + 1];
            if (conversion == 's') {
                out += name;
                ++i;
                continue;
            }
            if (conversion == 'd') {
                out += std::to_string(count);
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace lumaforge
