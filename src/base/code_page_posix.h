#pragma once
#include <memory>
#include <mutex>
#include <string>

#include "base/code_page.h"

namespace lumaforge {

// A code page by its iconv name ("CP936", "CP1252"), for the native build and its tests. Each
// direction's converter is opened once, at its first use, and serves one conversion at a time.
class IconvCodePage final : public AnsiCodePage {
public:
    explicit IconvCodePage(std::string name);
    ~IconvCodePage() override;
    IconvCodePage(const IconvCodePage&) = delete;
    IconvCodePage& operator=(const IconvCodePage&) = delete;

    std::string EncodeChar(char16_t c) const override;
    std::string ToUtf8(std::string_view bytes) const override;

private:
    struct Converter;
    // With `replace`, a byte that starts no character of the source becomes U+FFFD and the rest is
    // still converted, as Windows converts; without, the conversion stops there and `ok` is false.
    std::string Convert(bool toUtf8, std::string_view input, bool replace, bool& ok) const;

    std::string name_;
    mutable std::mutex mutex_;
    mutable std::unique_ptr<Converter> fromUtf8_;
    mutable std::unique_ptr<Converter> toUtf8_;
};

}  // namespace lumaforge
