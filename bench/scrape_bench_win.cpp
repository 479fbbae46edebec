// Scrapes a 1 MB result page of each layout, with PCRE2's interpreter and with its JIT, and prints
// the median time of each. Two shapes of page: "typical" holds 15 results of 2 KB of markup each and
// the rest of the megabyte in styles and scripts around the result area, as the engines' pages do;
// "dense" pads the 15 results to fill the whole megabyte, so the patterns run over all of it (in the
// script layouts, a megabyte of JSON). Target: under 2 ms per page with the faster engine.
#ifdef _WIN32
#include <windows.h>

#include "base/code_page_win.h"
#else
#include "base/code_page_posix.h"
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "wallpaper/result_scrapers.h"

using namespace lumaforge;
using Clock = std::chrono::steady_clock;

namespace {
constexpr size_t kPageBytes = 1 << 20;
constexpr int kRuns = 41;

struct Layout {
    const char* name;
    int engine;
    std::string page;
};

// Padding of one result block: plain markup with the engines' own words, but none of the texts the
// patterns look for.
std::string Filler(size_t bytes, const std::string& word) {
    std::string filler;
    for (int i = 0; filler.size() < bytes; ++i)
        filler += "<span class=info>" + word + " " + std::to_string(1024 + i) + "x768</span><br>\r\n";
    return filler;
}

// Styles and scripts outside the result area.
std::string Styles(size_t bytes) {
    std::string styles = "<style>";
    for (int i = 0; styles.size() < bytes; ++i)
        styles += ".c" + std::to_string(i) + "{margin:0;padding:" + std::to_string(i % 40) + "px}\r\n";
    return styles + "</style>\r\n";
}

std::string Scripts(size_t bytes) {
    std::string scripts = "<script>";
    for (int i = 0; scripts.size() < bytes; ++i)
        scripts += "var v" + std::to_string(i) + "=document.getElementById('x" + std::to_string(i) + "');\r\n";
    return scripts + "</script>\r\n";
}

std::vector<Layout> Pages(const std::string& ansiWord, const std::string& utf8Word, size_t block) {
    std::vector<Layout> pages;
    const size_t outside = kPageBytes - std::min(kPageBytes, kResultsPerPage * block + 1024);
    const std::string head = "<html><head><title>" + ansiWord + "</title>" + Styles(outside / 2) + "</head><body>";
    const std::string tail = Scripts(outside / 2) + "</body></html>";

    std::string data;
    for (size_t i = 0; i < kResultsPerPage; ++i) {
        std::string tags;
        while (tags.size() < block)
            tags += "\"" + ansiWord + " " + std::to_string(tags.size()) + "\",";
        data += (i ? "," : "") + std::string("{\"thumbURL\":\"http://t.example/it/u=") + std::to_string(i) +
                ".jpg\",\"objURL\":\"http://pic.example/" + std::to_string(i) + ".jpg\",\"fromPageTitle\":\"" +
                ansiWord + "\",\"width\":1024,\"height\":768,\"tags\":[" + tags + "\"end\"]}";
    }
    pages.push_back({"Baidu script", seBaidu,
                     head + "<script>var imgdata = {\"listNum\":1234,\"data\":[" + data +
                         "]};BD.IMG.model.ImageIndex.storeData(imgdata);</script>" + tail});

    std::string dls;
    for (size_t i = 0; i < kResultsPerPage; ++i) {
        const std::string n = std::to_string(i);
        dls += "<dl><dt><a href=\"/i?" + n + "\"><img src=\"http://t.example/" + n + ".jpg\"></a></dt>\r\n" +
               Filler(block, ansiWord) + "<dd><a href=\"#\" onclick=\"p(this,{u:'http://pic.example/" + n +
               ".jpg',w:1024})\">" + ansiWord + "</a></dd></dl>\r\n";
    }
    pages.push_back(
        {"Baidu markup", seBaidu,
         "<!--resnum:1,234-->" + head + "<div id=\"imgid\">" + dls + "</div><div id=\"lastPage\"></div>" + tail});

    std::string results;
    for (size_t i = 0; i < kResultsPerPage; ++i) {
        const std::string n = std::to_string(i);
        std::string extra;
        while (extra.size() < block)
            extra += "\"" + ansiWord + " " + std::to_string(extra.size()) + "\",";
        results += (i ? "," : "") + std::string("[\"/imgres?") + n + "\",\"\",\"tbn" + n + "\",\"http://pic.example/" +
                   n + ".jpg\",\"1024\",\"768\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"http://t.example/images\"," +
                   extra + "\"end\"]";
    }
    pages.push_back({"Google", seGoogle,
                     head +
                         "<div id=navcnt><table id=nav><tr valign=top><td class=cur><span class=\"csb\" "
                         "style=\"width:20px\"></span>1</td><td><a href=\"/images?q=x&amp;start=21\"><span "
                         "class=\"csb ch\" style=\"width:20px\"></span>2</a></td></tr></table></div>"
                         "<script>var dyn={};dyn.setResults([" +
                         results + "]);</script></div><div id=ncm></div>" + tail});

    std::string lis;
    for (size_t i = 0; i < kResultsPerPage; ++i) {
        const std::string n = std::to_string(i);
        lis += "<li><a href=\"/d?" + n + "\" onclick=\"phb('http://pic.example/" + n + ".jpg','" + ansiWord +
               "')\"><!--thumb_beg--><img src=\"http://t.example/" + n + ".jpg\" width=\"120\"></a>\r\n" +
               Filler(block, ansiWord) + "</li>\r\n";
    }
    pages.push_back({"Sogou pagebar", seSogou,
                     head + "<div id=\"content1\"><ul class=\"piclist2\">" + lis +
                         "</ul><p class=\"pagebar\"><a href=\"/pics?page=1\">[1]</a> 2 <a "
                         "href=\"/pics?page=3\">[3]</a></p></div>" +
                         tail});
    pages.push_back({"Sogou plist", seSogou,
                     head + "<ul id=\"plist\" class=\"vlcol5\">" + lis +
                         "</ul><div id=\"hint\"></div><div class=\"p\">&nbsp;<strong>1</strong>&nbsp;<a "
                         "href=\"/pics?page=2\">2</a></div>" +
                         tail});

    std::string tbodies;
    for (size_t i = 0; i < kResultsPerPage; ++i) {
        const std::string n = std::to_string(i);
        tbodies +=
            "<tbody><tr><td><center><a href=\"/u?" + n + "\" onclick=\"logci('" + n + "','http%3A%2F%2Fpic.example%2F" +
            n + ".jpg')\">" + utf8Word + "</a><br><img src=\"http://t.example/" + n +
            ".jpg\" width=\"120\" height=\"90\"></center></td></tr>\r\n" + Filler(block, utf8Word) + "</tbody>\r\n";
    }
    pages.push_back({"Youdao", seYoudao,
                     "<html><head><title>" + utf8Word + "</title>" + Styles(outside / 2) + "</head><body>" +
                         "<div id=\"pagination\"><a href=\"/search?q=x&start=24\">2</a></div>"
                         "<div id=\"resultLists\"><table>" +
                         tbodies + "</table></div><div id=\"hiddenSummary23\" style=\"display:none;\"></div>" + tail});
    return pages;
}

double MedianMs(const Layout& layout, const TScrapeContext& context, size_t& items) {
    std::vector<double> samples;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        const TScrapeResult result = Scrape(layout.engine, layout.page, context);
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        items = result.items.size();
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}
}  // namespace

int main() {
#ifdef _WIN32
    const WinAnsiCodePage codePage(936);
    const char* platform = "Windows build";
#else
    const IconvCodePage codePage("CP936");
    const char* platform = "native build";
#endif
    const std::string utf8Word = "风景壁纸";
    std::string ansiWord;
    for (char16_t c : Utf8ToUtf16(utf8Word))
        ansiWord += codePage.EncodeChar(c);

    // The patterns are compiled, and JIT-compiled, once per process: the first scrape pays for it.
    TScrapeContext context{codePage, {"Previous Page", "Next Page"}, nullptr};
    const auto compileStart = Clock::now();
    Scrape(seYoudao, "", context);
    std::printf("%s, PCRE2 JIT %s; first scrape, compiling every pattern: %.2f ms\n", platform,
                Regex(".", false).HasJit() ? "available" : "NOT available",
                std::chrono::duration<double, std::milli>(Clock::now() - compileStart).count());

    std::printf("%-8s %-14s %6s %6s %14s %8s %8s\n", "shape", "layout", "KiB", "items", "interpreter ms", "JIT ms",
                "ratio");
    bool met = true;
    std::string denseFast, denseSlow;
    for (const auto& [shape, block] : {std::pair("typical", size_t{2048}), std::pair("dense", kPageBytes / 15 - 100)}) {
        for (const Layout& layout : Pages(ansiWord, utf8Word, block)) {
            size_t items = 0;
            context.regexEngine = TRegexEngine::Interpreter;
            const double interpreter = MedianMs(layout, context, items);
            context.regexEngine = TRegexEngine::Jit;
            const double jit = MedianMs(layout, context, items);
            std::printf("%-8s %-14s %6zu %6zu %14.3f %8.3f %8.2f\n", shape, layout.name, layout.page.size() / 1024,
                        items, interpreter, jit, interpreter / jit);
            const bool fast = std::min(interpreter, jit) < 2.0 && items == kResultsPerPage;
            if (shape == std::string("typical"))
                met = met && fast;
            else {
                std::string& list = fast ? denseFast : denseSlow;
                list += (list.empty() ? "" : ", ") + std::string(layout.name);
            }
        }
    }
    std::printf("target (every typical 1 MB page under 2 ms with the faster engine, 15 items each): %s\n",
                met ? "met" : "NOT met");
    std::printf("dense 1 MB pages under 2 ms: %s; over: %s\n", denseFast.empty() ? "none" : denseFast.c_str(),
                denseSlow.empty() ? "none" : denseSlow.c_str());
    return 0;
}
