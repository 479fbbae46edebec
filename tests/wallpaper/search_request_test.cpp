#include "wallpaper/search_request.h"

#include <gtest/gtest.h>

#include "base/code_page_posix.h"

namespace lumaforge {
namespace {

const TEngineRoots kRoots{"http://baidu.example/", "http://youdao.example/", "http://sogou.example/",
                          "http://google.hk.example/", "http://google.example/"};

TSizePreset Preset(int engine, int width, int height) {
    auto presets = MakeSizePresets("Desktop size", 1366, 768);
    AssignSizeCodes(engine, presets);
    for (const TSizePreset& preset : presets) {
        if (preset.Width == width && preset.Height == height)
            return preset;
    }
    ADD_FAILURE() << width << "x" << height << " is no preset";
    return {};
}

TEST(AssignSizeCodes, OnlyBaiduAndSogouFilterByTheirOwnSizes) {
    struct {
        int width, height, baidu, sogou;
    } cases[] = {
        {800, 600, 4, 1},  {1024, 768, 5, 2},  {1280, 800, 0, 5},  {1280, 960, 6, 3}, {1280, 1024, 7, 0},
        {1440, 900, 0, 6}, {1600, 1200, 8, 4}, {1920, 1080, 0, 0}, {640, 480, 0, 0},
    };
    for (const auto& c : cases) {
        auto presets = MakeSizePresets("Desktop size", 1024, 768);
        for (int engine : {seBaidu, seSogou, seYoudao, seGoogle}) {
            AssignSizeCodes(engine, presets);
            const int expected = engine == seBaidu ? c.baidu : engine == seSogou ? c.sogou : 0;
            for (int i = 1; i < kSizePresetCount; ++i) {
                if (presets[i].Width == c.width && presets[i].Height == c.height) {
                    EXPECT_EQ(presets[i].EngineCode, expected) << c.width << "x" << c.height << " engine " << engine;
                }
            }
            // The desktop has no code, even when the screen has a size an engine knows.
            EXPECT_EQ(presets[0].EngineCode, 0);
        }
    }
}

TEST(RequestUrl, EveryEngineWithTheDesktopSizeAndWithASizeCode) {
    IconvCodePage gbk("CP936");
    auto presets = MakeSizePresets("Desktop size", 1366, 768);
    struct {
        int engine;
        int width, height;  // 0: the desktop entry
        const char* url;
    } cases[] = {
        {seBaidu, 1024, 768,
         "http://baidu.example/"
         "i?tn=baiduimage&ct=201326592&cl=2&lm=-1&fr=&pv=&ic=0&se=1&s=1&sme=0&word=Landscape&z=5&rn=15"},
        {seBaidu, 1600, 1200,
         "http://baidu.example/"
         "i?tn=baiduimage&ct=201326592&cl=2&lm=-1&fr=&pv=&ic=0&se=1&s=1&sme=0&word=Landscape&z=8&rn=15"},
        {seBaidu, 0, 0,
         "http://baidu.example/"
         "i?tn=baiduimage&ct=201326592&cl=2&lm=-1&fr=&pv=&ic=0&z=0&se=1&s=0&sme=0&rn=15&word=Landscape+1366x768"},
        {seBaidu, 1920, 1080,
         "http://baidu.example/"
         "i?tn=baiduimage&ct=201326592&cl=2&lm=-1&fr=&pv=&ic=0&z=0&se=1&s=0&sme=0&rn=15&word=Landscape+1920x1080"},
        {seYoudao, 0, 0, "http://youdao.example/search?q=Landscape+1366x768"},
        {seYoudao, 1024, 768, "http://youdao.example/search?q=Landscape+1024x768"},
        {seSogou, 0, 0,
         "http://sogou.example/pics?query=Landscape&mode=5&dheight=768&dwidth=1366&page=1&mood=0&dm=4&di=0"},
        {seSogou, 1920, 1080,
         "http://sogou.example/pics?query=Landscape&mode=5&dheight=1080&dwidth=1920&page=1&mood=0&dm=4&di=0"},
        {seSogou, 1440, 900,
         "http://sogou.example/pics?query=Landscape&mode=5&dheight=900&dwidth=1440&page=1&mood=0&dm=4&di=6"},
        {seGoogle, 0, 0,
         "http://google.hk.example/images?as_q=Landscape&um=1&hl=zh-CN&newwindow=1&btnG=Google+%E6%90%9C%E7%B4%A2"
         "&as_epq=&as_oq=&as_eq=&imgtype=&imgsz=&imgw=1366&imgh=768&imgar=&as_filetype=&imgc=&as_sitesearch="
         "&as_rights=&as_st=y"},
    };
    for (const auto& c : cases) {
        AssignSizeCodes(c.engine, presets);
        const TSizePreset preset = c.width == 0 ? presets[0] : Preset(c.engine, c.width, c.height);
        EXPECT_EQ(RequestUrl(c.engine, "Landscape", preset, kRoots, gbk), c.url);
    }
}

TEST(RequestUrl, TheKeywordTravelsAsPercentEncodedAnsiForEveryEngine) {
    IconvCodePage gbk("CP936");
    const std::string expected[] = {"word=%B7%E7%BE%B0&z=5", "q=%B7%E7%BE%B0+1024x768", "query=%B7%E7%BE%B0&mode",
                                    "as_q=%B7%E7%BE%B0&um"};
    for (int engine : {seBaidu, seYoudao, seSogou, seGoogle}) {
        const std::string url = RequestUrl(engine, "风景", Preset(engine, 1024, 768), kRoots, gbk);
        EXPECT_NE(url.find(expected[engine]), std::string::npos) << url;
        EXPECT_EQ(url.find("%E9%A3%8E"), std::string::npos) << "UTF-8 escapes in " << url;
    }
    EXPECT_NE(RequestUrl(seYoudao, "blue sky-1", Preset(seYoudao, 800, 600), kRoots, gbk).find("q=blue%20sky%2D1+"),
              std::string::npos);
}

TEST(TrimKeyword, DropsBlanksAndControlCharactersAround) {
    EXPECT_EQ(TrimKeyword("  风景 山\t\r\n"), "风景 山");
    EXPECT_EQ(TrimKeyword("\x01sky\x1f"), "sky");
    EXPECT_EQ(TrimKeyword(" \t "), "");
}

TEST(RequestUrl, RefererAndBaiduPages) {
    EXPECT_EQ(EngineReferer(seGoogle, kRoots), "http://google.example/");
    EXPECT_EQ(EngineReferer(seSogou, kRoots), "http://sogou.example/");
    EXPECT_EQ(BaiduPageUrl("http://b/i?word=x", 5), "http://b/i?word=x&pn=60");
    EXPECT_EQ(BaiduPageUrl("http://b/i?word=x", 1), "http://b/i?word=x&pn=0");
}

}  // namespace
}  // namespace lumaforge
