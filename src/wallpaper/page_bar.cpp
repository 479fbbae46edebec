#include "wallpaper/page_bar.h"

#include <algorithm>
#include <charconv>
#include <climits>

#include "base/text.h"
#include "net/url.h"

namespace lumaforge {
namespace {
constexpr std::string_view kHead =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\r\n"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\">\r\n"
    "<head>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\r\n"
    "<meta http-equiv=\"X-UA-Compatible\" content=\"IE=EmulateIE7\" />\r\n"
    "<title>newdocument</title>\r\n"
    "<style type=\"text/css\" media=\"screen\">\r\n"
    "body{font-family:\"宋体,Arial,Helvetica,sans-serif\";margin:0;padding:3px;font-size:12px}\r\n"
    ".pagination{padding:0 14px 0 0;margin-left:3px;margin-top:5px;}\r\n"
    ".pagination a{text-decoration: none;border: solid 1px #CCC;color: #000;}\r\n"
    ".pagination a, .pagination span{display: block;float: left;padding: 0.3em 0.6em;margin-right: 4px;"
    "margin-bottom: 4px;}\r\n"
    ".pagination a:hover{border-color:#fd6d01;color:#000;text-decoration:none;}\r\n"
    ".pagination .current-page{background: #efefef;color: #000;border: solid 1px #CCC;}\r\n"
    ".pagination .current.prev, .pagination .current.next{color:#000;border-color:#CCC;background:#efefef;}\r\n"
    "</style>\r\n"
    "</head>\r\n"
    "<body>";

std::string Link(int page, std::string_view text) {
    return "<a href=\"" + std::to_string(page) + "\">" + std::string(text) + "</a>";
}

std::string_view RootWithoutSlash(std::string_view root) {
    if (!root.empty() && root.back() == '/')
        root.remove_suffix(1);
    return root;
}

// A link of our own Baidu bar is a page number; anything else, and numbers too large to ask for, mean
// the first page.
int BaiduLinkPage(std::string_view link) {
    int page = 0;
    auto [end, error] = std::from_chars(link.data(), link.data() + link.size(), page);
    const bool number = !link.empty() && error == std::errc() && end == link.data() + link.size();
    return number && page >= 1 && page <= INT_MAX / 15 ? page : 1;
}

std::string ReplaceAllOf(std::string text, std::string_view from, std::string_view to) {
    if (from.empty())
        return text;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}
}  // namespace

std::string WrapPageHtml(std::string_view fragment) {
    return std::string(kHead) + std::string(fragment) + "</body>\r\n</html>\r\n";
}

std::string BuildPageBar(int page, int pageCount, const TPageBarTexts& texts) {
    int first = page - 5;
    if (pageCount - page < 10)
        first = pageCount - 9;
    first = std::max(first, 1);
    std::string links;
    if (page > 1)
        links += Link(page - 1, texts.previous);
    for (int n = first; n < first + 10 && n <= pageCount; ++n) {
        if (n == page)
            links += "<span class=\"current-page\"> " + std::to_string(n) + " </span>";
        else
            links += Link(n, std::to_string(n));
    }
    if (page < pageCount)
        links += Link(page + 1, texts.next);
    return "<div class=\"pagination\">" + links + "</div>";
}

bool IsBarDocument(std::string_view target) {
    return AsciiLower(target) == "about:blank";
}

std::optional<TPageLinkRequest> PageLinkRequest(std::string_view target, const TPagingState& paging,
                                                const TEngineRoots& roots, const AnsiCodePage& codePage) {
    std::string link = AsciiLower(target);
    if (link.starts_with("about:blank"))
        link.erase(0, 11);
    else if (link.starts_with("about:"))
        link.erase(0, 6);
    switch (paging.engine) {
        case seBaidu: {
            const int page = BaiduLinkPage(link);
            return TPageLinkRequest{BaiduPageUrl(paging.baiduUrl, page), page};
        }
        case seYoudao:
            // The engine's links carry the keyword as typed; it goes out encoded as the first request
            // sent it. Only the link is searched: the site root may well contain the keyword.
            link = ReplaceAllOf(std::move(link), paging.youdaoKey,
                                UrlEncode(Utf8ToUtf16(paging.youdaoKey), /*utf8=*/false, codePage));
            return TPageLinkRequest{std::string(RootWithoutSlash(roots.youdao)) + link, std::nullopt};
        case seSogou:
            return TPageLinkRequest{std::string(RootWithoutSlash(roots.sogou)) + link, std::nullopt};
        case seGoogle:
            return TPageLinkRequest{std::string(RootWithoutSlash(roots.google)) + link, std::nullopt};
        default:
            return std::nullopt;
    }
}

}  // namespace lumaforge
