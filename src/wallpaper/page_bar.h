#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "base/code_page.h"
#include "wallpaper/search_request.h"

namespace lumaforge {

// The document the page-number browser shows: a fixed head whose style sheet draws the links of a
// "pagination" block as boxes, then `fragment` as the body. An empty fragment is an empty bar.
std::string WrapPageHtml(std::string_view fragment);

// The two words of Baidu's bar, from the resource strings.
struct TPageBarTexts {
    std::string previous;
    std::string next;
};

// Baidu's bar for page `page` of `pageCount`: a previous link, at most ten page numbers around the
// current one (shown without a link), a next link. Each link's address is its bare page number.
std::string BuildPageBar(int page, int pageCount, const TPageBarTexts& texts);

// What the page remembers of its search for the links of the bar.
struct TPagingState {
    int engine = -1;        // the engine of the last search, -1 before the first
    std::string baiduUrl;   // the request of Baidu's first result page
    std::string youdaoKey;  // the trimmed keyword as typed (UTF-8)
};

// True when the browser is about to load a generated document rather than follow a link.
bool IsBarDocument(std::string_view target);

struct TPageLinkRequest {
    std::string url;               // the result page to hand to the engine's scraper
    std::optional<int> baiduPage;  // Baidu: the page asked for, the page's new current page
};

// The request behind a link of the bar, from the address the browser reports for it ("about:blank"
// or "about:" and the link, or the link alone); nothing before the first search. The browser's own
// navigation is cancelled whatever this returns.
std::optional<TPageLinkRequest> PageLinkRequest(std::string_view target, const TPagingState& paging,
                                                const TEngineRoots& roots, const AnsiCodePage& codePage);

}  // namespace lumaforge
