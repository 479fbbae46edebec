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

// The status column keeps its width; the name column takes what is left of the client width.
constexpr ListColumns ListColumnWidths(int clientWidth) {
    return {clientWidth - kStatusColumnWidth, kStatusColumnWidth};
}

// The folder-icon categories as listed: sorted without regard to ASCII case.
std::vector<std::string> SortedCategoryNames(std::vector<std::string> names);

}  // namespace lumaforge
