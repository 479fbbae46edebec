#include "wallpaper/search_item.h"

#include "base/md5.h"
#include "base/text.h"

namespace lumaforge {
namespace {
std::string Cut(std::string_view text, const AnsiCodePage& codePage) {
    if (text.size() > kSearchItemTextBytes && IsAscii(text.substr(0, kSearchItemTextBytes)))
        return std::string(text.substr(0, kSearchItemTextBytes));
    return std::string(AnsiPrefix(text, kSearchItemTextBytes, codePage));
}

// The bytes an ANSI program would hold for the text; a character the code page lacks is "?".
std::string AnsiBytes(std::string_view utf8, const AnsiCodePage& codePage) {
    if (IsAscii(utf8))
        return std::string(utf8);
    const std::u16string wide = Utf8ToUtf16(utf8);
    std::string out;
    for (size_t i = 0; i < wide.size(); ++i) {
        const bool pair = wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
                          wide[i + 1] < 0xE000;
        const std::string bytes = pair ? std::string() : codePage.EncodeChar(wide[i]);
        if (pair)
            ++i;
        out += bytes.empty() ? "?" : bytes;
    }
    return out;
}
}  // namespace

TSearchItem MakeSearchItem(std::string_view title, std::string_view thumbUrl, bool downloaded,
                           std::string_view pictureUrl, const AnsiCodePage& codePage) {
    return {Cut(title, codePage), Cut(thumbUrl, codePage), Cut(pictureUrl, codePage), downloaded};
}

std::string PictureCacheName(std::string_view pictureUrl, const AnsiCodePage& codePage) {
    // An address whose escapes gave bytes that are no UTF-8 (GBK, as Chinese sites write them) holds
    // the bytes the server names the picture by; they are hashed as they are, so two pictures never
    // share a name through a lossy conversion.
    return Md5Hex(IsValidUtf8(pictureUrl) ? AnsiBytes(pictureUrl, codePage) : std::string(pictureUrl)) + ".bmp";
}

}  // namespace lumaforge
