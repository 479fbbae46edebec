#include "wallpaper/search_item.h"

#include <gtest/gtest.h>

#include <set>

#include "base/code_page_posix.h"
#include "base/md5.h"

namespace lumaforge {
namespace {

TEST(SearchItem, TextsAreCutToTheRecordsSizeBetweenCharacters) {
    IconvCodePage gbk("CP936");
    const std::string a253(253, 'a');
    struct {
        std::string text;
        std::string stored;
    } cases[] = {
        {std::string(255, 'x'), std::string(255, 'x')},
        {std::string(300, 'x'), std::string(255, 'x')},
        {a253 + "中", a253 + "中"},  // 253 + 2 bytes in code page 936
        {a253 + "a中", a253 + "a"},  // 254 + 2 would not fit
        {a253 + "ab中", a253 + "ab"},
    };
    for (const auto& c : cases) {
        const TSearchItem item = MakeSearchItem(c.text, c.text, true, c.text, gbk);
        EXPECT_EQ(item.Title, c.stored);
        EXPECT_EQ(item.ThumbUrl, c.stored);
        EXPECT_EQ(item.PictureUrl, c.stored);
        EXPECT_TRUE(item.Downloaded);
    }
}

TEST(SearchItem, CacheNameIsTheDigestOfTheAnsiBytes) {
    IconvCodePage gbk("CP936");
    struct {
        const char* url;
        const char* name;
    } cases[] = {
        {"http://pic.example/5.jpg", "d4e92e84549ad5c81d60e6c9b53acf2a.bmp"},
        // The GBK bytes B7 E7 BE B0, not the UTF-8 ones.
        {"http://pic.example/风景/1.jpg", "613b30a46a48597504660e47e689ec4c.bmp"},
        {"", "d41d8cd98f00b204e9800998ecf8427e.bmp"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureCacheName(c.url, gbk), c.name) << c.url;
}

TEST(SearchItem, ADecodedAddressThatIsNoUtf8IsHashedAsItsBytesAre) {
    IconvCodePage gbk("CP936");
    // 草原, 夜景 and 海边 as GBK escapes decode to bytes that are no UTF-8.
    const std::string addresses[] = {"http://p/\xB2\xDD\xD4\xAD.jpg", "http://p/\xD2\xB9\xBE\xB0.jpg",
                                     "http://p/\xBA\xA3\xB1\xDF.jpg"};
    std::set<std::string> names;
    for (const std::string& address : addresses) {
        EXPECT_EQ(PictureCacheName(address, gbk), Md5Hex(address) + ".bmp") << address;
        names.insert(PictureCacheName(address, gbk));
    }
    EXPECT_EQ(names.size(), 3u);
}

}  // namespace
}  // namespace lumaforge
