#include "base/code_page_win.h"

#include <windows.h>

#include "base/unicode_win.h"

namespace lumaforge {

std::string WinAnsiCodePage::EncodeChar(char16_t c) const {
    const wchar_t wide = static_cast<wchar_t>(c);
    char bytes[4] = {};
    BOOL usedDefault = FALSE;
    // Without WC_NO_BEST_FIT_CHARS Windows writes a look-alike for a character the code page lacks
    // (É as é, ² as 2) and does not count it as lost.
    const int size =
        WideCharToMultiByte(codePage_, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, sizeof bytes, nullptr, &usedDefault);
    if (size <= 0 || usedDefault)
        return {};
    // A code page that ignores the flag still cannot give the character back.
    wchar_t back[2] = {};
    if (MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, bytes, size, back, 2) != 1 || back[0] != wide)
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
