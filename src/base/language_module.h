#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace lumaforge {

// The files tried, in order, as the language module of a program: the program's path with
// everything after the last "." of its file name replaced by the three-letter language name, then
// by its first two letters. None when the file name has no "." or the language name is empty.
std::vector<std::string> LanguageModuleCandidates(std::string_view programPath, std::string_view languageAbbrev);

}  // namespace lumaforge
