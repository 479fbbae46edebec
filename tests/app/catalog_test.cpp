#include "app/catalog.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace lumaforge {
namespace {

using Names = std::vector<std::string>;

TEST(Catalog, CategoriesNamesAndCounts) {
    auto catalog = ParseCatalog(R"({
        "status_text": "Welcome",
        "themes": [{"name": " Classic ", "list": ["A", " ", "B"]}, {"name": "", "list": ["C"]}],
        "cursors": [], "logons": ["L1"], "screensave": [" S1", 42], "icon": ["I1"], "sound": ["中国风"]
    })");
    ASSERT_TRUE(catalog.has_value());
    EXPECT_EQ(catalog->statusText, "Welcome");
    ASSERT_EQ(catalog->themes.size(), 1u);
    EXPECT_EQ(catalog->themes[0].name, "Classic");
    EXPECT_EQ(catalog->themes[0].items, (Names{"A", "B"}));
    EXPECT_TRUE(catalog->lists[static_cast<int>(TResourceKind::Cursor)].empty());
    EXPECT_EQ(catalog->lists[static_cast<int>(TResourceKind::ScreenSaver)], (Names{"S1", "42"}));
    EXPECT_EQ(catalog->lists[static_cast<int>(TResourceKind::Sound)], (Names{"中国风"}));
    EXPECT_EQ(FormatNameCount("%s[%d]", catalog->themes[0].name, 2), "Classic[2]");
}

TEST(Catalog, InvalidTextsGiveNothing) {
    for (const char* text :
         {"", "  \r\n\r\n", "<html>404</html>", "word", "[1,2]", R"({"cursors": []})", R"({"themes": [)"})
        EXPECT_FALSE(ParseCatalog(text).has_value()) << text;
}

TEST(Catalog, MissingOrMistypedMembersCountAsEmpty) {
    auto catalog = ParseCatalog(R"({"themes": {"not": "an array"}, "cursors": "Dino", "sound": ["Chimes"],
                                    "status_text": 5})");
    ASSERT_TRUE(catalog.has_value());
    EXPECT_TRUE(catalog->themes.empty());
    EXPECT_TRUE(catalog->lists[static_cast<int>(TResourceKind::Cursor)].empty());
    EXPECT_EQ(catalog->lists[static_cast<int>(TResourceKind::Sound)], (Names{"Chimes"}));
    EXPECT_EQ(catalog->statusText, "");
    auto categories = ParseCatalog(R"({"themes": [{"name": "NoList"}, {"list": ["X"]}, 7, {"name": 3, "list": []}]})");
    ASSERT_TRUE(categories.has_value());
    ASSERT_EQ(categories->themes.size(), 1u);
    EXPECT_TRUE(categories->themes[0].items.empty());
}

TEST(Catalog, NamesThatCannotBeFileNamesAreLeftOut) {
    auto catalog = ParseCatalog(R"({"themes": [], "icon": ["..\\..\\evil", "a/b", "c:d", "..", "ok name", "q?"]})");
    ASSERT_TRUE(catalog.has_value());
    EXPECT_EQ(catalog->lists[static_cast<int>(TResourceKind::Icon)], (Names{"ok name"}));
}

// Windows drops a final "." or blank from a file name: "Chimes." would share the cache file and
// the install folder of "Chimes".
TEST(Catalog, NamesEndingInADotOrABlankAreLeftOut) {
    auto catalog = ParseCatalog(R"({"themes": [], "sound": ["Chimes", "Chimes.", "Chimes. ", "Chimes .", "Ch.imes"]})");
    ASSERT_TRUE(catalog.has_value());
    EXPECT_EQ(catalog->lists[static_cast<int>(TResourceKind::Sound)], (Names{"Chimes", "Ch.imes"}));
    EXPECT_FALSE(IsUsablePackageName("Chimes "));
    EXPECT_FALSE(IsUsablePackageName("..."));
}

TEST(Catalog, DeviceNamesAreNotFileNames) {
    for (const char* name : {"CON", "con", "Nul", "PRN.txt", "aux.tar.gz", "COM1", "com9.zip", "LPT1", "lpt5.x", "NUL ",
                             "nul .txt", "CONIN$.zip"})
        EXPECT_FALSE(IsUsablePackageName(name)) << name;
    for (const char* name : {"CONSOLE", "nul2", "COM0", "COM10", "LPT", "my con", "a.con", "COMA", "中国"})
        EXPECT_TRUE(IsUsablePackageName(name)) << name;
}

}  // namespace
}  // namespace lumaforge
