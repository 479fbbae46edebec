#include "base/text.h"
#include "base/short_name.h"

#include <gtest/gtest.h>

namespace lumaforge {

TEST(Text, AsciiLowerKeepsEverythingButAToZ) {
    EXPECT_EQ(AsciiLower("AERO Glass-Ä中文"), "aero glass-Ä中文");
}

TEST(Text, ContainsAsciiFolded) {
    struct {
        const char* text;
        const char* filter;
        bool found;
    } cases[] = {
        {"Aero", "aero", true},     {"AERO Glass", "aero", true},  {"MyAero", "aero", true},
        {"MyAero", "aero ", false}, {"Aero Glass", "aero ", true}, {"Classic", "", true},
        {"ab", "abc", false},       {"中文主题", "主题", true},    {"中文主题", "x", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ContainsAsciiFolded(c.text, c.filter), c.found) << c.text << " / " << c.filter;
    std::string longName(600, 'A');
    longName += "Needle";
    EXPECT_TRUE(ContainsAsciiFolded(longName, "aneedle"));
}

TEST(Text, TrimRemovesSurroundingWhiteSpaceOnly) {
    EXPECT_EQ(Trim("  Classic \t\r\n"), "Classic");
    EXPECT_EQ(Trim(" a b "), "a b");
    EXPECT_EQ(Trim("   "), "");
}

TEST(Text, Utf8PrefixNeverSplitsACharacter) {
    EXPECT_EQ(Utf8Prefix("abc", 5), "abc");
    EXPECT_EQ(Utf8Prefix("ab中", 4), "ab");  // 中 is three bytes
    EXPECT_EQ(Utf8Prefix("ab中", 5), "ab中");
}

TEST(Text, FormatNameCount) {
    EXPECT_EQ(FormatNameCount("%s[%d]", "Classic", 2), "Classic[2]");
    EXPECT_EQ(FormatNameCount("%s [%d]", "Visual Styles", 0), "Visual Styles [0]");
}

TEST(ShortName, HoldsWhatFitsAndCutsBetweenCharacters) {
    std::string chinese;
    for (int i = 0; i < 127; ++i)
        chinese += "中";  // 254 bytes in code page 936, 381 in UTF-8
    EXPECT_EQ(ShortName(chinese).View(), chinese);
    std::string wide;
    for (int i = 0; i < 300; ++i)
        wide += "中";  // 900 bytes
    ShortName cut(wide);
    EXPECT_EQ(cut.Size(), 765u);  // 255 whole characters
    EXPECT_EQ(cut.View(), std::string_view(wide).substr(0, 765));
}

TEST(Text, LinesAsATextListReadsThem) {
    using Lines = std::vector<std::string>;
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(SplitLines("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(JoinLines({"a", "b"}), "a\r\nb\r\n");
}

}  // namespace lumaforge
