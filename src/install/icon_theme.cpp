#include "install/icon_theme.h"

#include "base/ini.h"
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

IconThemeFile::IconThemeFile(std::string text, std::string themePath)
    : text_(std::move(text)), themePath_(std::move(themePath)) {}

std::string IconThemeFile::Location(std::string_view section, std::string_view key) const {
    return ReplaceThemePath(IniValue(text_, section, key), themePath_);
}

}  // namespace lumaforge
