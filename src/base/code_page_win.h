#pragma once
#include "base/code_page.h"

namespace lumaforge {

// A code page as Windows converts it: by default the ANSI code page Windows runs with (CP_ACP),
// or a given one, such as 936 for texts made on Chinese systems.
class WinAnsiCodePage final : public AnsiCodePage {
public:
    explicit WinAnsiCodePage(unsigned codePage = 0) : codePage_(codePage) {}
    std::string EncodeChar(char16_t c) const override;
    std::string ToUtf8(std::string_view bytes) const override;

private:
    unsigned codePage_;
};

}  // namespace lumaforge
