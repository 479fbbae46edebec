#pragma once
#include <string>
#include <string_view>

namespace lumaforge {

// A value of an INI text, read as the platform's profile functions read it: section and key
// without regard to ASCII case, blanks around them ignored, one pair of enclosing quotes (double
// or single) removed; empty when absent.
std::string IniValue(std::string_view text, std::string_view section, std::string_view key);

}  // namespace lumaforge
