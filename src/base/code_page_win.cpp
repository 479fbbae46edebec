#include "base/code_page_win.h"

#include <windows.h>

#include "base/unicode_win.h"

namespace lumaforge {

std::string WinAnsiCodePage::EncodeChar(char16_t c) const {
    const wchar_t wide = static_cast<wchar_t>(c);
    char bytes[4] = {};
    BOOL usedDefault = FALSE;
    int size = WideCharToMultiByte(codePage_, 0, &wide, 1, bytes, sizeof bytes, nullptr, &usedDefault);
    if (size <= 0 || usedDefault)
        return {};
    return std::string(bytes, static_cast<size_t>(size));
}

std::string WinAnsiCodePage::ToUtf8(std::string_view bytes) const {
    if (bytes.empty())
        return {};
    int size = MultiByteToWideChar(codePage_, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(codePage_, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
    return lumaforge::ToUtf8(wide);
}

}  // namespace lumaforge
