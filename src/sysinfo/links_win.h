#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/shell_win.h"

namespace lumaforge {

// The product's page on the resource server, which "Visit Homepage" opens.
inline constexpr char kHomepageServerPath[] = "20107221.html";

std::string HomepageAddress(std::string_view resourceUrl);

// Opens a web page in the default browser. A page that does not open is not reported: the link
// simply does nothing.
void OpenWebPage(const ShellExecuteFunction& shellExecute, const std::string& address);

}  // namespace lumaforge
