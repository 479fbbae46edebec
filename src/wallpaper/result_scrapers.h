#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"
#include "wallpaper/page_bar.h"
#include "wallpaper/page_regex.h"
#include "wallpaper/search_engine.h"
#include "wallpaper/search_item.h"

namespace lumaforge {

inline constexpr size_t kResultsPerPage = 15;

// What the page tells the user when a result page showed nothing.
enum TNoResultReport : uint8_t {
    nrNone,      // results were shown
    nrDumpable,  // "No wallpaper found.", or the page saved to the desktop when the search asked for it
    nrPlain,     // "No wallpaper found." whatever the search asked for
};

// What a scraper needs besides the page.
struct TScrapeContext {
    const AnsiCodePage& codePage;
    TPageBarTexts barTexts;  // Baidu's previous and next links
    // True when a picture's cache file (PictureCacheName) is in the favorites or the temporary folder.
    std::function<bool(const std::string& cacheName)> pictureCached;
    bool firstPage = true;  // false for a page reached through the bar
    int curPage = 0;        // the page's current page before this one (Baidu, Google)
    int pageCount = 0;      // the page's page count before this one (Baidu)
    TRegexEngine regexEngine = TRegexEngine::Jit;
};

// What a result page changes on the wallpaper page.
struct TScrapeResult {
    // The fragment to show in the page bar (through WrapPageHtml); nothing leaves the bar as it is.
    std::optional<std::string> pageBar;
    // When set, `items` replace the grid's rows, also when there are none; otherwise the grid keeps
    // what it shows.
    bool fillGrid = false;
    std::vector<TSearchItem> items;
    std::optional<int> pageCount;  // Baidu's first page: the number of result pages
    std::optional<int> curPage;    // Baidu and Google: the new current page (0: this page showed nothing)
    TNoResultReport report = nrNone;
    // Set when the page ended with an error the program reports as it reports any error ("Invalid
    // hex digit in URL" for a malformed Youdao address); the bar above is still shown.
    std::string error;
};

// Extracts up to 15 results and the page bar from a result page of `engine`, as its body arrived:
// ANSI bytes for Baidu, Sogou and Google, UTF-8 for Youdao. Texts come out in UTF-8. A page on which
// a pattern gave up at its limits counts as a page without results.
TScrapeResult Scrape(int engine, std::string_view page, const TScrapeContext& context);

// The name (without ".txt") under which an engine's page is saved to the desktop for analysis.
std::string_view DumpName(int engine);

// The decimal value of the ASCII digits of `text` taken in order, others skipped; 0 when there are
// none or the value does not fit an int.
int DigitsToInt(std::string_view text);

}  // namespace lumaforge
