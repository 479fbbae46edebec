#include "wallpaper/result_scrapers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "base/code_page_posix.h"

namespace lumaforge {
namespace {
using Json = nlohmann::json;

constexpr TRegexEngine kRegexEngines[] = {TRegexEngine::Interpreter, TRegexEngine::Jit};
const TPageBarTexts kTexts{"Previous Page", "Next Page"};

const AnsiCodePage& Gbk() {
    static const IconvCodePage gbk("CP936");
    return gbk;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

const char* EngineName(TRegexEngine engine) {
    return engine == TRegexEngine::Jit ? "JIT" : "interpreter";
}

// A context as the wallpaper page passes it for a first page, with the given cached pictures.
TScrapeContext Context(TRegexEngine engine, const std::set<std::string>* cached = nullptr) {
    TScrapeContext context{Gbk(), kTexts, nullptr};
    if (cached)
        context.pictureCached = [cached](const std::string& name) { return cached->contains(name); };
    context.regexEngine = engine;
    return context;
}

std::vector<TSearchItem> Items(std::initializer_list<std::pair<const char*, const char*>> addresses) {
    std::vector<TSearchItem> items;
    for (const auto& [thumb, picture] : addresses)
        items.push_back({"", thumb, picture, false});
    return items;
}

TEST(ScrapeGolden, EveryLayoutGivesItsItemsPageCountAndBar) {
    const auto folder = std::filesystem::path(__FILE__).parent_path() / "golden";
    const std::map<std::string, int> engines = {
        {"baidu", seBaidu}, {"youdao", seYoudao}, {"sogou", seSogou}, {"google", seGoogle}};
    const std::map<std::string, TNoResultReport> reports = {
        {"none", nrNone}, {"dumpable", nrDumpable}, {"plain", nrPlain}};
    int pages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".json")
            continue;
        ++pages;
        const Json golden = Json::parse(ReadFile(entry.path()));
        const std::string page = ReadFile(folder / golden.at("page").get<std::string>());
        ASSERT_FALSE(page.empty()) << golden.at("page");
        const std::set<std::string> cached = golden.value("cachedNames", std::set<std::string>());
        const Json& expect = golden.at("expect");
        for (TRegexEngine regexEngine : kRegexEngines) {
            SCOPED_TRACE(entry.path().filename().string() + " with the " + EngineName(regexEngine));
            const TScrapeResult result = Scrape(engines.at(golden.at("engine")), page, Context(regexEngine, &cached));
            std::vector<TSearchItem> items;
            for (const Json& item : expect.at("items"))
                items.push_back({"", item.at("thumb"), item.at("picture"), item.at("downloaded")});
            EXPECT_EQ(result.items, items);
            EXPECT_TRUE(result.fillGrid);
            EXPECT_EQ(result.report, reports.at(expect.at("report")));
            EXPECT_EQ(result.pageBar.value_or("(unchanged)"), expect.at("pageBar").get<std::string>());
            EXPECT_EQ(result.pageCount.value_or(-1), expect.value("pageCount", -1));
            EXPECT_EQ(result.curPage.value_or(-1), expect.value("curPage", -1));
            EXPECT_EQ(result.error, "");
        }
    }
    EXPECT_GE(pages, 6);
}

std::string BaiduScript(std::string_view imgdata) {
    return "<html><body><script>var imgdata = " + std::string(imgdata) +
           ";BD.IMG.model.ImageIndex.storeData(imgdata);</script></body></html>";
}

TEST(ScrapeBaidu, FirstPageCountsPagesFromListNum) {
    const std::string oneResult = R"("data":[{"thumbURL":"http://t/1.jpg","objURL":"http://p/1.jpg"}])";
    struct {
        std::string imgdata;
        int pageCount;  // 0: the plain report, nothing else changes
    } cases[] = {
        {"{\"listNum\":31," + oneResult + "}", 3},
        {"{\"listNum\":30," + oneResult + "}", 2},
        {"{\"listNum\":1," + oneResult + "}", 1},
        {"{\"listNum\":0," + oneResult + "}", 0},
        {"{\"listNum\":-16," + oneResult + "}", 0},
        {"{\"listNum\":\"31\"," + oneResult + "}", 0},
        {"{\"listNum\":99999999999," + oneResult + "}", 0},
        {"{\"listNum\":31}", 0},
        {"{\"listNum\":31,\"data\":null}", 0},
        {"[31]", 0},
    };
    for (const auto& c : cases) {
        const TScrapeResult result = Scrape(seBaidu, BaiduScript(c.imgdata), Context(TRegexEngine::Jit));
        if (c.pageCount == 0) {
            EXPECT_EQ(result.report, nrPlain) << c.imgdata;
            EXPECT_FALSE(result.fillGrid || result.pageBar || result.pageCount || result.curPage) << c.imgdata;
            continue;
        }
        EXPECT_EQ(result.pageCount, c.pageCount) << c.imgdata;
        EXPECT_EQ(result.pageBar, BuildPageBar(1, c.pageCount, kTexts)) << c.imgdata;
        EXPECT_EQ(result.items, Items({{"http://t/1.jpg", "http://p/1.jpg"}})) << c.imgdata;
        EXPECT_EQ(result.curPage, 1);
        EXPECT_EQ(result.report, nrNone);
    }
}

TEST(ScrapeBaidu, LaterPagesKeepTheCountAndTheLinksPage) {
    TScrapeContext context = Context(TRegexEngine::Jit);
    context.firstPage = false;
    context.curPage = 5;
    context.pageCount = 7;
    // A later page's listNum counts for nothing.
    TScrapeResult result =
        Scrape(seBaidu, BaiduScript(R"({"listNum":0,"data":[{"thumbURL":"t","objURL":"p"}]})"), context);
    EXPECT_EQ(result.items, Items({{"t", "p"}}));
    EXPECT_EQ(result.pageBar, BuildPageBar(5, 7, kTexts));
    EXPECT_FALSE(result.pageCount);
    EXPECT_EQ(result.curPage, 5);
    EXPECT_EQ(result.report, nrNone);

    result = Scrape(seBaidu, BaiduScript(R"({"data":[]})"), context);
    EXPECT_TRUE(result.fillGrid);
    EXPECT_TRUE(result.items.empty());
    EXPECT_EQ(result.curPage, 0);
    EXPECT_EQ(result.report, nrPlain);
}

TEST(ScrapeBaidu, PagesThatCannotBeReadAreDumpable) {
    for (const std::string& page : {BaiduScript("{\"listNum\":31,"), std::string("<!--resnum:none--><head>"),
                                    std::string("<!--resnum:--><head>"), std::string()}) {
        const TScrapeResult result = Scrape(seBaidu, page, Context(TRegexEngine::Jit));
        EXPECT_EQ(result.report, nrDumpable) << page;
        EXPECT_FALSE(result.fillGrid || result.pageBar || result.pageCount || result.curPage) << page;
    }
    EXPECT_EQ(DumpName(seBaidu), "BaiduResult");
}

TEST(ScrapeBaidu, AnAddressLongerThanTheRecordIsCutButCachedUnderItsFullName) {
    const std::string picture = "http://p.example/" + std::string(300, 'x') + ".jpg";
    const std::set<std::string> cached = {PictureCacheName(picture, Gbk())};
    const TScrapeResult result =
        Scrape(seBaidu, BaiduScript(R"({"listNum":1,"data":[{"thumbURL":"t","objURL":")" + picture + "\"}]}"),
               Context(TRegexEngine::Jit, &cached));
    ASSERT_EQ(result.items.size(), 1u);
    EXPECT_EQ(result.items[0].PictureUrl, picture.substr(0, 255));
    EXPECT_TRUE(result.items[0].Downloaded);
}

std::string Google(std::string_view results, std::string_view nav) {
    return "<html>" + std::string(nav) + "<script>var dyn={};dyn.setResults(" + std::string(results) +
           ");</script></div><div id=ncm></div></html>";
}

// The script layouts' JSON read as the document nlohmann builds of it: the last of members of the same
// name, escapes, comments, brackets inside strings, members of nested objects that only look alike.
TEST(ScrapeJson, LayoutsReadTheDocumentAsNlohmannBuildsIt) {
    auto element = [](int n) {
        return R"({"thumbURL":"t)" + std::to_string(n) + R"(","objURL":"p)" + std::to_string(n) + "\"}";
    };
    std::string sixteen;
    for (int n = 1; n <= 16; ++n)
        sixteen += (n > 1 ? "," : "") + element(n);
    auto googleResult = [](int n, int extraEntries) {
        std::string entries = R"(["","","tbn)" + std::to_string(n) + R"(","p)" + std::to_string(n) +
                              R"(","","","","","","","","","","","http://t/i")";
        for (int i = 0; i < extraEntries; ++i)
            entries += R"(,{"a":["]"]})";
        return entries + "]";
    };
    std::string sixteenGoogle;
    for (int n = 1; n <= 16; ++n)
        sixteenGoogle += (n > 1 ? "," : "") + googleResult(n, n % 3);
    std::vector<TSearchItem> fifteen, fifteenGoogle;
    for (int n = 1; n <= 15; ++n) {
        const std::string i = std::to_string(n);
        fifteen.push_back({"", "t" + i, "p" + i, false});
        fifteenGoogle.push_back({"", "http://t/i?q=tbn:tbn" + i, "p" + i, false});
    }
    // 乗 is 81 5C in GBK: its second byte must not escape the quote after it.
    const std::string gbkTrailBackslash = "\x81\x5C";
    struct {
        const char* what;
        int engine;
        std::string page;
        std::vector<TSearchItem> items;
        TNoResultReport report;
    } cases[] = {
        {"the last member of a name counts", seBaidu,
         BaiduScript(R"({"listNum":5,"data":[{"thumbURL":"a","objURL":"b"}],"listNum":31,)"
                     R"("data":[{"thumbURL":"t","thumbURL":"t2","objURL":"p"}]})"),
         Items({{"t2", "p"}}), nrNone},
        {"escapes, comments and white space", seBaidu,
         BaiduScript("/* imgdata */ {\r\n \"list\\u004Eum\" : 1 , // results\n \"data\" : [ "
                     R"({ "objURL" : "http:\/\/p\/1.jpg" , "thumbURL" : "\u98ce\u666f" } ] })"),
         Items({{"风景", "http://p/1.jpg"}}), nrNone},
        {"brackets and quotes inside strings, look-alike members of nested objects", seBaidu,
         BaiduScript(R"({"listNum":1,"data":[{"tags":["]}\"{[",{"thumbURL":"x","objURL":"y"}],)"
                     R"("thumbURL":"t","objURL":"p","more":{"objURL":null}}]})"),
         Items({{"t", "p"}}), nrNone},
        {"elements that are not objects or lack an address; a non-text address is empty", seBaidu,
         BaiduScript(R"({"listNum":1,"data":[1,"x",null,{"thumbURL":"a","objURL":null},{"thumbURL":"a"},)"
                     R"({"thumbURL":{"u":1},"objURL":"p"},{"thumbURL":"","objURL":""},{"thumbURL":"t","objURL":7}]})"),
         Items({{"", "p"}, {"t", ""}}), nrNone},
        {"sixteen elements give fifteen items", seBaidu, BaiduScript(R"({"listNum":16,"data":[)" + sixteen + "]}"),
         fifteen, nrNone},
        {"broken after the fifteenth element",
         seBaidu,
         BaiduScript(R"({"listNum":16,"data":[)" + sixteen + ",]}"),
         {},
         nrDumpable},
        {"unclosed document", seBaidu, BaiduScript(R"({"listNum":16,"data":[)" + sixteen + "]"), {}, nrDumpable},
        {"text after the document",
         seBaidu,
         BaiduScript(R"({"listNum":1,"data":[)" + element(1) + "]} x"),
         {},
         nrDumpable},
        {"a malformed escape in an address",
         seBaidu,
         BaiduScript(R"({"listNum":1,"data":[{"thumbURL":"\x","objURL":"p"}]})"),
         {},
         nrDumpable},
        {"a number JSON does not know",
         seBaidu,
         BaiduScript(R"({"listNum":031,"data":[)" + element(1) + "]}"),
         {},
         nrDumpable},
        {"a double-byte character ending in a backslash byte", seBaidu,
         BaiduScript(R"({"listNum":1,"data":[{"thumbURL":"t)" + gbkTrailBackslash + R"(","objURL":"p\/1"}]})"),
         Items({{"t乗", "p/1"}}), nrNone},
        {"Google: fifteen of sixteen, long and short entries, an element that is no array", seGoogle,
         Google("[" + sixteenGoogle + "]", ""), fifteenGoogle, nrNone},
        {"Google: short and odd elements still count", seGoogle, Google(R"([["","","tbn1","p1"],{"x":[]},[]])", ""),
         Items({{"?q=tbn:tbn1", "p1"}, {"?q=tbn:", ""}, {"?q=tbn:", ""}}), nrNone},
        {"Google: broken after the fifteenth result",
         seGoogle,
         Google("[" + sixteenGoogle + ",[}]", ""),
         {},
         nrDumpable},
    };
    for (const auto& c : cases) {
        for (TRegexEngine regexEngine : kRegexEngines) {
            const TScrapeResult result = Scrape(c.engine, c.page, Context(regexEngine));
            EXPECT_EQ(result.items, c.items) << c.what << " with the " << EngineName(regexEngine);
            EXPECT_EQ(result.report, c.report) << c.what << " with the " << EngineName(regexEngine);
        }
    }
}

TEST(ScrapeGoogle, NavigationAndResults) {
    const std::string element = R"(["","","tbn1","http://p/1.jpg","","","","","","","","","","","http://t/i"])";
    // Without Google's navigation the bar is empty, and the results still show.
    TScrapeResult result = Scrape(seGoogle, Google("[" + element + "]", ""), Context(TRegexEngine::Jit));
    EXPECT_EQ(result.pageBar, "");
    EXPECT_EQ(result.items, Items({{"http://t/i?q=tbn:tbn1", "http://p/1.jpg"}}));
    EXPECT_EQ(result.curPage, 1);

    TScrapeContext later = Context(TRegexEngine::Jit);
    later.firstPage = false;
    later.curPage = 1;
    EXPECT_EQ(Scrape(seGoogle, Google("[" + element + "]", ""), later).curPage, 1);

    for (const std::string& page : {Google("[", ""), std::string("<html>dyn.setResults([])</html>"), std::string()}) {
        result = Scrape(seGoogle, page, Context(TRegexEngine::Jit));
        EXPECT_EQ(result.report, nrDumpable) << page;
        EXPECT_FALSE(result.fillGrid || result.pageBar) << page;
    }
    // An empty result list is a page without results.
    result = Scrape(seGoogle, Google("[]", ""), Context(TRegexEngine::Jit));
    EXPECT_TRUE(result.fillGrid);
    EXPECT_EQ(result.curPage, 0);
    EXPECT_EQ(result.report, nrPlain);
}

std::string SogouList(std::string_view items) {
    return "<ul id=\"plist\" class=\"vlcol5\">" + std::string(items) + "</ul><div id=\"hint\"></div>";
}

std::string SogouItem(int n) {
    const std::string i = std::to_string(n);
    return "<li><a href=\"/d?" + i + "\" onclick=\"phb('http://p/" + i +
           ".jpg')\"><!--thumb_beg--><img src=\"http://t/" + i + ".jpg\"></a></li>";
}

TEST(ScrapeSogou, APageWithoutListItemsIsDumpable) {
    for (const std::string& page : {SogouList(""), SogouList("<li>ad</li>"), std::string()}) {
        const TScrapeResult result = Scrape(seSogou, page, Context(TRegexEngine::Jit));
        EXPECT_TRUE(result.fillGrid);
        EXPECT_TRUE(result.items.empty());
        EXPECT_EQ(result.pageBar, "<div class=\"pagination\"></div>");
        EXPECT_EQ(result.report, nrDumpable);
    }
    EXPECT_EQ(DumpName(seSogou), "GooleResult");
}

TEST(ScrapeSogou, TheFirstFifteenResultsCount) {
    std::string items;
    for (int i = 1; i <= 20; ++i)
        items += SogouItem(i);
    const TScrapeResult result = Scrape(seSogou, SogouList(items), Context(TRegexEngine::Jit));
    ASSERT_EQ(result.items.size(), 15u);
    EXPECT_EQ(result.items[14].PictureUrl, "http://p/15.jpg");
    EXPECT_EQ(result.items[14].ThumbUrl, "http://t/15.jpg");
}

// The link's text 入口 holds the byte 0x85 (E5 85 A5), which must not count as a line break.
std::string YoudaoBlock(std::string_view picture, int n) {
    return "<tbody><tr><td><center><a href=\"/u\" onclick=\"logci('" + std::to_string(n) + "','" +
           std::string(picture) + "')\">入口</a><img src=\"http://t/" + std::to_string(n) +
           ".jpg\" width=\"90\"></center></td></tr></tbody>";
}

std::string Youdao(std::string_view blocks) {
    return "<div id=\"pagination\"><a href=\"/search?q=x&start=24\">2</a></div><div id=\"resultLists\">" +
           std::string(blocks) + "</div><div id=\"hiddenSummary23\" style=\"display:none;\"></div>";
}

TEST(ScrapeYoudao, FifteenBlocksTakeFifteenCellsMatchingOrNot) {
    std::string blocks;
    std::vector<TSearchItem> expected;
    for (int i = 1; i <= 20; ++i) {
        const bool matches = i != 2 && i != 5 && i != 9 && i != 13;
        blocks += matches ? YoudaoBlock("http%3A%2F%2Fp%2F" + std::to_string(i) + ".jpg", i)
                          : "<tbody><tr><td>ad " + std::to_string(i) + "</td></tr></tbody>";
        if (expected.size() < 15) {
            const std::string n = std::to_string(i);
            expected.push_back(matches ? TSearchItem{"", "http://t/" + n + ".jpg", "http://p/" + n + ".jpg", false}
                                       : TSearchItem{});
        }
    }
    const TScrapeResult result = Scrape(seYoudao, Youdao(blocks), Context(TRegexEngine::Jit));
    EXPECT_EQ(result.items, expected);
    EXPECT_EQ(result.pageBar, "<div class=\"pagination\"><a href=\"/search?q=x&start=24\">2</a></div>");
    EXPECT_EQ(result.report, nrNone);
}

TEST(ScrapeYoudao, AMalformedEscapeEndsThePageWithAnError) {
    const TScrapeResult result =
        Scrape(seYoudao, Youdao(YoudaoBlock("http://p/1.jpg", 1) + YoudaoBlock("http://p/100%.jpg", 2)),
               Context(TRegexEngine::Jit));
    EXPECT_EQ(result.error, "Invalid hex digit in URL");
    EXPECT_FALSE(result.fillGrid);
    EXPECT_TRUE(result.items.empty());
    EXPECT_EQ(result.pageBar, "<div class=\"pagination\"><a href=\"/search?q=x&start=24\">2</a></div>");
}

// 风 (E9 A3 8E) with one bit changed is an encoded surrogate: no UTF-8, so the texts are read as ANSI.
TEST(ScrapeYoudao, TextsThatAreNoStrictUtf8AreReadAsAnsi) {
    const std::string broken = "\xED\xA3\x8E";
    std::string page = Youdao(YoudaoBlock("http%3A%2F%2Fp%2F%ED%A3%8E.jpg", 1));
    page.replace(page.find("q=x"), 3, "q=" + broken);
    const TScrapeResult result = Scrape(seYoudao, page, Context(TRegexEngine::Jit));
    ASSERT_TRUE(result.pageBar);
    EXPECT_TRUE(IsValidUtf8(*result.pageBar)) << *result.pageBar;
    EXPECT_NE(result.pageBar->find(Gbk().ToUtf8(broken)), std::string::npos) << *result.pageBar;
    ASSERT_EQ(result.items.size(), 1u);
    EXPECT_EQ(result.items[0].PictureUrl, "http://p/" + Gbk().ToUtf8(broken) + ".jpg");
}

TEST(ScrapeYoudao, AnEmptyPageShowsAnEmptyBarAndIsDumpable) {
    const TScrapeResult result = Scrape(seYoudao, "", Context(TRegexEngine::Jit));
    EXPECT_EQ(result.pageBar, "<div class=\"pagination\"></div>");
    EXPECT_TRUE(result.fillGrid);
    EXPECT_EQ(result.report, nrDumpable);
    EXPECT_EQ(DumpName(seYoudao), "YouDaoResult");
}

// The pages below would take PCRE2 minutes or hours without its limits.
TEST(ScrapeLimits, APageThatHitsTheMatchLimitShowsNothing) {
    std::string trap = "<tbody><center>";
    for (int i = 0; i < 400; ++i)
        trap += "<a href=\"x\"logci('a','b<a href=\"";
    trap += "</tbody>";
    for (TRegexEngine engine : kRegexEngines) {
        const auto start = std::chrono::steady_clock::now();
        const TScrapeResult result = Scrape(seYoudao, Youdao(YoudaoBlock("http://p/1.jpg", 1) + trap), Context(engine));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << EngineName(engine);
        EXPECT_TRUE(result.fillGrid) << EngineName(engine);
        EXPECT_TRUE(result.items.empty()) << EngineName(engine);
        EXPECT_EQ(result.report, nrDumpable) << EngineName(engine);
    }
}

std::string Repeat(std::string_view unit, size_t bytes) {
    std::string text;
    while (text.size() < bytes)
        text += unit;
    return text;
}

// Hand-built pages of Baidu's markup layout and of both Sogou layouts whose every block makes the
// item pattern backtrack until its limit: without an end at the first limit hit each block spent
// the whole limit, seconds a page with the interpreter.
TEST(ScrapeLimits, AHostilePageTakesLessThanFiftyMilliseconds) {
    const std::string baiduBlock = "<dl>" + Repeat("src=\"a\">onclick=\"p", 600) + "u'</dl>\n";
    const std::string sogouBlock = "<li>" + Repeat("<a href=onclick=\"phb('x", 600) + "</li>\n";
    const struct {
        const char* what;
        int engine;
        std::string page;
    } cases[] = {
        {"Baidu markup, 16 KB", seBaidu,
         "<!--resnum:100--><head><div id=\"imgid\">" + Repeat(baiduBlock, 16 << 10) + "<div id=\"lastPage\">"},
        {"Baidu markup, 73 KB", seBaidu,
         "<!--resnum:100--><head><div id=\"imgid\">" + Repeat(baiduBlock, 73 << 10) + "<div id=\"lastPage\">"},
        {"Sogou list", seSogou, SogouList(Repeat(sogouBlock, 73 << 10))},
        {"Sogou page bar", seSogou,
         "<p class=\"pagebar\">1</p></div><div id=\"content1\"><ul class=\"piclist2\">" + Repeat(sogouBlock, 73 << 10) +
             "<p class=\"pagebar\">1</p></div>"},
    };
    for (TRegexEngine engine : kRegexEngines) {
        for (const auto& c : cases) {
            const auto start = std::chrono::steady_clock::now();
            const TScrapeResult result = Scrape(c.engine, c.page, Context(engine));
            const auto took = std::chrono::steady_clock::now() - start;
            EXPECT_LT(took, std::chrono::milliseconds(50))
                << c.what << " with the " << EngineName(engine) << ": "
                << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
            EXPECT_TRUE(result.fillGrid) << c.what;
            EXPECT_TRUE(result.items.empty()) << c.what;
        }
    }
}

TEST(ScrapeLimits, TenMegabytePagesEndCleanly) {
    constexpr size_t kTenMegabytes = 10 << 20;
    // Many blocks without a result before the fifteen that count.
    std::string items;
    const std::string filler =
        "<li><a href=\"/ad\"><img src=\"http://ad.example/banner.gif\"></a>" + std::string(200, 'x') + "</li>\r\n";
    while (items.size() < kTenMegabytes)
        items += filler;
    for (int i = 1; i <= 15; ++i)
        items += SogouItem(i);
    // One block that never closes, over the whole page.
    const std::string unclosed = "<!--resnum:100--><head><div id=\"imgid\"><dl>" + std::string(kTenMegabytes, 'x');
    for (TRegexEngine engine : kRegexEngines) {
        const auto start = std::chrono::steady_clock::now();
        TScrapeResult result = Scrape(seSogou, SogouList(items), Context(engine));
        EXPECT_EQ(result.items.size(), 15u) << EngineName(engine);
        EXPECT_EQ(result.report, nrNone) << EngineName(engine);

        result = Scrape(seBaidu, unclosed, Context(engine));
        EXPECT_TRUE(result.fillGrid) << EngineName(engine);
        EXPECT_TRUE(result.items.empty()) << EngineName(engine);
        EXPECT_EQ(result.report, nrPlain) << EngineName(engine);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << EngineName(engine);
    }
}

TEST(DigitsToInt, KeepsTheDigitsInOrder) {
    struct {
        const char* text;
        int value;
    } cases[] = {
        {"1,234", 1234},      {" 约 12,345 张", 12345}, {"", 0}, {"none", 0}, {"0,0,7", 7}, {"2147483647", INT_MAX},
        {"2,147,483,648", 0}, {"99999999999", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DigitsToInt(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace lumaforge
