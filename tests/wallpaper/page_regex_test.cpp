#include "wallpaper/page_regex.h"

#include <gtest/gtest.h>

namespace lumaforge {
namespace {

constexpr TRegexEngine kEngines[] = {TRegexEngine::Interpreter, TRegexEngine::Jit};

TEST(Regex, FindGroupsAndLineBreaks) {
    struct {
        const char* pattern;
        bool caselessMultiline;
        std::string subject;
        bool found;
        const char* group1;
        const char* group2;
    } cases[] = {
        {"</a>[ ]*([\\d]+)|([\\d]+)[ ]*<a", false, "x</a> 12 <a", true, "12", ""},
        {"</a>[ ]*([\\d]+)|([\\d]+)[ ]*<a", false, "3 <a href", true, "", "3"},
        {"<LI>(.*?)</li>", true, "<li>a</LI><li>b</li>", true, "a", ""},
        {"<LI>(.*?)</li>", false, "<li>a</LI>", false, "", ""},
        // Only CR and LF end a line; the byte 0x85 inside a character does not.
        {"<b>(.*)</b>", false, "<b>\xE5\x85\xA5</b>", true, "\xE5\x85\xA5", ""},
        {"<b>(.*)</b>", false, "<b>a\nb</b>", false, "", ""},
        {"<b>(.*)</b>", false, "<b>a\rb</b>", false, "", ""},
        // A match of length zero is never taken.
        {"x*|y", false, "aay", true, "", ""},
        {"x*", false, "abc", false, "", ""},
    };
    for (TRegexEngine engine : kEngines) {
        for (const auto& c : cases) {
            const Regex regex(c.pattern, c.caselessMultiline);
            RegexMatcher matcher(engine);
            EXPECT_EQ(matcher.Find(regex, c.subject), c.found) << c.pattern << " in " << c.subject;
            EXPECT_EQ(matcher.Group(1), c.group1) << c.pattern << " in " << c.subject;
            EXPECT_EQ(matcher.Group(2), c.group2) << c.pattern << " in " << c.subject;
            EXPECT_EQ(matcher.Group(9), "");
            EXPECT_FALSE(matcher.LimitHit());
        }
    }
}

TEST(Regex, ReplaceAllWithGroups) {
    for (TRegexEngine engine : kEngines) {
        RegexMatcher matcher(engine);
        EXPECT_EQ(matcher.ReplaceAll(Regex("<i>(\\d+)</i>", false), "<i>1</i>, <i>22</i>.", "[\\1]"), "[1], [22].");
        // The empty alternative matches nothing, so only the real ones go.
        EXPECT_EQ(matcher.ReplaceAll(Regex("</?td[^>]*>|", false), "<td a=1>x</td>y", ""), "xy");
        EXPECT_EQ(matcher.ReplaceAll(Regex("z", false), "abc", "\\1"), "abc");
    }
}

TEST(Regex, AMatchThatRunsIntoTheLimitsGivesUp) {
    // Four greedy runs over a thousand candidates, and then no "z" after them.
    const Regex nested("<c>.*<a.*<a.*<a.*<a.*z", false);
    std::string subject = "<c>z";
    for (int i = 0; i < 1000; ++i)
        subject += "<a";
    for (TRegexEngine engine : kEngines) {
        RegexMatcher matcher(engine);
        EXPECT_FALSE(matcher.Find(nested, subject));
        EXPECT_TRUE(matcher.LimitHit());
        EXPECT_FALSE(matcher.ReplaceAll(nested, subject, ""));
    }
    EXPECT_THROW(Regex("(", false), std::invalid_argument);
}

// The interpreter's own limit starts afresh at every position where a match may start: 200
// positions of up to 20,000 steps each never reach it. The scrape's budget counts them all.
TEST(Regex, TheInterpreterCountsTheStepsOfEveryStartPositionAndStopsAfterALimit) {
    const Regex nested("<a.*<a.*z", false);
    std::string subject;
    for (int i = 0; i < 200; ++i)
        subject += "<a";
    subject += "\nz";  // there, but out of reach of "."
    RegexMatcher generous(TRegexEngine::Interpreter, 100 << 20);
    EXPECT_FALSE(generous.Find(nested, subject));
    EXPECT_FALSE(generous.LimitHit());

    RegexMatcher matcher(TRegexEngine::Interpreter, subject.size());
    EXPECT_FALSE(matcher.Find(nested, subject));
    EXPECT_TRUE(matcher.LimitHit());
    // Whatever follows a limit hit on the same page finds nothing.
    EXPECT_FALSE(matcher.Find(Regex("a", false), "a"));
    EXPECT_TRUE(generous.Find(Regex("a", false), "a"));
}

}  // namespace
}  // namespace lumaforge
