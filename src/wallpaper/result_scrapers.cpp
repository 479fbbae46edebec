#include "wallpaper/result_scrapers.h"

#include <algorithm>
#include <climits>

#include <nlohmann/json.hpp>

#include "base/text.h"
#include "net/url.h"

namespace lumaforge {
namespace {
using Json = nlohmann::json;

// White space and the comments nlohmann skips.
std::string JsonWs() {
    return R"((?:[ \t\n\r]++|/\*(?:[^*]++|\*++(?!/))*+\*++/|//[^\n\r]*+)*+)";
}

// Any JSON value as (?&v): a string, an object or array with balanced brackets around closed strings,
// or a number or literal.
std::string JsonValueDefinition() {
    const std::string string = R"("(?:[^"\\]++|\\.)*+")";
    const std::string entries = R"((?:[^"{}\[\]]*+(?:)" + string + R"(|(?&v)))*+[^"{}\[\]]*+)";
    return R"((?(DEFINE)(?<v>)" + string + R"(|\{)" + entries + R"(\}|\[)" + entries + R"(\]|[-+.0-9A-Za-z]++)))";
}

// A step of the JSON walk: `pattern` after white space, right where the walk stands.
std::string JsonStep(const std::string& pattern) {
    return R"(\G)" + JsonWs() + pattern + JsonValueDefinition();
}

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
    // The JSON of the script layouts, walked value by value (JsonWalk). Only white space, comments,
    // closed strings and balanced brackets are checked here; nlohmann reads every value used.
    Regex jsonOpenObject{JsonStep(R"(\{)" + JsonWs() + R"((\})?)"), false};
    Regex jsonOpenArray{JsonStep(R"(\[)" + JsonWs() + R"((\])?)"), false};
    Regex jsonKey{JsonStep(R"(("(?:[^"\\]++|\\.)*+"))" + JsonWs() + ":"), false};
    Regex jsonObjectValue{JsonStep("((?&v))" + JsonWs() + "([,}])"), false};
    Regex jsonArrayValue{JsonStep("((?&v))" + JsonWs() + R"(([,\]]))"), false};
    Regex jsonObjectSeparator{JsonStep("([,}])"), false};
    Regex jsonArraySeparator{JsonStep(R"(([,\]]))"), false};
    Regex jsonRestOfArray{R"(\G(?:)" + JsonWs() + "(?&v)" + JsonWs() + ",)*+" + JsonWs() + "(?&v)" + JsonWs() +
                              R"(\])" + JsonValueDefinition(),
                          false};
    Regex jsonWhole{JsonStep("(?&v)" + JsonWs() + R"(\z)"), false};
    Regex jsonTrailing{R"(\G)" + JsonWs() + R"(\z)", false};
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

// The value of a JSON member as the layouts read it, the lenient way: absent, null and values of
// another type are no value.
struct TJsonValue {
    bool present = false;  // there and not null
    std::string text;      // a string's text
    std::optional<int64_t> integer;
};

int IntOf(const TJsonValue& value) {
    return value.integer && *value.integer >= INT_MIN && *value.integer <= INT_MAX ? static_cast<int>(*value.integer)
                                                                                   : 0;
}

// Walks the JSON of a script layout one value at a time with PCRE2, so that nlohmann parses only the
// keys and values the scraper uses instead of the whole megabyte the page may hold. Anything that
// does not have the shape of JSON breaks the walk, as a document nlohmann refuses would.
class JsonWalk {
public:
    // `json` is the page's bytes, in the code page or in UTF-8 (`ansi` false).
    JsonWalk(RegexMatcher& matcher, std::string_view json, bool ansi, const AnsiCodePage& codePage)
        : matcher_(matcher), json_(json), ansi_(ansi), codePage_(codePage) {}

    bool Broken() const { return broken_; }

    // When the next value is an object (array) it is entered: true, with `empty` telling whether it
    // closes at once. Otherwise false and the walk stays where it was.
    bool Enter(const Regex& open, bool& empty) {
        if (broken_ || !matcher_.Find(open, json_, pos_))
            return false;
        empty = !matcher_.Group(1).empty();
        pos_ = matcher_.MatchEnd();
        return true;
    }
    // The key of the next member of the object entered; the value comes next.
    std::string Key() {
        if (!Step(ThePatterns().jsonKey))
            return {};
        const std::string_view key = matcher_.Group(1);
        if (key.find('\\') == std::string_view::npos)
            return std::string(key.substr(1, key.size() - 2));
        return Read(key).text;
    }
    // Skips the next value; `more` tells whether its object (array) has another entry after it.
    void Skip(bool inObject, bool& more) { Value(inObject, more, false); }
    // Reads the next value; objects and arrays count only as present.
    TJsonValue Value(bool inObject, bool& more, bool read = true) {
        more = false;
        if (!Step(inObject ? ThePatterns().jsonObjectValue : ThePatterns().jsonArrayValue))
            return {};
        more = matcher_.Group(2) == ",";
        const std::string_view value = matcher_.Group(1);
        if (!read)
            return {};
        if (value.front() == '{' || value.front() == '[')
            return {true, {}, {}};
        return Read(value);
    }
    // After an entered value's last entry: whether its own object (array) has another entry.
    bool Separator(bool inObject) {
        return Step(inObject ? ThePatterns().jsonObjectSeparator : ThePatterns().jsonArraySeparator) &&
               matcher_.Group(1) == ",";
    }
    // Skips the entries of the array entered that follow a comma, and its end.
    void SkipRestOfArray() { Step(ThePatterns().jsonRestOfArray); }
    // The walk has passed the whole value: only white space and comments may follow.
    void End() {
        if (pos_ < json_.size())
            Step(ThePatterns().jsonTrailing);
    }
    // The next value is a whole JSON document of a shape the layout does not read.
    void SkipWhole() { Step(ThePatterns().jsonWhole); }

private:
    bool Step(const Regex& regex) {
        if (broken_ || !matcher_.Find(regex, json_, pos_)) {
            broken_ = true;
            return false;
        }
        pos_ = matcher_.MatchEnd();
        return true;
    }
    // A string, number or literal, as nlohmann reads it.
    TJsonValue Read(std::string_view raw) {
        std::string converted;
        if (ansi_ && !IsAscii(raw)) {
            converted = codePage_.ToUtf8(raw);
            raw = converted;
        }
        const Json value = Json::parse(raw.begin(), raw.end(), nullptr, /*allow_exceptions=*/false);
        if (value.is_discarded()) {
            broken_ = true;
            return {};
        }
        TJsonValue out{!value.is_null(), {}, {}};
        if (value.is_string())
            out.text = value.get<std::string>();
        else if (value.is_number_unsigned())
            out.integer =
                value.get<uint64_t>() <= INT64_MAX ? std::optional<int64_t>(value.get<int64_t>()) : std::nullopt;
        else if (value.is_number_integer())
            out.integer = value.get<int64_t>();
        return out;
    }

    RegexMatcher& matcher_;
    std::string_view json_;
    bool ansi_;
    const AnsiCodePage& codePage_;
    size_t pos_ = 0;
    bool broken_ = false;
};

int PageCountOf(int results) {
    return results / static_cast<int>(kResultsPerPage) + (results % static_cast<int>(kResultsPerPage) > 0 ? 1 : 0);
}

// What the scrapers read of Baidu's imgdata.
struct TBaiduJson {
    int listNum = 0;
    bool hasData = false;
    std::vector<std::pair<std::string, std::string>> results;  // thumbnail and picture of the elements that have both
};

// Elements 14, 2 and 3 of one of Google's results.
struct TGoogleResult {
    std::string server;
    std::string id;
    std::string picture;
};

// One scrape of one page: the context, the matches and the items collected so far.
class Scraper {
public:
    Scraper(std::string_view page, const TScrapeContext& context)
        : page_(page), context_(context), matcher_(context.regexEngine, page.size()) {}

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
        return IsValidUtf8(bytes) ? std::string(bytes) : context_.codePage.ToUtf8(bytes);
    }
    // The walk over the JSON of a script layout: on the page's own bytes, unless a byte of a
    // double-byte character could pass there for a backslash; then on their UTF-8 form.
    JsonWalk Walk(std::string_view json, std::string& converted) {
        bool ansi = !IsAscii(json);
        for (size_t at = json.find('\\'); ansi && at != std::string_view::npos; at = json.find('\\', at + 1)) {
            if (at > 0 && static_cast<unsigned char>(json[at - 1]) >= 0x80) {
                converted = context_.codePage.ToUtf8(json);
                json = converted;
                ansi = false;
            }
        }
        return JsonWalk(matcher_, json, ansi, context_.codePage);
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
    std::optional<TBaiduJson> ReadBaiduJson(JsonWalk& walk) const;
    std::optional<std::vector<TGoogleResult>> ReadGoogleJson(JsonWalk& walk) const;
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
        std::string converted;
        JsonWalk walk = Walk(script, converted);
        const std::optional<TBaiduJson> json = ReadBaiduJson(walk);
        if (!json)
            return Report(nrDumpable);
        if (firstPage) {
            if (json->listNum <= 0 || !json->hasData)
                return Report(nrPlain);
            result_.pageCount = pageCount = PageCountOf(json->listNum);
        }
        result_.pageBar = BuildPageBar(firstPage ? 1 : context_.curPage, pageCount, context_.barTexts);
        for (const auto& [thumb, picture] : json->results) {
            if (Full())
                break;
            Collect(thumb, picture);
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

// Members of the same name: the last one counts, as in the document nlohmann would build.
std::optional<TBaiduJson> Scraper::ReadBaiduJson(JsonWalk& walk) const {
    const Patterns& p = ThePatterns();
    TBaiduJson out;
    bool empty = false;
    if (!walk.Enter(p.jsonOpenObject, empty)) {
        walk.SkipWhole();
        return walk.Broken() ? std::nullopt : std::optional(out);
    }
    for (bool more = !empty; more && !walk.Broken();) {
        const std::string key = walk.Key();
        if (key == "listNum") {
            out.listNum = IntOf(walk.Value(true, more));
            continue;
        }
        if (key != "data") {
            walk.Skip(true, more);
            continue;
        }
        out.results.clear();
        bool noElements = false;
        if (!walk.Enter(p.jsonOpenArray, noElements)) {
            out.hasData = walk.Value(true, more).present;
            continue;
        }
        out.hasData = true;
        // Past the fifteenth result that Collect keeps, the elements are only skipped.
        size_t kept = 0;
        for (bool elements = !noElements; elements && !walk.Broken();) {
            if (kept == kResultsPerPage) {
                walk.SkipRestOfArray();
                break;
            }
            bool noMembers = false;
            if (!walk.Enter(p.jsonOpenObject, noMembers)) {
                walk.Skip(false, elements);
                continue;
            }
            TJsonValue thumb, picture;
            for (bool members = !noMembers; members && !walk.Broken();) {
                const std::string name = walk.Key();
                if (name == "thumbURL")
                    thumb = walk.Value(true, members);
                else if (name == "objURL")
                    picture = walk.Value(true, members);
                else
                    walk.Skip(true, members);
            }
            elements = walk.Separator(false);
            if (thumb.present && picture.present) {
                kept += !thumb.text.empty() || !picture.text.empty();
                out.results.emplace_back(std::move(thumb.text), std::move(picture.text));
            }
        }
        more = walk.Separator(true);
    }
    walk.End();
    return walk.Broken() ? std::nullopt : std::optional(std::move(out));
}

// Elements that are not arrays, or short ones, give empty texts and still count.
std::optional<std::vector<TGoogleResult>> Scraper::ReadGoogleJson(JsonWalk& walk) const {
    const Patterns& p = ThePatterns();
    std::vector<TGoogleResult> out;
    bool empty = false;
    if (!walk.Enter(p.jsonOpenArray, empty)) {
        walk.SkipWhole();
        return walk.Broken() ? std::nullopt : std::optional(out);
    }
    for (bool more = !empty; more && !walk.Broken();) {
        if (out.size() == kResultsPerPage) {
            walk.SkipRestOfArray();
            break;
        }
        TGoogleResult& result = out.emplace_back();
        bool noEntries = false;
        if (!walk.Enter(p.jsonOpenArray, noEntries)) {
            walk.Skip(false, more);
            continue;
        }
        bool entries = !noEntries;
        for (size_t index = 0; entries && !walk.Broken(); ++index) {
            if (index == 15) {
                walk.SkipRestOfArray();
                break;
            }
            if (index == 2)
                result.id = walk.Value(false, entries).text;
            else if (index == 3)
                result.picture = walk.Value(false, entries).text;
            else if (index == 14)
                result.server = walk.Value(false, entries).text;
            else
                walk.Skip(false, entries);
        }
        more = walk.Separator(false);
    }
    walk.End();
    return walk.Broken() ? std::nullopt : std::optional(std::move(out));
}

TScrapeResult Scraper::Google() {
    const std::string_view script = Between(page_, ";dyn.setResults(", ");</script></div><div id=ncm></div>");
    if (script.empty())
        return Report(nrDumpable);
    std::string converted;
    JsonWalk walk = Walk(script, converted);
    const std::optional<std::vector<TGoogleResult>> results = ReadGoogleJson(walk);
    if (!results)
        return Report(nrDumpable);
    result_.pageBar = GoogleBar();
    for (const TGoogleResult& r : *results) {
        if (Full())
            break;
        Collect(r.server + "?q=tbn:" + r.id, r.picture);
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
