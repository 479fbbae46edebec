#pragma once
#include <string>
#include <string_view>

#include "base/code_page.h"
#include "wallpaper/search_engine.h"
#include "wallpaper/size_presets.h"

namespace lumaforge {

// The engines' site roots, each ending with "/"; the program passes the build's addresses.
struct TEngineRoots {
    std::string baidu;
    std::string youdao;
    std::string sogou;
    std::string google;      // the Hong Kong site: requests and page links
    std::string googleMain;  // the main site: only the Referer of Google's requests
};

// The keyword as typed without the blanks and control characters around it; empty means "ask for
// one first".
std::string_view TrimKeyword(std::string_view typed);

// The request of an engine's first result page for a trimmed UTF-8 keyword and a preset whose
// EngineCode was set for that engine (AssignSizeCodes). The keyword travels percent-encoded in the
// ANSI code page, never as UTF-8, whatever the engine.
std::string RequestUrl(int engine, std::string_view keyword, const TSizePreset& preset, const TEngineRoots& roots,
                       const AnsiCodePage& codePage);

// The Referer an engine's result page is fetched with.
std::string_view EngineReferer(int engine, const TEngineRoots& roots);

// Baidu's result page `page` (1-based) of the search whose first page was `firstPageUrl`.
std::string BaiduPageUrl(std::string_view firstPageUrl, int page);

}  // namespace lumaforge
