#pragma once
#include <string>
#include <string_view>

#include "base/code_page.h"

namespace lumaforge {

// One result of a search: a cell of the thumbnail grid. Texts are UTF-8 and hold at most
// kSearchItemTextBytes bytes in their ANSI form.
struct TSearchItem {
    std::string Title;
    std::string ThumbUrl;
    std::string PictureUrl;
    bool Downloaded = false;

    bool operator==(const TSearchItem&) const = default;
};

inline constexpr size_t kSearchItemTextBytes = 255;

// An item with each text cut to what the record holds, between characters.
TSearchItem MakeSearchItem(std::string_view title, std::string_view thumbUrl, bool downloaded,
                           std::string_view pictureUrl, const AnsiCodePage& codePage);

// The file name a full-size picture is cached under, in the favorites and the temporary folder: the
// MD5 digest of the address's bytes in the ANSI code page, in lower-case hex, and ".bmp". A decoded
// address that is no UTF-8 is hashed as its bytes are.
std::string PictureCacheName(std::string_view pictureUrl, const AnsiCodePage& codePage);

}  // namespace lumaforge
