#include "wallpaper/search_request.h"

#include "net/url.h"

namespace lumaforge {
namespace {
std::string EncodedKeyword(std::string_view keyword, const AnsiCodePage& codePage) {
    return UrlEncode(Utf8ToUtf16(keyword), /*utf8=*/false, codePage);
}

std::string Size(const TSizePreset& preset) {
    return std::to_string(preset.Width) + "x" + std::to_string(preset.Height);
}
}  // namespace

std::string_view TrimKeyword(std::string_view typed) {
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!typed.empty() && isBlank(typed.front()))
        typed.remove_prefix(1);
    while (!typed.empty() && isBlank(typed.back()))
        typed.remove_suffix(1);
    return typed;
}

std::string RequestUrl(int engine, std::string_view keyword, const TSizePreset& preset, const TEngineRoots& roots,
                       const AnsiCodePage& codePage) {
    const std::string k = EncodedKeyword(keyword, codePage);
    const std::string w = std::to_string(preset.Width), h = std::to_string(preset.Height);
    switch (engine) {
        case seBaidu:
            if (preset.EngineCode > 0) {
                return roots.baidu + "i?tn=baiduimage&ct=201326592&cl=2&lm=-1&fr=&pv=&ic=0&se=1&s=1&sme=0&word=" + k +
                       "&z=" + std::to_string(preset.EngineCode) + "&rn=15";
            }
            return roots.baidu +
                   "i?tn=baiduimage&ct=201326592&cl=2&lm=-1&fr=&pv=&ic=0&z=0&se=1&s=0&sme=0&rn=15&word=" + k + "+" +
                   Size(preset);
        case seYoudao:
            return roots.youdao + "search?q=" + k + "+" + Size(preset);
        case seSogou:
            return roots.sogou + "pics?query=" + k + "&mode=5&dheight=" + h + "&dwidth=" + w +
                   "&page=1&mood=0&dm=4&di=" + std::to_string(preset.EngineCode);
        case seGoogle:
            // btnG carries the word Google and the UTF-8 escapes of the Chinese word for "search".
            return roots.google + "images?as_q=" + k +
                   "&um=1&hl=zh-CN&newwindow=1&btnG=Google+%E6%90%9C%E7%B4%A2&as_epq=&as_oq=&as_eq=&imgtype=&imgsz="
                   "&imgw=" +
                   w + "&imgh=" + h + "&imgar=&as_filetype=&imgc=&as_sitesearch=&as_rights=&as_st=y";
        default:
            return {};
    }
}

std::string_view EngineReferer(int engine, const TEngineRoots& roots) {
    switch (engine) {
        case seBaidu:
            return roots.baidu;
        case seYoudao:
            return roots.youdao;
        case seSogou:
            return roots.sogou;
        case seGoogle:
            return roots.googleMain;
        default:
            return {};
    }
}

std::string BaiduPageUrl(std::string_view firstPageUrl, int page) {
    return std::string(firstPageUrl) + "&pn=" + std::to_string((static_cast<long long>(page) - 1) * 15);
}

}  // namespace lumaforge
