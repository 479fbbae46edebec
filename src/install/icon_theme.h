#pragma once
#include <array>
#include <string>
#include <string_view>

namespace lumaforge {

// A theme key that overrides the icon of a shell folder class: the value `valueName` (empty: the
// default value) of the class's "DefaultIcon" key.
struct ClsidIconRow {
    const char* section;
    const char* key;
    const char* clsid;
    const char* valueName;
};

// The recycle bin's "Recycle Bin (empty)" feeds both its default value and "Empty"; the class ids
// keep the letter case the shell registers them with.
inline constexpr std::array<ClsidIconRow, 20> ClsidIconTable = {{
    {"Desktop Icons", "My Computer", "{20D04FE0-3AEA-1069-A2D8-08002B30309D}", ""},
    {"Desktop Icons", "My Documents", "{450D8FBA-AD25-11D0-98A8-0800361B1103}", ""},
    {"Desktop Icons", "Network Neighborhood", "{208D2C60-3AEA-1069-A2D7-08002B30309D}", ""},
    {"Desktop Icons", "The Internet", "{871C5380-42A0-1069-A2EA-08002B30309D}", ""},
    {"Desktop Icons", "My Briefcase", "{85BBD920-42A0-1069-A2E4-08002B30309D}", ""},
    {"Desktop Icons", "Recycle Bin (empty)", "{645FF040-5081-101B-9F08-00AA002F954E}", ""},
    {"Desktop Icons", "Recycle Bin (empty)", "{645FF040-5081-101B-9F08-00AA002F954E}", "Empty"},
    {"Desktop Icons", "Recycle Bin (full)", "{645FF040-5081-101B-9F08-00AA002F954E}", "full"},
    {"Start Icons", "Find", "{2559a1f0-21d7-11d4-bdaf-00c04f60b9f0}", ""},
    {"Start Icons", "Run", "{2559a1f3-21d7-11d4-bdaf-00c04f60b9f0}", ""},
    {"Start Icons", "Help", "{2559a1f1-21d7-11d4-bdaf-00c04f60b9f0}", ""},
    {"Start Icons", "Set Program Access And Defaults", "{2559a1f7-21d7-11d4-bdaf-00c04f60b9f0}", ""},
    {"Folder Icons", "Control Panel", "{21EC2020-3AEA-1069-A2DD-08002B30309D}", ""},
    {"Folder Icons", "Administrative Tools", "{D20EA4E1-3957-11d2-A40B-0C5020524153}", ""},
    {"Folder Icons", "Fonts", "{D20EA4E1-3957-11d2-A40B-0C5020524152}", ""},
    {"Folder Icons", "Network Connections", "{7007ACC7-3202-11D1-AAD2-00805FC1270E}", ""},
    {"Folder Icons", "Printers", "{2227A280-3AEA-1069-A2DE-08002B30309D}", ""},
    {"Folder Icons", "Scanners && Cameras", "{E211B736-43FD-11D1-9EFB-0000F8757FCD}", ""},
    {"Folder Icons", "Scheduled Tasks", "{D6277990-4C6A-11CF-8D87-00AA0060F5BF}", ""},
    {"Folder Icons", "ActiveX Cache", "{88c6c381-2e85-11d0-94de-444553540000}", ""},
}};

// A theme key that overrides one of the shell's own icons: the value named by the shell's icon
// index under the machine-wide "Shell Icons" key.
struct ShellIconRow {
    const char* section;
    const char* key;
    const char* valueName;
};

inline constexpr std::array<ShellIconRow, 18> ShellIconTable = {{
    {"Folder Icons", "Closed Folder", "3"},
    {"Folder Icons", "Open Folder", "4"},
    {"Folder Icons", "Program Group", "36"},
    {"Drive Icons", "Floppy Drive (5.25)", "5"},
    {"Drive Icons", "Floppy Drive (3.5)", "6"},
    {"Drive Icons", "Removable Drive", "7"},
    {"Drive Icons", "Hard Drive", "8"},
    {"Drive Icons", "Network Drive (connected)", "9"},
    {"Drive Icons", "Network Drive (offline)", "10"},
    {"Drive Icons", "CD-ROM Drive", "11"},
    {"Drive Icons", "RAM Drive", "12"},
    {"Other Icons", "Entire Network", "13"},
    {"Other Icons", "Network Service", "14"},
    {"Other Icons", "Computer", "15"},
    {"Other Icons", "Workgroup", "18"},
    {"Other Icons", "Sharing Overlay", "28"},
    {"Other Icons", "Shortcut Overlay", "29"},
    {"Other Icons", "Audio CD", "40"},
}};

// Every occurrence of "%themepath%", in any letter case, replaced by the theme path.
std::string ReplaceThemePath(std::string_view location, std::string_view themePath);

// The folder part of a path, with its trailing backslash; empty for a bare file name.
std::string ThemePathOf(std::string_view themeFile);

// An icon theme file: INI text whose sections and keys match in any case.
class IconThemeFile {
public:
    IconThemeFile(std::string text, std::string themePath);

    const std::string& ThemePath() const { return themePath_; }
    // The icon location of a key, trimmed, with the theme path in place of its placeholder; empty
    // when the key is missing or has no value.
    std::string Location(std::string_view section, std::string_view key) const;

private:
    std::string text_;
    std::string themePath_;
};

}  // namespace lumaforge
