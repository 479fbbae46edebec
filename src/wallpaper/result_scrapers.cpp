#include "wallpaper/result_scrapers.h"

#include <algorithm>
#include <climits>

#include <nlohmann/json.hpp>

#include "net/url.h"

namespace lumaforge {
namespace {
using Json = nlohmann::json;

// The layouts' patterns, compiled once for every scrape and thread.
struct Patterns {
    Regex baiduBlock{"<dl>.*?</dl>", true};
    Regex baiduItem{"src=\"([^\"].*)\">.*onclick=\"p.*u:'([^']*)", true};
    Regex googleNavNoise{"</?td[^>]*>|<span[ ]*class\\=\"csb ch\"[^>]*></span>|[ ]*style\\=\"[^\"]*\"[ ]*|", false};
    Regex googleCurrent{"<span class=\"csb\"></span>(\\d+)", false};
    Regex googleBold{"<span><b>([^<]*)</b></span>", false};
    Regex sogouCurrent{"</a>[ ]*([\\d]+)|([\\d]+)[ ]*<a", false};
    Regex sogouBlock{"<li>.*?</li>", true};
    Regex sogouItem{"<a href=.*onclick=\"phb\\(\\'([^\\']*)[^\"]*\\)\"><!--thumb_beg--><img src=\"([^\\\"]*)", true};
    Regex youdaoBlock{"<tbody>.*?</tbody>", true};
    Regex youdaoItem{"<center>.*<a href=\".*\"logci\\(\\'.*\\',\\'(.*)\\'\\)\">.*src=\"(.*)\" width=", true};
};

const Patterns& ThePatterns() {
    static const Patterns patterns;
    return patterns;
}

unsigned char FoldAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + 32) : byte;
}

// Where `needle` first occurs in `text` at or after `from`, ignoring the case of ASCII letters. The
// markers are searched in whole pages, so this skips ahead as Horspool's search does.
size_t FindNoCase(std::string_view text, std::string_view needle, size_t from = 0) {
    const size_t m = needle.size();
    if (text.size() < m || from > text.size() - m)
        return std::string_view::npos;
    if (m == 0)
        return from;
    size_t skip[256];
    std::fill(std::begin(skip), std::end(skip), m);
    for (size_t i = 0; i + 1 < m; ++i) {
        const unsigned char folded = FoldAscii(needle[i]);
        skip[folded] = m - 1 - i;
        if (folded >= 'a' && folded <= 'z')
            skip[folded - 32] = m - 1 - i;
    }
    for (size_t pos = from; pos <= text.size() - m; pos += skip[static_cast<unsigned char>(text[pos + m - 1])]) {
        size_t i = m;
        while (i > 0 && FoldAscii(text[pos + i - 1]) == FoldAscii(needle[i - 1]))
            --i;
        if (i == 0)
            return pos;
    }
    return std::string_view::npos;
}

// The text after the first `start` marker up to the next `end` marker, or to the end of the text when
// there is none; empty without a start marker. Markers ignore the case of ASCII letters.
std::string_view Between(std::string_view text, std::string_view start, std::string_view end) {
    size_t from = FindNoCase(text, start);
    if (from == std::string_view::npos)
        return {};
    from += start.size();
    const size_t to = FindNoCase(text, end, from);
    return text.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from);
}

// The patterns' "." never crosses a line, so the scrapers take the line breaks out first.
std::string WithoutLineBreaks(std::string_view text) {
    std::string out(text.size(), '\0');
    char* end = out.data();
    for (char c : text) {
        *end = c;
        end += c != '\r' && c != '\n';
    }
    out.resize(static_cast<size_t>(end - out.data()));
    return out;
}

// Removes every occurrence that `find(text, what, from)` reports.
template <typename Find>
void RemoveEvery(std::string& text, std::string_view what, Find find) {
    std::string out;
    size_t copied = 0;
    for (size_t at = find(text, what, 0); at != std::string::npos; at = find(text, what, copied)) {
        out.append(text, copied, at - copied);
        copied = at + what.size();
    }
    if (copied == 0)
        return;
    out.append(text, copied);
    text = std::move(out);
}

void RemoveAll(std::string& text, std::string_view what) {
    RemoveEvery(text, what, [](std::string_view t, std::string_view w, size_t from) { return t.find(w, from); });
}

void RemoveAllNoCase(std::string& text, std::string_view what) {
    RemoveEvery(text, what, [](std::string_view t, std::string_view w, size_t from) { return FindNoCase(t, w, from); });
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (length == 0 || c == 0xC0 || c == 0xC1 || c > 0xF4 || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

// Reads the layouts' JSON the lenient way: anything absent, null or of another type is no value.
std::string JsonText(const Json& value) {
    return value.is_string() ? value.get<std::string>() : std::string();
}

const Json& Member(const Json& object, const char* name) {
    static const Json kNoValue;
    if (!object.is_object())
        return kNoValue;
    auto member = object.find(name);
    return member == object.end() ? kNoValue : *member;
}

bool HasMember(const Json& object, const char* name) {
    return !Member(object, name).is_null();
}

std::string MemberText(const Json& object, const char* name) {
    return JsonText(Member(object, name));
}

int MemberInt(const Json& object, const char* name) {
    const Json& member = Member(object, name);
    if (member.is_number_unsigned())
        return member.get<uint64_t>() <= INT_MAX ? member.get<int>() : 0;
    if (!member.is_number_integer())
        return 0;
    const int64_t value = member.get<int64_t>();
    return value >= INT_MIN && value <= INT_MAX ? static_cast<int>(value) : 0;
}

std::string ElementText(const Json& array, size_t index) {
    return array.is_array() && index < array.size() ? JsonText(array[index]) : std::string();
}

int PageCountOf(int results) {
    return results / static_cast<int>(kResultsPerPage) + (results % static_cast<int>(kResultsPerPage) > 0 ? 1 : 0);
}

// One scrape of one page: the context, the matches and the items collected so far.
class Scraper {
public:
    Scraper(std::string_view page, const TScrapeContext& context)
        : page_(page), context_(context), matcher_(context.regexEngine) {}

    TScrapeResult Baidu();
    TScrapeResult Google();
    TScrapeResult Sogou();
    TScrapeResult Youdao();

private:
    // ANSI text of the page in UTF-8.
    std::string Utf8(std::string_view ansi) const {
        return IsAscii(ansi) ? std::string(ansi) : context_.codePage.ToUtf8(ansi);
    }
    // Text that should be UTF-8; bytes that are not are taken as ANSI.
    std::string Utf8OrAnsi(std::string_view bytes) const {
        return IsUtf8(bytes) ? std::string(bytes) : context_.codePage.ToUtf8(bytes);
    }
    std::optional<Json> ParseJson(std::string_view ansi) const {
        std::string converted;
        std::string_view utf8 = ansi;
        if (!IsAscii(ansi)) {
            converted = context_.codePage.ToUtf8(ansi);
            utf8 = converted;
        }
        Json value = Json::parse(utf8.begin(), utf8.end(), nullptr, /*allow_exceptions=*/false,
                                 /*ignore_comments=*/true);
        if (value.is_discarded())
            return std::nullopt;
        return value;
    }
    bool Full() const { return result_.items.size() >= kResultsPerPage; }
    void Add(const std::string& thumb, const std::string& picture) {
        const bool downloaded =
            context_.pictureCached && context_.pictureCached(PictureCacheName(picture, context_.codePage));
        result_.items.push_back(MakeSearchItem("", thumb, downloaded, picture, context_.codePage));
    }
    // Baidu, Google and Sogou keep a result that has at least one address.
    void Collect(const std::string& thumb, const std::string& picture) {
        if (!thumb.empty() || !picture.empty())
            Add(thumb, picture);
    }
    // A page on which a pattern gave up shows nothing rather than what came before the limit.
    void FillGrid() {
        result_.fillGrid = true;
        if (matcher_.LimitHit())
            result_.items.clear();
    }
    // Baidu and Google: the grid, then the current page.
    TScrapeResult Finish(bool firstPage) {
        FillGrid();
        int curPage = context_.curPage;
        if (result_.items.empty())
            curPage = 0;
        else if (firstPage)
            curPage = 1;
        result_.curPage = curPage;
        if (curPage == 0)
            result_.report = nrPlain;
        return std::move(result_);
    }
    TScrapeResult Report(TNoResultReport report) {
        result_.report = report;
        return std::move(result_);
    }
    std::string MarkCurrent(std::string bar);
    std::string GoogleBar();

    std::string_view page_;
    const TScrapeContext& context_;
    RegexMatcher matcher_;
    TScrapeResult result_;
};

TScrapeResult Scraper::Baidu() {
    const Patterns& p = ThePatterns();
    const bool firstPage = context_.firstPage;
    int pageCount = context_.pageCount;
    const std::string_view script = Between(page_, "<script>var imgdata =", ";BD.IMG.model.ImageIndex.storeData");
    if (!script.empty()) {
        const std::optional<Json> root = ParseJson(script);
        if (!root)
            return Report(nrDumpable);
        if (firstPage) {
            const int results = MemberInt(*root, "listNum");
            if (results <= 0 || !HasMember(*root, "data"))
                return Report(nrPlain);
            result_.pageCount = pageCount = PageCountOf(results);
        }
        result_.pageBar = BuildPageBar(firstPage ? 1 : context_.curPage, pageCount, context_.barTexts);
        if (const Json& data = Member(*root, "data"); data.is_array()) {
            for (const Json& element : data) {
                if (Full())
                    break;
                if (HasMember(element, "thumbURL") && HasMember(element, "objURL"))
                    Collect(MemberText(element, "thumbURL"), MemberText(element, "objURL"));
            }
        }
        return Finish(firstPage);
    }

    const int results = DigitsToInt(Between(page_, "<!--resnum:", "<head>"));
    if (results == 0)
        return Report(nrDumpable);
    if (firstPage)
        result_.pageCount = pageCount = PageCountOf(results);
    result_.pageBar = BuildPageBar(firstPage ? 1 : context_.curPage, pageCount, context_.barTexts);
    const std::string body = WithoutLineBreaks(Between(page_, "<div id=\"imgid\">", "<div id=\"lastPage\">"));
    for (size_t offset = 0; !Full() && matcher_.Find(p.baiduBlock, body, offset);) {
        offset = matcher_.MatchEnd();
        const std::string_view block = matcher_.Group(0);
        matcher_.Find(p.baiduItem, block);
        Collect(Utf8(matcher_.Group(1)), Utf8(matcher_.Group(2)));
    }
    return Finish(firstPage);
}

std::string Scraper::GoogleBar() {
    const Patterns& p = ThePatterns();
    std::string nav(Between(Between(page_, "<div id=navcnt>", "</div>"), "<tr valign=top>", "</table>"));
    auto replaced = [&](const Regex& regex, std::string_view replacement) {
        return matcher_.ReplaceAll(regex, nav, replacement).value_or(std::string());
    };
    if (std::string t = replaced(p.googleNavNoise, ""); !t.empty()) {
        nav = std::move(t);
        if (t = replaced(p.googleCurrent, "<span class=\"current-page\">\\1</span>"); !t.empty()) {
            nav = std::move(t);
            if (t = replaced(p.googleBold, "\\1"); !t.empty())
                nav = std::move(t);
        }
        nav = "<div class=\"pagination\">" + nav + "</div>";
    }
    RemoveAllNoCase(nav, "<span class=\"csb\"></span>");
    return Utf8(nav);
}

TScrapeResult Scraper::Google() {
    const std::string_view script = Between(page_, ";dyn.setResults(", ");</script></div><div id=ncm></div>");
    if (script.empty())
        return Report(nrDumpable);
    const std::optional<Json> results = ParseJson(script);
    if (!results)
        return Report(nrDumpable);
    result_.pageBar = GoogleBar();
    if (results->is_array()) {
        for (const Json& element : *results) {
            if (Full())
                break;
            Collect(ElementText(element, 14) + "?q=tbn:" + ElementText(element, 2), ElementText(element, 3));
        }
    }
    return Finish(context_.firstPage);
}

// Sogou shows the current page as a bare number beside the links of the others; it becomes the
// bar's current-page box.
std::string Scraper::MarkCurrent(std::string bar) {
    if (!matcher_.Find(ThePatterns().sogouCurrent, bar))
        return bar;
    const std::string_view number = matcher_.Group(1).empty() ? matcher_.Group(2) : matcher_.Group(1);
    const size_t at = static_cast<size_t>(number.data() - bar.data());
    return bar.substr(0, at) + "<span class=\"current-page\">" + std::string(number) + "</span>" +
           bar.substr(at + number.size());
}

TScrapeResult Scraper::Sogou() {
    const Patterns& p = ThePatterns();
    std::string bar(Between(page_, "<p class=\"pagebar\">", "</p></div>"));
    std::string_view list;
    if (!bar.empty()) {
        list = Between(page_, "<div id=\"content1\"><ul class=\"piclist2\">", "<p class=\"pagebar\">");
    } else {
        bar = Between(page_, "<div class=\"p\">", "</div>");
        for (std::string_view noise : {"&nbsp;", "<strong>", "</strong>", "\r\n", "\t"})
            RemoveAll(bar, noise);
        list = Between(page_, "<ul id=\"plist\" class=\"vlcol5\">", "<div id=\"hint\">");
    }
    bar = MarkCurrent(std::move(bar));
    RemoveAll(bar, "[");
    RemoveAll(bar, "]");
    result_.pageBar = Utf8("<div class=\"pagination\">" + bar + "</div>");

    const std::string items = WithoutLineBreaks(list);
    for (size_t offset = 0; !Full() && matcher_.Find(p.sogouBlock, items, offset);) {
        offset = matcher_.MatchEnd();
        const std::string_view block = matcher_.Group(0);
        matcher_.Find(p.sogouItem, block);
        Collect(Utf8(matcher_.Group(2)), Utf8(matcher_.Group(1)));
    }
    FillGrid();
    if (result_.items.empty())
        result_.report = nrDumpable;
    return std::move(result_);
}

TScrapeResult Scraper::Youdao() {
    const Patterns& p = ThePatterns();
    result_.pageBar = Utf8OrAnsi("<div class=\"pagination\">" +
                                 std::string(Between(page_, "<div id=\"pagination\">", "</div>")) + "</div>");
    const std::string list = WithoutLineBreaks(
        Between(page_, "<div id=\"resultLists\">", "<div id=\"hiddenSummary23\" style=\"display:none;\">"));
    size_t offset = 0;
    for (size_t block = 0; block < kResultsPerPage && matcher_.Find(p.youdaoBlock, list, offset); ++block) {
        offset = matcher_.MatchEnd();
        matcher_.Find(p.youdaoItem, matcher_.Group(0));
        const std::string thumb = Utf8OrAnsi(matcher_.Group(2));
        std::string picture;
        try {
            picture = Utf8OrAnsi(UrlDecode(matcher_.Group(1)));
        } catch (const UrlDecodeError& e) {
            // The grid keeps its rows; the bar already belongs to this page.
            result_.items.clear();
            result_.error = e.what();
            return std::move(result_);
        }
        // Every block takes a cell, an empty one when it held no result.
        Add(thumb, picture);
    }
    FillGrid();
    if (result_.items.empty())
        result_.report = nrDumpable;
    return std::move(result_);
}
}  // namespace

TScrapeResult Scrape(int engine, std::string_view page, const TScrapeContext& context) {
    Scraper scraper(page, context);
    switch (engine) {
        case seBaidu:
            return scraper.Baidu();
        case seYoudao:
            return scraper.Youdao();
        case seSogou:
            return scraper.Sogou();
        case seGoogle:
            return scraper.Google();
        default:
            return {};
    }
}

std::string_view DumpName(int engine) {
    switch (engine) {
        case seBaidu:
            return "BaiduResult";
        case seYoudao:
            return "YouDaoResult";
        case seSogou:
            return "GooleResult";
        case seGoogle:
            return "GoogleResult";
        default:
            return {};
    }
}

int DigitsToInt(std::string_view text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            continue;
        if (value > (INT_MAX - (c - '0')) / 10)
            return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace lumaforge
