#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/resource_kind.h"

namespace lumaforge {

struct CatalogCategory {
    std::string name;
    std::vector<std::string> items;
};

// What config.txt lists: names trimmed, empty and unusable ones left out.
struct Catalog {
    std::string statusText;
    std::vector<CatalogCategory> themes;
    // The flat lists by resource kind; the theme slot stays empty.
    std::array<std::vector<std::string>, kResourceKindCount> lists;
};

// The flat members in the order the lists are filled, with their kinds.
struct CatalogMember {
    const char* key;
    TResourceKind kind;
};
inline constexpr CatalogMember kFlatMembers[] = {{"cursors", TResourceKind::Cursor},
                                                 {"logons", TResourceKind::Logon},
                                                 {"screensave", TResourceKind::ScreenSaver},
                                                 {"icon", TResourceKind::Icon},
                                                 {"sound", TResourceKind::Sound}};

// Parses the catalog's JSON text (UTF-8). Nothing when it is not an object with a "themes"
// member; any other member that is missing or of the wrong type counts as empty.
std::optional<Catalog> ParseCatalog(std::string_view utf8);

// A name the program can use as a file name in the cache: no path separators, no characters
// Windows refuses in file names, no final "." or blank (Windows drops them, so two names would
// share one file), not a device name (CON, NUL, COM1, ...).
bool IsUsablePackageName(std::string_view name);

}  // namespace lumaforge
