#include "base/language_module.h"

namespace lumaforge {

std::vector<std::string> LanguageModuleCandidates(std::string_view programPath, std::string_view languageAbbrev) {
    const size_t dot = programPath.rfind('.');
    const size_t separator = programPath.find_last_of("\\/");
    const bool dotInFileName =
        dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator);
    if (!dotInFileName || languageAbbrev.empty())
        return {};
    const std::string stem(programPath.substr(0, dot + 1));
    std::vector<std::string> candidates{stem + std::string(languageAbbrev)};
    if (languageAbbrev.size() > 2)
        candidates.push_back(stem + std::string(languageAbbrev.substr(0, 2)));
    return candidates;
}

}  // namespace lumaforge
