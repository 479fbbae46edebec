#pragma once
#include "base/code_page.h"

namespace lumaforge {

// The ANSI code page Windows runs with (CP_ACP).
class WinAnsiCodePage final : public AnsiCodePage {
public:
    std::string EncodeChar(char16_t c) const override;
    std::string ToUtf8(std::string_view bytes) const override;
};

}  // namespace lumaforge
