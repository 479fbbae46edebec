#include "base/code_page_posix.h"

#include <iconv.h>

#include <cstring>

namespace lumaforge {
struct IconvCodePage::Converter {
    iconv_t cd;
    Converter(const std::string& to, const std::string& from) : cd(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd);
    }
};

IconvCodePage::IconvCodePage(std::string name) : name_(std::move(name)) {}

IconvCodePage::~IconvCodePage() = default;

std::string IconvCodePage::Convert(bool toUtf8, std::string_view input, bool replace, bool& ok) const {
    ok = false;
    const std::lock_guard lock(mutex_);
    std::unique_ptr<Converter>& converter = toUtf8 ? toUtf8_ : fromUtf8_;
    if (!converter)
        converter = toUtf8 ? std::make_unique<Converter>("UTF-8", name_) : std::make_unique<Converter>(name_, "UTF-8");
    const iconv_t cd = converter->cd;
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
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
    ok = ok && inLeft == 0;
    out.resize(out.size() - outLeft);
    return out;
}

std::string IconvCodePage::EncodeChar(char16_t c) const {
    std::string utf8 = Utf16ToUtf8(std::u16string_view(&c, 1));
    bool ok = false;
    std::string bytes = Convert(/*toUtf8=*/false, utf8, /*replace=*/false, ok);
    return ok ? bytes : std::string();
}

std::string IconvCodePage::ToUtf8(std::string_view bytes) const {
    bool ok = false;
    return Convert(/*toUtf8=*/true, bytes, /*replace=*/true, ok);
}

}  // namespace lumaforge
