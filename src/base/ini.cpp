#include "base/ini.h"

#include "base/text.h"

namespace lumaforge {
namespace {
bool EqualsNoCase(std::string_view a, std::string_view b) {
    return AsciiLower(a) == AsciiLower(b);
}

std::string_view Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}
}  // namespace

std::vector<IniEntry> IniSection(std::string_view text, std::string_view section) {
    std::vector<IniEntry> entries;
    bool inSection = false;
    for (const std::string& raw : SplitLines(text)) {
        std::string_view line = Trim(raw);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            size_t close = line.find(']');
            inSection = close != std::string_view::npos && EqualsNoCase(Trim(line.substr(1, close - 1)), section);
            continue;
        }
        size_t equals = line.find('=');
        if (inSection && equals != std::string_view::npos)
            entries.push_back(
                {std::string(Trim(line.substr(0, equals))), std::string(Unquoted(Trim(line.substr(equals + 1))))});
    }
    return entries;
}

std::string IniValue(std::string_view text, std::string_view section, std::string_view key) {
    for (IniEntry& entry : IniSection(text, section)) {
        if (EqualsNoCase(entry.key, key))
            return std::move(entry.value);
    }
    return {};
}

}  // namespace lumaforge
