#include "install/cursor_scheme.h"

#include <gtest/gtest.h>

#include <map>

namespace lumaforge {
namespace {

// Roles by number with their expected file; every role not named must come out empty.
struct InfCase {
    const char* what;
    const char* inf;
    std::map<size_t, std::string> files;
};

TEST(ReadCursorInfTest, GivesEachRoleItsFile) {
    const InfCase cases[] = {
        InfCase{"quoted values lose their quotes, file names are lowered",
                "[Version]\r\nsignature=\"$CHICAGO$\"\r\n\r\n[Strings]\r\n"
                "pointer = \"Arrow.CUR\"\r\nBusy=\"Busy.ANI\"\r\n\r\n[DefaultInstall]\r\nCopyFiles=Scheme.Cur\r\n",
                {{0, "arrow.cur"}, {3, "busy.ani"}}},
        InfCase{"the section ends at the next section, whose keys are not read",
                "[Strings]\r\npointer=\"a.cur\"\r\n[Other]\r\nhelp=\"h.cur\"\r\n",
                {{0, "a.cur"}}},
        InfCase{"a last section is read to the end of the file, with LF line ends",
                "[Version]\nsignature=x\n[Strings]\nhelp=\"h.cur\"\nlink=\"L.cur\"",
                {{1, "h.cur"}, {14, "l.cur"}}},
        InfCase{"a lower-case header and upper-case keys match",
                "[strings]\r\nPOINTER=\"a.cur\"\r\nAlternate=\"up.cur\"\r\n",
                {{0, "a.cur"}, {13, "up.cur"}}},
        InfCase{"no [Strings] section leaves every role empty", "[Version]\r\npointer=\"a.cur\"\r\n", {}},
        InfCase{"values without enclosing quotes keep their text",
                "[Strings]\r\npointer = arrow.cur\r\nhelp=\"help.cur\r\nwork=x\r\n",
                {{0, "arrow.cur"}, {1, "\"help.cur"}, {2, "x"}}},
        InfCase{"the pen role reads \"hand\", the link role \"link\"",
                "[Strings]\r\nhand=\"pen.cur\"\r\nlink=\"hand.cur\"\r\n",
                {{6, "pen.cur"}, {14, "hand.cur"}}},
        InfCase{"role 7 is read from \"unavailiable\" only", "[Strings]\r\nunavailable=\"no.cur\"\r\n", {}},
        InfCase{"role 7 with the packages' spelling", "[Strings]\r\nunavailiable=\"no.cur\"\r\n", {{7, "no.cur"}}},
        InfCase{"the first line of a key counts, even when empty",
                "[Strings]\r\npointer=\"\"\r\npointer=\"late.cur\"\r\nbusy=\"b1.cur\"\r\nbusy=\"b2.cur\"\r\n",
                {{3, "b1.cur"}}},
        InfCase{"lines without an equals sign are passed over", "[Strings]\r\npointer\r\n\"busy\"\r\n", {}},
        InfCase{"a file name in a sub-folder keeps its path",
                "[Strings]\r\nmove=\"Big\\Move.cur\"\r\n",
                {{12, "big\\move.cur"}}},
    };
    for (const InfCase& c : cases) {
        SCOPED_TRACE(c.what);
        const CursorRoleFiles files = ReadCursorInf(c.inf);
        for (size_t role = 0; role < kCursorRoleCount; ++role) {
            const auto expected = c.files.find(role);
            EXPECT_EQ(files[role], expected == c.files.end() ? "" : expected->second)
                << "role " << role << " (" << CursorRoleTable[role].infKey << ")";
        }
    }
}

TEST(CursorSchemeListTest, HasFifteenEntriesInTableOrder) {
    CursorRoleFiles files;
    files[0] = "arrow.cur";
    files[3] = "busy.ani";
    EXPECT_EQ(CursorSchemeList("C:\\windows\\Cursors\\Blue\\", files),
              "C:\\windows\\Cursors\\Blue\\arrow.cur,,,C:\\windows\\Cursors\\Blue\\busy.ani,,,,,,,,,,,");

    EXPECT_EQ(CursorSchemeList("D\\", CursorRoleFiles{}), std::string(14, ','));

    files[14] = "link.cur";
    const std::string list = CursorSchemeList("D\\", files);
    EXPECT_TRUE(list.ends_with(",D\\link.cur")) << list;
}

}  // namespace
}  // namespace lumaforge
