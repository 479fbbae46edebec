#include "install/icon_theme.h"

#include "base/ini.h"
#include "base/little_endian.h"
#include "base/text.h"

namespace lumaforge {

std::string ReplaceThemePath(std::string_view location, std::string_view themePath) {
    constexpr std::string_view kPlaceholder = "%themepath%";
    const std::string lowered = AsciiLower(location);
    std::string out;
    size_t from = 0;
    for (size_t at = lowered.find(kPlaceholder); at != std::string::npos; at = lowered.find(kPlaceholder, from)) {
        out.append(location.substr(from, at - from)).append(themePath);
        from = at + kPlaceholder.size();
    }
    out.append(location.substr(from));
    return out;
}

std::string ThemePathOf(std::string_view themeFile) {
    const size_t separator = themeFile.find_last_of("\\/:");
    return separator == std::string_view::npos ? std::string() : std::string(themeFile.substr(0, separator + 1));
}

std::string ThemeFileText(std::string_view bytes, const AnsiCodePage& codePage) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return std::string(bytes.substr(3));
    if (bytes.starts_with("\xFF\xFE")) {
        std::u16string wide;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            wide.push_back(static_cast<char16_t>(ReadLittleEndian(bytes, i, 2)));
        }
        return Utf16ToUtf8(wide);
    }
    return codePage.ToUtf8(bytes);
}

IconThemeFile::IconThemeFile(std::string text, std::string themePath)
    : text_(std::move(text)), themePath_(std::move(themePath)) {}

std::string IconThemeFile::Location(std::string_view section, std::string_view key) const {
    return ReplaceThemePath(IniValue(text_, section, key), themePath_);
}

}  // namespace lumaforge
