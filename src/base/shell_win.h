#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace lumaforge {

// A launch through the shell as ShellExecute takes it: verb (empty: the default), file, parameters
// and show command; the owner window is the caller's. Returns the shell's result, above 32 on
// success. Features take one of these so tests can see what they would launch.
using ShellExecuteFunction = std::function<intptr_t(const std::string& verb, const std::string& file,
                                                    const std::string& parameters, int showCommand)>;

// The shell's own launch.
intptr_t ShellExecuteUtf8(HWND owner, const std::string& verb, const std::string& file, const std::string& parameters,
                          int showCommand);

}  // namespace lumaforge
