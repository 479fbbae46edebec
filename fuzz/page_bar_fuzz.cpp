// The page bar: Baidu's own bar, the document around any bar, and the requests behind its links.
#include <climits>

#include "base/text.h"
#include "fuzz_support.h"
#include "wallpaper/page_bar.h"

using namespace lumaforge;
using namespace lumaforge::fuzz;

namespace {
size_t Count(std::string_view text, std::string_view what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input input(data, size);
    const uint8_t choice = input.Byte();
    const int page = static_cast<int16_t>(input.Word());
    const int pageCount = static_cast<int16_t>(input.Word());
    const std::string youdaoKey(input.Until('\n'));
    const std::string_view target = input.Rest();

    const std::string bar = BuildPageBar(page, pageCount, {"Previous", "Next"});
    // At most ten numbers and the two neighbours; the current page without a link.
    FUZZ_CHECK(Count(bar, "<a href=") <= 12, bar);
    FUZZ_CHECK(Count(bar, "current-page") == (page >= 1 && page <= pageCount ? 1u : 0u) || page < 1 || page > pageCount,
               bar);
    FUZZ_CHECK(WrapPageHtml(target).find(target) != std::string::npos, Printable(target));

    const TEngineRoots roots{"http://b.example/", "http://y.example/", "http://s.example/", "http://g.example/",
                             "http://gm.example/"};
    TPagingState paging;
    paging.engine = static_cast<int>(choice % 5) - 1;
    paging.baiduUrl = "http://b.example/i?word=x";
    paging.youdaoKey = youdaoKey;
    const std::optional<TPageLinkRequest> request = PageLinkRequest(target, paging, roots, Gbk());
    FUZZ_CHECK(request.has_value() == (paging.engine >= 0), Printable(target));
    if (!request)
        return 0;
    const std::string_view root = paging.engine == 0   ? roots.baidu
                                  : paging.engine == 1 ? roots.youdao
                                  : paging.engine == 2 ? roots.sogou
                                                       : roots.google;
    FUZZ_CHECK(request->url.starts_with(root.substr(0, root.size() - 1)), request->url);
    if (paging.engine == 0) {
        FUZZ_CHECK(request->baiduPage && *request->baiduPage >= 1 && *request->baiduPage <= INT_MAX / 15, request->url);
        FUZZ_CHECK(request->url.starts_with(paging.baiduUrl + "&pn="), request->url);
    }
    return 0;
}
