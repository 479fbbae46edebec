#pragma once
#include <string>
#include <string_view>

namespace lumaforge {

std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);

}  // namespace lumaforge
