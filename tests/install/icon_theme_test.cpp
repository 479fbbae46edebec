#include "install/icon_theme.h"

#include <gtest/gtest.h>

namespace lumaforge {
namespace {

TEST(ReplaceThemePathTest, ReplacesThePlaceholderInAnyCase) {
    const struct {
        const char* location;
        const char* expected;
    } cases[] = {
        {"%THEMEPATH%icons\\pc.ico,0", "C:\\T\\icons\\pc.ico,0"},
        {"%themepath%a.ico", "C:\\T\\a.ico"},
        {"%ThemePath%a.dll,%themePATH%", "C:\\T\\a.dll,C:\\T\\"},
        {"C:\\other\\a.ico", "C:\\other\\a.ico"},
        {"%themepath a.ico", "%themepath a.ico"},
        {"%THEMEPATH%%THEMEPATH%", "C:\\T\\C:\\T\\"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceThemePath(c.location, "C:\\T\\"), c.expected) << c.location;
    // The replacement is not searched again.
    EXPECT_EQ(ReplaceThemePath("%themepath%x", "%THEMEPATH%\\"), "%THEMEPATH%\\x");
}

TEST(ThemePathOfTest, IsTheFolderWithItsBackslash) {
    EXPECT_EQ(ThemePathOf("C:\\app\\cache\\icon\\Blue.v2\\Blue.v2.config"), "C:\\app\\cache\\icon\\Blue.v2\\");
    EXPECT_EQ(ThemePathOf("Blue.config"), "");
}

TEST(IconThemeFileTest, LooksUpSectionsAndKeysInAnyCase) {
    const IconThemeFile theme(
        "[Desktop Icons]\r\n"
        "My Computer = %THEMEPATH%pc.ico,0  \r\n"
        "Recycle Bin (empty)=\r\n"
        "[folder icons]\r\n"
        "SCANNERS && CAMERAS=%ThemePath%scan.ico\r\n"
        "[Start Icons]\r\n"
        "E-mail=C:\\mail.ico\r\n",
        "C:\\T\\");
    EXPECT_EQ(theme.Location("Desktop Icons", "My Computer"), "C:\\T\\pc.ico,0");
    EXPECT_EQ(theme.Location("DESKTOP ICONS", "my computer"), "C:\\T\\pc.ico,0");
    EXPECT_EQ(theme.Location("Folder Icons", "Scanners && Cameras"), "C:\\T\\scan.ico");
    EXPECT_EQ(theme.Location("Start Icons", "E-mail"), "C:\\mail.ico");
    EXPECT_EQ(theme.Location("Desktop Icons", "Recycle Bin (empty)"), "");
    EXPECT_EQ(theme.Location("Desktop Icons", "Scanners && Cameras"), "");  // another section's key
    EXPECT_EQ(theme.Location("Drive Icons", "Hard Drive"), "");
}

}  // namespace
}  // namespace lumaforge
