// The program's requests and scrapers on result pages the demo's engine emulator served, saved with
// what the emulator put into them by scripts/save-engine-pages.py: the emulator and the program can
// only drift apart here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "base/code_page_posix.h"
#include "wallpaper/page_bar.h"
#include "wallpaper/result_scrapers.h"
#include "wallpaper/search_request.h"

namespace lumaforge {
namespace {
using Json = nlohmann::json;

const TPageBarTexts kTexts{"Previous Page", "Next Page"};
const std::string kServer = "http://127.0.0.1:8765/";

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

TEngineRoots Roots() {
    return {kServer + "baidu/", kServer + "youdao/", kServer + "sogou/", kServer + "google.hk/", kServer + "google/"};
}

int Engine(const std::string& name) {
    const std::map<std::string, int> engines = {
        {"baidu", seBaidu}, {"youdao", seYoudao}, {"sogou", seSogou}, {"google", seGoogle}};
    return engines.at(name);
}

TEST(EnginePages, TheProgramAsksForAndReadsWhatTheEmulatorServes) {
    const auto folder = std::filesystem::path(__FILE__).parent_path() / "golden" / "demo";
    int pages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".json")
            continue;
        ++pages;
        SCOPED_TRACE(entry.path().filename().string());
        const Json golden = Json::parse(ReadFile(entry.path()));
        const Json& expect = golden.at("expect");
        const int engine = Engine(golden.at("engine"));
        const std::string keyword = golden.at("keyword");
        const int pageNumber = golden.at("pageNumber");

        // The request the program sends for the page's search is the one the page answered.
        const TSizePreset preset{"", golden.at("width"), golden.at("height"), golden.at("sizeCode")};
        const std::string request = RequestUrl(engine, keyword, preset, Roots(), Gbk());
        EXPECT_EQ(request, kServer + golden.at("request").get<std::string>());

        const std::string page = ReadFile(folder / golden.at("page").get<std::string>());
        ASSERT_FALSE(page.empty());
        TScrapeContext context{Gbk(), kTexts, nullptr};
        context.firstPage = pageNumber == 1;
        if (!context.firstPage) {
            // Reached through the bar of the first page.
            context.curPage = engine == seBaidu ? pageNumber : 1;
            context.pageCount = expect.value("pages", 0);
        }
        const TScrapeResult result = Scrape(engine, page, context);

        std::vector<TSearchItem> items;
        for (const Json& item : expect.at("items"))
            items.push_back({"", item.at("thumb"), item.at("picture"), false});
        EXPECT_EQ(result.items, items);
        EXPECT_EQ(result.error, "");
        // Baidu's script layout counts its results as zero; every other empty page is one without results.
        const bool countsZero = golden.at("page").get<std::string>().starts_with("baidu_script");
        EXPECT_EQ(result.report, !items.empty() ? nrNone : countsZero ? nrPlain : nrDumpable);
        if (items.empty())
            continue;
        EXPECT_TRUE(result.fillGrid);

        if (engine == seBaidu) {
            // Baidu's bar is the program's own, counted from the first page.
            EXPECT_EQ(result.pageCount.value_or(-1), expect.value("pageCount", -1));
            EXPECT_EQ(result.curPage.value_or(-1), pageNumber);
            EXPECT_EQ(result.pageBar, BuildPageBar(pageNumber, expect.at("pages"), kTexts));
            continue;
        }
        // Google keeps the page's own count of where it is; the others show the engine's bar alone.
        if (engine == seGoogle)
            EXPECT_EQ(result.curPage, context.firstPage ? 1 : context.curPage);
        else
            EXPECT_FALSE(result.curPage);
        ASSERT_TRUE(result.pageBar);
        for (const Json& link : expect.at("links"))
            EXPECT_NE(result.pageBar->find(link.get<std::string>()), std::string::npos)
                << link << " missing from " << *result.pageBar;
    }
    EXPECT_GE(pages, 24);
}

}  // namespace
}  // namespace lumaforge
