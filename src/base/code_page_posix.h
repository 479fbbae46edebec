#pragma once
#include <string>

#include "base/code_page.h"

namespace lumaforge {

// A code page by its iconv name ("CP936", "CP1252"), for the native build and its tests.
class IconvCodePage final : public AnsiCodePage {
public:
    explicit IconvCodePage(std::string name) : name_(std::move(name)) {}
    std::string EncodeChar(char16_t c) const override;
    std::string ToUtf8(std::string_view bytes) const override;

private:
    std::string name_;
};

}  // namespace lumaforge
