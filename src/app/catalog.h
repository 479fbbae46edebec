#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/resource_item.h"

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
// Windows refuses in file names, not "." or "..".
bool IsUsablePackageName(std::string_view name);

// Lines as a text list reads them: split at CR LF, CR or LF; a final line break adds no line.
std::vector<std::string> SplitLines(std::string_view text);
// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// A value of an INI text: section and key without regard to ASCII case, blanks around them
// ignored; empty when absent.
std::string IniValue(std::string_view text, std::string_view section, std::string_view key);

}  // namespace lumaforge
