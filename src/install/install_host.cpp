#include "install/install_host.h"

namespace lumaforge {
namespace {

// Texts taken as they are, where no code page was given.
class Utf8Text : public AnsiCodePage {
public:
    std::string EncodeChar(char16_t c) const override { return Utf16ToUtf8(std::u16string(1, c)); }
    std::string ToUtf8(std::string_view bytes) const override { return std::string(bytes); }
};

}  // namespace

const AnsiCodePage& CodePageOf(const InstallHost& host) {
    static const Utf8Text utf8;
    return host.codePage ? *host.codePage : utf8;
}

}  // namespace lumaforge
