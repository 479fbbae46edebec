#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/code_page.h"

namespace lumaforge {

inline constexpr uint16_t kHttpPort = 80;
inline constexpr uint16_t kHttpsPort = 443;

struct UrlParts {
    std::string host;
    std::string object;  // path and query, starting with "/"; empty without a path
    uint16_t port = kHttpPort;
    bool secure = false;  // https: TLS with the server's certificate checked
};

// Splits an address as the HTTP client sends it: "http://" or "https://" (any case) removed, host
// and optional ":port" before the first "/", the rest as the object. Port 80, or 443 for https,
// unless a valid one is given; an address without a scheme is plain HTTP. An object that is no
// UTF-8 (an address whose GBK escapes were decoded) has its bytes above ASCII escaped again, so the
// request carries those very bytes instead of replacement characters.
UrlParts SplitUrl(std::string_view url);

// Percent-encodes a text. Letters, digits, "." and "_" pass; every other byte becomes %XX. A
// character that takes two bytes in the ANSI code page travels as its UTF-8 bytes when `utf8` is
// set, as its two code-page bytes otherwise.
std::string UrlEncode(std::u16string_view text, bool utf8, const AnsiCodePage& codePage);

class UrlDecodeError : public std::runtime_error {
public:
    UrlDecodeError() : std::runtime_error("Invalid hex digit in URL") {}
};

// Undoes %XX escapes and turns "+" into a blank; throws UrlDecodeError on a bad escape.
std::string UrlDecode(std::string_view text);

// The text of `source` between the first `startMarker` at or after `startPosition` (1-based; 0 and
// 1 mean the start) and the next `endMarker`; empty when not found. Case-insensitive matching
// folds A-Z only and returns the source's own letters.
std::u16string TextBetween(std::u16string_view source, std::u16string_view startMarker, std::u16string_view endMarker,
                           int startPosition, bool caseInsensitive, bool allowMissingEnd);

}  // namespace lumaforge
