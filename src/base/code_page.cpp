#include "base/code_page.h"

#include <algorithm>

namespace lumaforge {

namespace {
// One character of a UTF-8 text, or the maximal part of an ill-formed sequence that a decoder
// replaces by one U+FFFD: the lead byte and the continuation bytes that could still have followed
// it. The byte that breaks a sequence is never part of it.
struct Utf8Char {
    char32_t codePoint = 0xFFFD;
    size_t length = 1;
    bool valid = false;
};

Utf8Char DecodeUtf8Char(std::string_view text, size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1, true};
    size_t continuations = 0;
    char32_t codePoint = 0;
    // The range the first continuation byte must fall in: it excludes the overlong forms (E0 80-9F,
    // F0 80-8F), the surrogates (ED A0-BF) and what lies above U+10FFFF (F4 90-BF).
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuations = 1;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuations = 2;
        codePoint = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuations = 3;
        codePoint = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {};
    }
    size_t length = 1;
    for (size_t k = 0; k < continuations; ++k) {
        if (at + length >= text.size())
            return {0xFFFD, length, false};
        const auto c = static_cast<unsigned char>(text[at + length]);
        if (c < low || c > high)
            return {0xFFFD, length, false};
        codePoint = codePoint << 6 | (c & 0x3F);
        ++length;
        low = 0x80;
        high = 0xBF;
    }
    return {codePoint, length, true};
}

void AppendUtf16(std::u16string& out, char32_t codePoint) {
    if (codePoint >= 0x10000) {
        codePoint -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(codePoint));
    }
}

std::u16string Utf16Of(std::string_view bytes, bool bigEndian) {
    std::u16string text;
    text.reserve(bytes.size() / 2 + 1);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned first = static_cast<unsigned char>(bytes[i]);
        const unsigned second = static_cast<unsigned char>(bytes[i + 1]);
        text.push_back(static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first));
    }
    // A last byte without its pair is a broken character, not nothing.
    if (bytes.size() % 2 != 0)
        text.push_back(u'\uFFFD');
    return text;
}
}  // namespace

bool IsValidUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const Utf8Char c = DecodeUtf8Char(text, i);
        if (!c.valid)
            return false;
        i += c.length;
    }
    return true;
}

std::string_view AnsiPrefix(std::string_view utf8, size_t maxBytes, const AnsiCodePage& codePage) {
    // No ANSI code page Windows runs with takes more bytes for a character than UTF-8 does.
    if (utf8.size() <= maxBytes)
        return utf8;
    size_t ansiBytes = 0;
    size_t end = 0;
    while (end < utf8.size()) {
        const Utf8Char c = DecodeUtf8Char(utf8, end);
        // A character outside the code page, above U+FFFF or ill-formed is written as one "?".
        const size_t encoded = c.valid && c.codePoint < 0x10000
                                   ? std::max<size_t>(codePage.EncodeChar(static_cast<char16_t>(c.codePoint)).size(), 1)
                                   : 1;
        if (ansiBytes + encoded > maxBytes)
            break;
        ansiBytes += encoded;
        end += c.length;
    }
    return utf8.substr(0, end);
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const Utf8Char c = DecodeUtf8Char(utf8, i);
        AppendUtf16(out, c.codePoint);
        i += c.length;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::string DecodeMarkedText(std::string_view bytes, const AnsiCodePage& codePage) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
        return IsValidUtf8(bytes) ? std::string(bytes) : Utf16ToUtf8(Utf8ToUtf16(bytes));
    }
    if (bytes.starts_with("\xFF\xFE"))
        return Utf16ToUtf8(Utf16Of(bytes.substr(2), false));
    if (bytes.starts_with("\xFE\xFF"))
        return Utf16ToUtf8(Utf16Of(bytes.substr(2), true));
    return codePage.ToUtf8(bytes);
}

std::string EncodeAnsiOrUtf16(std::string_view utf8, const AnsiCodePage& codePage) {
    const std::u16string wide = Utf8ToUtf16(utf8);
    std::string ansi;
    ansi.reserve(utf8.size());
    for (char16_t c : wide) {
        if (c < 0x80) {
            ansi.push_back(static_cast<char>(c));
            continue;
        }
        const std::string bytes = codePage.EncodeChar(c);
        if (bytes.empty()) {
            std::string marked = "\xFF\xFE";
            marked.reserve(2 + wide.size() * 2);
            for (char16_t unit : wide) {
                marked.push_back(static_cast<char>(unit & 0xFF));
                marked.push_back(static_cast<char>(unit >> 8));
            }
            return marked;
        }
        ansi += bytes;
    }
    return ansi;
}

}  // namespace lumaforge
