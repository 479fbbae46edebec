#include "net/url.h"

#include <charconv>

#include "base/text.h"

namespace lumaforge {
namespace {
bool Unreserved(unsigned char c) {
    return c == '.' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

void AppendEscaped(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c < 0xDC00;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c < 0xE000;
}

// A text that is no UTF-8 as a whole is bytes of another encoding; some of them may look like
// UTF-8 by chance (GBK's D4 AD), so every byte above ASCII is escaped then.
std::string EscapeNonUtf8(std::string_view text) {
    if (IsValidUtf8(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80)
            out += static_cast<char>(c);
        else
            AppendEscaped(out, c);
    }
    return out;
}

std::u16string FoldAscii(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c + 32);
    return out;
}
}  // namespace

UrlParts SplitUrl(std::string_view url) {
    UrlParts parts;
    for (std::string_view prefix : {std::string_view("http://"), std::string_view("https://")}) {
        if (AsciiLower(url.substr(0, prefix.size())) == prefix) {
            url.remove_prefix(prefix.size());
            parts.secure = prefix == "https://";
            break;
        }
    }
    parts.port = parts.secure ? kHttpsPort : kHttpPort;
    size_t slash = url.find('/');
    std::string_view host = url.substr(0, slash);
    if (slash != std::string_view::npos)
        parts.object = EscapeNonUtf8(url.substr(slash));
    size_t colon = host.find(':');
    if (!host.empty() && colon != std::string_view::npos) {
        std::string_view portText = host.substr(colon + 1);
        host = host.substr(0, colon);
        unsigned value = 0;
        auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), value);
        if (!portText.empty() && error == std::errc() && end == portText.data() + portText.size() && value <= 65535)
            parts.port = static_cast<uint16_t>(value);
    }
    parts.host = std::string(host);
    return parts;
}

std::string UrlEncode(std::u16string_view text, bool utf8, const AnsiCodePage& codePage) {
    std::string out;
    auto appendUtf8 = [&out](std::u16string_view character) {
        for (unsigned char b : Utf16ToUtf8(character))
            AppendEscaped(out, b);
    };
    for (size_t i = 0; i < text.size(); ++i) {
        // A character above U+FFFF is a pair of UTF-16 units and travels as one character.
        const bool pair = IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
        const std::u16string_view character = text.substr(i, pair ? 2 : 1);
        if (pair)
            ++i;
        std::string bytes = pair ? std::string() : codePage.EncodeChar(character[0]);
        if (bytes.empty()) {
            // The code page cannot hold the character. With the UTF-8 form asked for, its UTF-8
            // bytes still name it exactly; without, it travels as "?", as the code page writes it.
            if (utf8) {
                appendUtf8(character);
                continue;
            }
            bytes = "?";
        }
        if (bytes.size() == 1) {
            unsigned char b = static_cast<unsigned char>(bytes[0]);
            if (Unreserved(b))
                out += static_cast<char>(b);
            else
                AppendEscaped(out, b);
        } else if (utf8) {
            appendUtf8(character);
        } else {
            for (unsigned char b : bytes)
                AppendEscaped(out, b);
        }
    }
    return out;
}

std::string UrlDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%') {
            if (i + 2 >= text.size())
                throw UrlDecodeError();
            int high = HexValue(text[i + 1]);
            int low = HexValue(text[i + 2]);
            if (high < 0 || low < 0)
                throw UrlDecodeError();
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else if (c == '+') {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

std::u16string TextBetween(std::u16string_view source, std::u16string_view startMarker, std::u16string_view endMarker,
                           int startPosition, bool caseInsensitive, bool allowMissingEnd) {
    if (source.empty())
        return {};
    std::u16string foldedSource, foldedStart, foldedEnd;
    std::u16string_view text = source, start = startMarker, end = endMarker;
    if (caseInsensitive) {
        foldedSource = FoldAscii(source);
        foldedStart = FoldAscii(startMarker);
        foldedEnd = FoldAscii(endMarker);
        text = foldedSource;
        start = foldedStart;
        end = foldedEnd;
    }
    size_t position = startPosition > 1 ? static_cast<size_t>(startPosition - 1) : 0;
    if (position > text.size())
        return {};
    if (!start.empty()) {
        size_t found = text.find(start, position);
        if (found == std::u16string_view::npos)
            return {};
        position = found + start.size();
    }
    size_t stop = text.size();
    if (!end.empty()) {
        size_t found = text.find(end, position);
        if (found != std::u16string_view::npos)
            stop = found;
        else if (!allowMissingEnd)
            return {};
    }
    return std::u16string(source.substr(position, stop - position));
}

}  // namespace lumaforge
