// Every scraper layout on any page, with the JIT and with the interpreter: no scrape takes 50 ms,
// no more than 15 results come out, and every text is UTF-8 that fits the record.
#include <time.h>

#include "base/code_page.h"
#include "fuzz_support.h"
#include "wallpaper/result_scrapers.h"

using namespace lumaforge;
using namespace lumaforge::fuzz;

namespace {
// The processor time of this thread: what the scrape itself costs, whatever else the machine runs.
double ThreadMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}
}  // namespace

// The patterns are compiled and the code page's converters opened once, at the first scrape of the
// process; that is no part of what a page costs.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (TRegexEngine engine : {TRegexEngine::Jit, TRegexEngine::Interpreter}) {
        TScrapeContext context{Gbk(), {"Previous", "Next"}, nullptr};
        context.regexEngine = engine;
        for (int layout = 0; layout < 4; ++layout)
            Scrape(layout, "<p class=\"pagebar\">\xB7\xE7</p></div><!--resnum:1--><head>", context);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input input(data, size);
    const uint8_t choice = input.Byte();
    const int engine = choice & 3;
    const int curPage = input.Byte();
    const int pageCount = input.Byte();
    const std::string_view page = input.Rest();

    TScrapeContext context{Gbk(), {"Previous", "Next"}, [](const std::string& name) { return name[0] < '8'; }};
    context.firstPage = choice & 4;
    context.curPage = curPage;
    context.pageCount = pageCount;
    context.regexEngine = choice & 8 ? TRegexEngine::Interpreter : TRegexEngine::Jit;
    double start = ThreadMs();
    TScrapeResult result = Scrape(engine, page, context);
    double took = ThreadMs() - start;
    // A page's cost is the same every time; the process's own moments (the sanitizer's allocator
    // taking fresh memory, page faults) are not. A scrape over the limit is timed once more, and
    // only a page that is slow both times fails.
    if (took >= 50) {
        start = ThreadMs();
        result = Scrape(engine, page, context);
        took = ThreadMs() - start;
    }
    FUZZ_CHECK(took < 50, std::to_string(took) + " ms");

    FUZZ_CHECK(result.items.size() <= kResultsPerPage, std::to_string(result.items.size()));
    FUZZ_CHECK(result.fillGrid || result.items.empty(), Printable(page.substr(0, 200)));
    if (result.pageBar)
        FUZZ_CHECK(IsValidUtf8(*result.pageBar), Printable(*result.pageBar));
    for (const TSearchItem& item : result.items) {
        for (const std::string* text : {&item.Title, &item.ThumbUrl, &item.PictureUrl}) {
            FUZZ_CHECK(IsValidUtf8(*text), Printable(*text));
            // What the record holds: at most 255 bytes in the code page.
            FUZZ_CHECK(AnsiPrefix(*text, kSearchItemTextBytes, Gbk()) == *text, Printable(*text));
        }
    }
    if (result.curPage)
        FUZZ_CHECK(*result.curPage >= 0, std::to_string(*result.curPage));
    if (result.pageCount)
        FUZZ_CHECK(*result.pageCount > 0, std::to_string(*result.pageCount));
    return 0;
}
