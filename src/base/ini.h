#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace lumaforge {

// A value of an INI text, read as the platform's profile functions read it: section and key
// without regard to ASCII case, blanks around them ignored, one pair of enclosing quotes (double
// or single) removed; empty when absent.
std::string IniValue(std::string_view text, std::string_view section, std::string_view key);

struct IniEntry {
    std::string key;
    std::string value;
};
// Every entry of a section, in file order, read as IniValue reads one.
std::vector<IniEntry> IniSection(std::string_view text, std::string_view section);

}  // namespace lumaforge
