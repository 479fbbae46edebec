#include "base/code_page.h"

#include <gtest/gtest.h>

#include "base/code_page_posix.h"

namespace lumaforge {
namespace {

TEST(Utf8, OnlyWellFormedSequencesAreValid) {
    const struct {
        std::string text;
        bool valid;
    } cases[] = {
        {"", true},
        {"plain ASCII", true},
        {"é中😀", true},
        {"\xED\x9F\xBF", true},      // U+D7FF, the last code point before the surrogates
        {"\xEE\x80\x80", true},      // U+E000, the first after them
        {"\xF4\x8F\xBF\xBF", true},  // U+10FFFF
        {"\xED\xA3\x8E", false},     // a surrogate: 风 (E9 A3 8E) with one bit changed
        {"\xED\xA0\x80", false},
        {"\xED\xBF\xBF", false},
        {"\xC0\x80", false},  // overlong forms
        {"\xC1\xBF", false},
        {"\xE0\x80\x80", false},
        {"\xE0\x9F\xBF", false},
        {"\xF0\x80\x80\x80", false},
        {"\xF0\x8F\xBF\xBF", false},
        {"\xF4\x90\x80\x80", false},  // above U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\xFF", false},
        {"\x80", false},              // a continuation byte alone
        {"a\xE9\xA3", false},         // cut short
        {"\xE9\x41\x8E", false},      // a lead byte without its continuation
        {"\xB2\xDD\xD4\xAD", false},  // 草原 in code page 936
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidUtf8(c.text), c.valid) << testing::PrintToString(c.text);
}

TEST(Utf8, AnIllFormedSequenceBecomesOneReplacementAndKeepsTheBytesAfterIt) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"Aé中😀", u"Aé中😀"},
        {"a\xE9\x41", u"a\uFFFDA"},
        {"\xE9\xA3.", u"\uFFFD."},
        {"\xF0\x9F\x98x", u"\uFFFDx"},
        {"\xED\xA3\x8E", u"\uFFFD\uFFFD\uFFFD"},
        {"\xC0\x80", u"\uFFFD\uFFFD"},
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        // 海边.jpg in code page 936: the "." and the extension survive.
        {"\xBA\xA3\xB1\xDF.jpg", u"\uFFFD\uFFFD\uFFFD\uFFFD.jpg"},
        {"\xE4\xB8", u"\uFFFD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << testing::PrintToString(c.utf8);
    EXPECT_EQ(Utf16ToUtf8(u"a\xD800z\xDC00"), "a\xEF\xBF\xBDz\xEF\xBF\xBD");
}

TEST(DecodeMarkedText, FollowsTheByteOrderMarkElseTheCodePage) {
    const IconvCodePage gbk("CP936");
    const struct {
        std::string bytes;
        const char* text;
    } cases[] = {
        {"a=\xB6\xE0\xB2\xCA", "a=多彩"},  // 多彩 in code page 936
        {"\xEF\xBB\xBF"
         "a=多彩",
         "a=多彩"},
        {std::string("\xFF\xFE"
                     "a\0=\0\x1A\x59\x69\x5F",
                     10),
         "a=多彩"},
        {std::string("\xFE\xFF\0a\0=\x59\x1A\x5F\x69", 10), "a=多彩"},
        {"", ""},
        // What the mark promises but the bytes break becomes U+FFFD.
        {"\xEF\xBB\xBF"
         "a\xE9=",
         "a\xEF\xBF\xBD="},
        {std::string("\xFF\xFE"
                     "a\0\x00\xD8=\0b",
                     9),
         "a\xEF\xBF\xBD=\xEF\xBF\xBD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeMarkedText(c.bytes, gbk), c.text) << testing::PrintToString(c.bytes);
}

}  // namespace
}  // namespace lumaforge
