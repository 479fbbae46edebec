#include "sysinfo/update_list.h"

#include <gtest/gtest.h>

namespace lumaforge {
namespace {

TEST(UpdateList, ParsesVersions) {
    struct Case {
        const char* text;
        std::optional<FileVersion> expected;
    };
    const Case cases[] = {
        {"1.2.3.4", FileVersion{{1, 2, 3, 4}}},
        {" 1.1 \r\n", FileVersion{{1, 1, 0, 0}}},
        {"7", FileVersion{{7, 0, 0, 0}}},
        {"65535.0.0.1", FileVersion{{65535, 0, 0, 1}}},
        {"65536.0", std::nullopt},
        {"1.2.3.4.5", std::nullopt},
        {"1..2", std::nullopt},
        {"1.2.", std::nullopt},
        {"v1.2", std::nullopt},
        {"1.2 beta", std::nullopt},
        {"-1.0", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseFileVersion(c.text), c.expected) << c.text;
}

TEST(UpdateList, VersionsOrderByTheirNumbersNotTheirText) {
    EXPECT_LT(*ParseFileVersion("1.0.0.9"), *ParseFileVersion("1.0.0.10"));
    EXPECT_LT(*ParseFileVersion("1.9"), *ParseFileVersion("2.0"));
    EXPECT_EQ(*ParseFileVersion("1.0"), *ParseFileVersion("1.0.0.0"));
    EXPECT_GT(*ParseFileVersion("1.0.1"), *ParseFileVersion("1.0.0.65535"));
    EXPECT_EQ(ParseFileVersion("3.14.0.2")->ToString(), "3.14.0.2");
}

TEST(UpdateList, ReadsTheNotice) {
    std::optional<UpdateNotice> notice =
        ParseUpdateList("; comment\r\n[other]\r\nVersion=9.9\r\n[update]\r\n version = 1.1.0.0 \r\nPage= /a.html \r\n");
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->version, (FileVersion{{1, 1, 0, 0}}));
    EXPECT_EQ(notice->page, "/a.html");

    for (const char* broken : {"", "[Update]\nVersion=1.1\n", "[Update]\nPage=/a.html\n",
                               "[Update]\nVersion=new\nPage=/a.html\n", "Version=1.1\nPage=/a.html\n"})
        EXPECT_FALSE(ParseUpdateList(broken)) << broken;
}

TEST(UpdateList, ResolvesThePageAgainstTheListAndKeepsToTheWeb) {
    const char* list = "http://host:8080/SiteBack/updateTxt/1.txt";
    struct Case {
        const char* list;
        const char* page;
        const char* expected;
    };
    const Case cases[] = {
        {list, "/20107221.html", "http://host:8080/20107221.html"},
        {list, "new.html", "http://host:8080/SiteBack/updateTxt/new.html"},
        {list, "https://other.example/get?v=2", "https://other.example/get?v=2"},
        {list, "HTTP://Other.example/", "HTTP://Other.example/"},
        {"http://host/list.txt?x=/y", "p.html", "http://host/p.html"},
        {"http://host", "p.html", "http://host/p.html"},
        {"http://host", "/p.html", "http://host/p.html"},
        {list, "file:///C:/Windows/notepad.exe", ""},
        {list, "C:\\Windows\\notepad.exe", ""},
        {list, "..\\x.exe", ""},
        {list, "//evil.example/x", ""},
        {list, "mailto:a@b", ""},
        {list, "javascript:alert(1)", ""},
        {list, "a page.html", ""},
        {list, "", ""},
        {"ftp://host/1.txt", "p.html", ""},
        {"C:\\list.txt", "p.html", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolvePageAddress(c.list, c.page), c.expected) << c.list << " + " << c.page;
}

}  // namespace
}  // namespace lumaforge
