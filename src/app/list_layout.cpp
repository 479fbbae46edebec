#include "app/list_layout.h"

#include "base/text.h"

namespace lumaforge {

std::vector<std::string> SortedCategoryNames(std::vector<std::string> names) {
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return LessAsciiNoCase(a, b); });
    return names;
}

}  // namespace lumaforge
