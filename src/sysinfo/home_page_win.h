#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "build_config.h"

namespace lumaforge {

// The browser's start page, where the home-page question looks and writes.
inline constexpr char kStartPageKey[] = "Software\\Microsoft\\Internet Explorer\\Main";
inline constexpr char kStartPageValue[] = "Start Page";

// The question and its caption, as the product has always asked it.
inline constexpr char kHomePageQuestion[] =
    "设[Lumaforge]为首页(支持Lumaforge的发展)，Lumaforge致力于为广\r\n"
    "大用户提供免费的原创电脑主题，希望您能支持我们将免费原创坚\r\n"
    "持到底,是否继续支持？";
inline constexpr char kHomePageCaption[] = "提示";
inline constexpr unsigned kHomePageQuestionStyle = MB_YESNO | MB_ICONQUESTION | MB_TOPMOST;

// A platform message box: text, caption and MB_ style; returns the button pressed (IDYES, IDNO).
using MessageBoxFunction = std::function<int(const std::string& text, const std::string& caption, unsigned style)>;

// The platform's own box, owned by `owner`.
int MessageBoxUtf8(HWND owner, const std::string& text, const std::string& caption, unsigned style);

// True when the start page already leads to the home site: it holds the site's host-name stem,
// whatever the case of its letters. An empty stem matches every page: a build without one never asks.
bool IsHomeSiteStartPage(std::string_view startPage, std::string_view homeStem);

enum class HomePagePrompt { AlreadyHome, Declined, Set, NotWritten };

// Asks, unless the start page is already the home site, whether it should become the home site;
// on Yes writes `homeUrl` as the start page. A No changes nothing, so the question comes again the
// next time. NotWritten: the user agreed but the registry refused the value.
HomePagePrompt ShowHomePagePrompt(const MessageBoxFunction& showMessage, std::string_view homeUrl = config::kHomeUrl,
                                  std::string_view homeStem = config::kHomeStem);

}  // namespace lumaforge
