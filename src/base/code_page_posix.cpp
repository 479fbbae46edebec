#include "base/code_page_posix.h"

#include <iconv.h>

#include <cstring>

namespace lumaforge {
namespace {
// With `replace`, a byte that starts no character of `from` becomes U+FFFD and the rest is still
// converted, as Windows converts; without, the conversion stops there and `ok` is false.
std::string Convert(const std::string& to, const std::string& from, std::string_view input, bool replace, bool& ok) {
    ok = false;
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string out(input.size() * 4 + 8, '\0');
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    ok = true;
    while (inLeft > 0 && iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
        ok = false;
        if (!replace || outLeft < 3)
            break;
        // The replacement takes three bytes, no more than the four the byte had room for.
        std::memcpy(outPtr, "\xEF\xBF\xBD", 3);
        outPtr += 3;
        outLeft -= 3;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    ok = ok && inLeft == 0;
    out.resize(out.size() - outLeft);
    return out;
}
}  // namespace

std::string IconvCodePage::EncodeChar(char16_t c) const {
    std::string utf8 = Utf16ToUtf8(std::u16string_view(&c, 1));
    bool ok = false;
    std::string bytes = Convert(name_, "UTF-8", utf8, /*replace=*/false, ok);
    return ok ? bytes : std::string();
}

std::string IconvCodePage::ToUtf8(std::string_view bytes) const {
    bool ok = false;
    return Convert("UTF-8", name_, bytes, /*replace=*/true, ok);
}

}  // namespace lumaforge
