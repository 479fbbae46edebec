#include "sysinfo/home_page_win.h"

#include "base/registry_win.h"
#include "base/text.h"
#include "base/unicode_win.h"

namespace lumaforge {

int MessageBoxUtf8(HWND owner, const std::string& text, const std::string& caption, unsigned style) {
    return MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), style);
}

bool IsHomeSiteStartPage(std::string_view startPage, std::string_view homeStem) {
    return ContainsAsciiFolded(startPage, AsciiLower(homeStem));
}

HomePagePrompt ShowHomePagePrompt(const MessageBoxFunction& showMessage, std::string_view homeUrl,
                                  std::string_view homeStem) {
    // Read without creating, so a user who says No is left without an empty key of ours.
    std::string startPage;
    if (RegistryKey key = RegistryKey::OpenToRead(HKEY_CURRENT_USER, kStartPageKey))
        startPage = key.ReadString(kStartPageValue).value_or(std::string());
    if (IsHomeSiteStartPage(startPage, homeStem))
        return HomePagePrompt::AlreadyHome;
    if (showMessage(kHomePageQuestion, kHomePageCaption, kHomePageQuestionStyle) != IDYES)
        return HomePagePrompt::Declined;
    RegistryKey key = RegistryKey::Create(HKEY_CURRENT_USER, kStartPageKey);
    return key && key.WriteString(kStartPageValue, std::string(homeUrl)) ? HomePagePrompt::Set
                                                                         : HomePagePrompt::NotWritten;
}

}  // namespace lumaforge
