#include "install/icon_theme.h"

#include <gtest/gtest.h>

#include "base/code_page_posix.h"

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

TEST(ThemeFileTextTest, FollowsTheByteOrderMarkElseTheAnsiCodePage) {
    const IconvCodePage gbk("CP936");
    // "图标" in code page 936, in UTF-8 and in UTF-16 little-endian.
    EXPECT_EQ(ThemeFileText("a=\xCD\xBC\xB1\xEA", gbk), "a=图标");
    EXPECT_EQ(ThemeFileText("\xEF\xBB\xBF"
                            "a=图标",
                            gbk),
              "a=图标");
    EXPECT_EQ(ThemeFileText(std::string("\xFF\xFE"
                                        "a\0=\0\xFE\x56\x07\x68",
                                        10),
                            gbk),
              "a=图标");
}

}  // namespace
}  // namespace lumaforge
