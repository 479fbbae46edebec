#include "net/url.h"

#include <gtest/gtest.h>

#include "base/code_page_posix.h"

namespace lumaforge {
namespace {

TEST(SplitUrl, HostObjectAndPort) {
    struct {
        const char* url;
        const char* host;
        const char* object;
        uint16_t port;
        bool secure = false;
    } cases[] = {
        {"http://h:8080/x?y=1", "h", "/x?y=1", 8080},
        {"HTTP://Example.com/a/b", "Example.com", "/a/b", 80},
        {"https://secure.example/p", "secure.example", "/p", 443, true},
        {"HTTPS://secure.example:8443/p?q", "secure.example", "/p?q", 8443, true},
        {"https://h:abc/x", "h", "/x", 443, true},
        {"h:abc/x", "h", "/x", 80},
        {"h:/x", "h", "/x", 80},
        {"http://host.only", "host.only", "", 80},
        {"http://h:99999/x", "h", "/x", 80},
        {"httpsx://h/x", "httpsx", "//h/x", 80},
        {"127.0.0.1:18480/softdata/xp/config.txt", "127.0.0.1", "/softdata/xp/config.txt", 18480},
        // The decoded GBK bytes of 草原 travel as escapes of those bytes; UTF-8 text stays.
        {"http://h/\xB2\xDD\xD4\xAD.jpg", "h", "/%B2%DD%D4%AD.jpg", 80},
        {"http://h/风景/\xE9\xA3.jpg?q=\xED\xA3\x8E", "h", "/%E9%A3%8E%E6%99%AF/%E9%A3.jpg?q=%ED%A3%8E", 80},
    };
    for (const auto& c : cases) {
        UrlParts parts = SplitUrl(c.url);
        EXPECT_EQ(parts.host, c.host) << c.url;
        EXPECT_EQ(parts.object, c.object) << c.url;
        EXPECT_EQ(parts.port, c.port) << c.url;
        EXPECT_EQ(parts.secure, c.secure) << c.url;
    }
}

TEST(UrlEncode, UnreservedCharactersPassAndTheRestIsEscaped) {
    IconvCodePage gbk("CP936");
    struct {
        const char16_t* text;
        bool utf8;
        const char* encoded;
    } cases[] = {
        {u" ", true, "%20"},
        {u"-", true, "%2D"},
        {u"~", true, "%7E"},
        {u"/", true, "%2F"},
        {u"Az09._", true, "Az09._"},
        {u"\u4E2D", true, "%E4%B8%AD"},
        {u"\u4E2D", false, "%D6%D0"},
        {u"My Theme 中文", true, "My%20Theme%20%E4%B8%AD%E6%96%87"},
        // Not in code page 936: its UTF-8 form when asked for, "?" as the code page writes it otherwise.
        {u"\u0E01", true, "%E0%B8%81"},
        {u"\u0E01", false, "%3F"},
        // Above U+FFFF: the two UTF-16 units are one character.
        {u"\U0001F600", true, "%F0%9F%98%80"},
        {u"\U00020000", true, "%F0%A0%80%80"},
        {u"a\U0001F600b", false, "a%3Fb"},
        // A unit without its partner stays what it was: an unknown character.
        {u"\xD83D", true, "%EF%BF%BD"},
        {u"x\xDE00", false, "x%3F"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UrlEncode(c.text, c.utf8, gbk), c.encoded) << c.encoded;
}

TEST(UrlDecode, EscapesAndPlus) {
    EXPECT_EQ(UrlDecode("a+b%41"), std::string("a b"
                                               "A"));
    EXPECT_EQ(UrlDecode("%e4%B8%ad"), "\xE4\xB8\xAD");
    for (const char* bad : {"abc%", "abc%4", "%G1", "%1G"})
        EXPECT_THROW(UrlDecode(bad), UrlDecodeError) << bad;
    try {
        UrlDecode("%");
    } catch (const UrlDecodeError& e) {
        EXPECT_STREQ(e.what(), "Invalid hex digit in URL");
    }
}

TEST(TextBetween, MarkersPositionsAndCase) {
    EXPECT_EQ(TextBetween(u"aXbY", u"x", u"y", 0, true, true), u"b");
    EXPECT_EQ(TextBetween(u"aXbY", u"x", u"z", 0, true, true), u"bY");
    EXPECT_EQ(TextBetween(u"aXbY", u"x", u"z", 0, true, false), u"");
    EXPECT_EQ(TextBetween(u"aXbY", u"x", u"y", 0, false, true), u"");  // case matters without the flag
    EXPECT_EQ(TextBetween(u"<A>Big</A>", u"<a>", u"</a>", 0, true, true), u"Big");
    EXPECT_EQ(TextBetween(u"abcdef", u"", u"e", 3, true, true), u"cd");
    EXPECT_EQ(TextBetween(u"abc", u"", u"", 10, true, true), u"");
    EXPECT_EQ(TextBetween(u"", u"a", u"b", 0, true, true), u"");
    EXPECT_EQ(TextBetween(u"x1x2", u"x", u"", 2, true, true), u"2");
}

TEST(CodePage, Utf8AndUtf16RoundTrip) {
    const std::string text = "Aé中😀";
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
    EXPECT_EQ(Utf8ToUtf16("中"), u"\u4E2D");
    IconvCodePage gbk("CP936");
    EXPECT_EQ(gbk.ToUtf8("\xD6\xD0"), "中");
    EXPECT_EQ(gbk.EncodeChar(u'\u4E2D'), "\xD6\xD0");
}

TEST(CodePage, AnsiPrefixMeasuresTheCodePagesBytes) {
    IconvCodePage gbk("CP936");
    auto repeat = [](std::string_view unit, int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += unit;
        return text;
    };
    struct {
        std::string text;
        std::string prefix;
    } cases[] = {
        {repeat("x", 300), repeat("x", 255)},
        {repeat("x", 255), repeat("x", 255)},
        {repeat("中", 130), repeat("中", 127)},  // two bytes each in 936: 254 of 255
        {"a" + repeat("中", 130), "a" + repeat("中", 127)},
        {"ab" + repeat("中", 130), "ab" + repeat("中", 126)},
        // Not in 936: one "?" each, whatever their UTF-8 length.
        {repeat("\u0E01", 300), repeat("\u0E01", 255)},
        {repeat("😀", 300), repeat("😀", 255)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnsiPrefix(c.text, 255, gbk), c.prefix) << c.text.size();
}

}  // namespace
}  // namespace lumaforge
