#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lumaforge {

// A launch through the shell (ShellExecute): verb, file, parameters and show command; the owner
// window is the caller's. Returns the shell's result, above 32 on success.
using ShellExecuteFunction = std::function<intptr_t(const std::string& verb, const std::string& file,
                                                    const std::string& parameters, int showCommand)>;

// The product's page on the resource server, which "Visit Homepage" opens.
inline constexpr char kHomepageServerPath[] = "20107221.html";

std::string HomepageAddress(std::string_view resourceUrl);

// Opens a web page in the default browser. A page that does not open is not reported: the link
// simply does nothing.
void OpenWebPage(const ShellExecuteFunction& shellExecute, const std::string& address);

}  // namespace lumaforge
