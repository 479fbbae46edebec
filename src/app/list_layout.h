#pragma once
#include <algorithm>
#include <string>
#include <vector>

namespace lumaforge {

inline constexpr int kStatusColumnWidth = 90;

struct ListColumns {
    int name;
    int status;
};

// The status column keeps its width (in pixels: the 96-DPI width scaled); the name column takes
// what is left of the client width.
constexpr ListColumns ListColumnWidths(int clientWidth, int statusWidth = kStatusColumnWidth) {
    return {clientWidth - statusWidth, statusWidth};
}

// The folder-icon categories as listed: sorted without regard to ASCII case.
std::vector<std::string> SortedCategoryNames(std::vector<std::string> names);

}  // namespace lumaforge
