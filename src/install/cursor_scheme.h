#pragma once
#include <array>
#include <string>
#include <string_view>

namespace lumaforge {

// One mouse-pointer role: the key that names its file in a scheme's setup.inf, the value under
// "Control Panel\Cursors" that holds the file, and the system cursor id it replaces.
struct CursorRole {
    const char* infKey;
    const char* valueName;
    unsigned systemCursorId;
};

inline constexpr size_t kCursorRoleCount = 15;

// In the order of a scheme's entry under "Control Panel\Cursors\Schemes". The keys are the ones
// the packages use: the pen role is fed by "hand", the link role by "link", and "unavailiable" is
// spelled as the packages spell it. The built-in cursor of role i is the resource "CUR_<i>".
inline constexpr std::array<CursorRole, kCursorRoleCount> CursorRoleTable = {{
    {"pointer", "Arrow", 32512},
    {"help", "Help", 32651},
    {"work", "AppStarting", 32650},
    {"busy", "Wait", 32514},
    {"cross", "Crosshair", 32515},
    {"text", "IBeam", 32513},
    {"hand", "NWPen", 32641},
    {"unavailiable", "No", 32648},
    {"vert", "SizeNS", 32645},
    {"horz", "SizeWE", 32644},
    {"dgn1", "SizeNWSE", 32642},
    {"dgn2", "SizeNESW", 32643},
    {"move", "SizeAll", 32646},
    {"alternate", "UpArrow", 32516},
    {"link", "Hand", 32649},
}};

// The cursor file of each role, relative to the scheme's folder; empty for a role the scheme
// leaves alone.
using CursorRoleFiles = std::array<std::string, kCursorRoleCount>;

// Reads the role files from the "[Strings]" section of a setup.inf (UTF-8 text, any line ends).
// The section runs from its header line to the next line that starts with "[", or to the end; the
// header and the keys match in any case, and the whole section is lowered, file names included.
// A value loses its enclosing double quotes only when it has them. Without a "[Strings]" section
// every role is empty.
CursorRoleFiles ReadCursorInf(std::string_view infText);

// A scheme's entry under "Control Panel\Cursors\Schemes": the full path of every role's file
// (folder + file, the folder ending in a backslash) in table order, joined by commas, an empty
// entry for an empty role.
std::string CursorSchemeList(std::string_view schemeFolder, const CursorRoleFiles& files);

}  // namespace lumaforge
