#include "wallpaper/page_bar.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/code_page_posix.h"

namespace lumaforge {
namespace {

const TPageBarTexts kTexts{"Previous Page", "Next Page"};

// "<11" is the previous link to 11, "[12]" the current page, ">13" the next link to 13.
std::string Bar(std::string_view notation) {
    std::string html = "<div class=\"pagination\">";
    std::istringstream tokens{std::string(notation)};
    for (std::string t; tokens >> t;) {
        if (t[0] == '<')
            html += "<a href=\"" + t.substr(1) + "\">Previous Page</a>";
        else if (t[0] == '>')
            html += "<a href=\"" + t.substr(1) + "\">Next Page</a>";
        else if (t[0] == '[')
            html += "<span class=\"current-page\"> " + t.substr(1, t.size() - 2) + " </span>";
        else
            html += "<a href=\"" + t + "\">" + t + "</a>";
    }
    return html + "</div>";
}

TEST(BuildPageBar, TenNumbersAroundTheCurrentPage) {
    struct {
        int page, count;
        const char* bar;
    } cases[] = {
        {12, 25, "<11 7 8 9 10 11 [12] 13 14 15 16 >13"},
        {20, 25, "<19 16 17 18 19 [20] 21 22 23 24 25 >21"},
        {25, 25, "<24 16 17 18 19 20 21 22 23 24 [25]"},
        {1, 3, "[1] 2 3 >2"},
        {1, 1, "[1]"},
        {1, 83, "[1] 2 3 4 5 6 7 8 9 10 >2"},
        {5, 7, "<4 1 2 3 4 [5] 6 7 >6"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildPageBar(c.page, c.count, kTexts), Bar(c.bar)) << c.page << " of " << c.count;
}

TEST(WrapPageHtml, TheGeneratedDocument) {
    const auto golden = std::filesystem::path(__FILE__).parent_path() / "golden" / "page_bar_document.html";
    std::ifstream file(golden, std::ios::binary);
    ASSERT_TRUE(file) << golden;
    std::stringstream expected;
    expected << file.rdbuf();
    EXPECT_EQ(WrapPageHtml(BuildPageBar(2, 3, kTexts)), expected.str());
    const std::string empty = WrapPageHtml("");
    EXPECT_NE(empty.find("<body></body>"), std::string::npos);
}

TEST(PageLinks, OnlyTheBlankDocumentMayLoad) {
    for (const char* target : {"about:blank", "ABOUT:Blank"})
        EXPECT_TRUE(IsBarDocument(target)) << target;
    for (const char* target : {"about:blank5", "about:5", "5", "/images?q=x", ""})
        EXPECT_FALSE(IsBarDocument(target)) << target;
}

TEST(PageLinks, EachEngineTurnsItsLinkIntoAResultPageRequest) {
    IconvCodePage gbk("CP936");
    const TEngineRoots roots{"http://baidu.example/", "http://youdao.example/", "http://sogou.example/",
                             "http://google.hk.example/", "http://google.example/"};
    const std::string baiduUrl = "http://baidu.example/i?tn=baiduimage&word=x&z=5&rn=15";
    struct {
        int engine;
        const char* key;
        const char* target;
        const char* url;
        int baiduPage;  // 0: none
    } cases[] = {
        {seBaidu, "", "about:blank5", "http://baidu.example/i?tn=baiduimage&word=x&z=5&rn=15&pn=60", 5},
        {seBaidu, "", "about:12", "http://baidu.example/i?tn=baiduimage&word=x&z=5&rn=15&pn=165", 12},
        {seBaidu, "", "3", "http://baidu.example/i?tn=baiduimage&word=x&z=5&rn=15&pn=30", 3},
        // Not a page number of ours: the first page.
        {seBaidu, "", "about:blanknext", "http://baidu.example/i?tn=baiduimage&word=x&z=5&rn=15&pn=0", 1},
        {seBaidu, "", "about:", "http://baidu.example/i?tn=baiduimage&word=x&z=5&rn=15&pn=0", 1},
        {seBaidu, "", "0", "http://baidu.example/i?tn=baiduimage&word=x&z=5&rn=15&pn=0", 1},
        {seBaidu, "", "99999999999", "http://baidu.example/i?tn=baiduimage&word=x&z=5&rn=15&pn=0", 1},
        // Youdao's links hold the keyword raw; it goes out in the ANSI code page, escaped.
        {seYoudao, "风景", "about:blank/search?q=风景+1024x768&start=24",
         "http://youdao.example/search?q=%B7%E7%BE%B0+1024x768&start=24", 0},
        // The link is lowered first, so a keyword with capitals is not found and the link goes as it is.
        {seYoudao, "Landscape", "/search?q=Landscape+1024x768&start=24",
         "http://youdao.example/search?q=landscape+1024x768&start=24", 0},
        {seYoudao, "a-b", "about:/search?q=a-b", "http://youdao.example/search?q=a%2Db", 0},
        {seSogou, "", "about:blank/pics?query=X&page=2", "http://sogou.example/pics?query=x&page=2", 0},
        {seGoogle, "", "/images?q=x&start=15", "http://google.hk.example/images?q=x&start=15", 0},
        {seGoogle, "", "about:/IMAGES?Q=X&start=30", "http://google.hk.example/images?q=x&start=30", 0},
    };
    for (const auto& c : cases) {
        const TPagingState paging{c.engine, baiduUrl, c.key};
        const auto request = PageLinkRequest(c.target, paging, roots, gbk);
        ASSERT_TRUE(request) << c.target;
        EXPECT_EQ(request->url, c.url) << c.target;
        EXPECT_EQ(request->baiduPage.value_or(0), c.baiduPage) << c.target;
    }
    // The site root is the engine's; only the link's own text is searched for the keyword.
    const TEngineRoots keywordRoot{"", "http://a-b.example/", "", "", ""};
    EXPECT_EQ(PageLinkRequest("/s?q=a-b", {seYoudao, "", "a-b"}, keywordRoot, gbk)->url,
              "http://a-b.example/s?q=a%2Db");
    // Before the first search a link does nothing.
    EXPECT_FALSE(PageLinkRequest("about:blank2", {-1, "", ""}, roots, gbk));
}

}  // namespace
}  // namespace lumaforge
