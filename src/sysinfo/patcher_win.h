#pragma once
#include <string>
#include <string_view>

#include "sysinfo/links_win.h"

namespace lumaforge {

// The theme patcher ships beside the program in one build per bitness of Windows.
inline constexpr char kPatcher64[] = "DudedOzodare-x64.exe";
inline constexpr char kPatcher32[] = "DudedOzodare-x86.exe";

// Windows is 64-bit when the process is a 64-bit one, or a 32-bit one under WOW64; only then does
// the 64-bit patcher suit it.
const char* PatcherFor(bool process64Bit, bool underWow64);

// True when this process is a 32-bit process on 64-bit Windows. False where Windows cannot say
// (systems older than the question).
bool IsWow64();

// The patcher for this machine, in the program folder.
std::string PatcherPath(std::string_view appPath);

// Launches the patcher that suits this Windows. A missing program or a failed launch is not
// reported: the patcher is an optional companion.
void LaunchPatcher(std::string_view appPath, const ShellExecuteFunction& shellExecute);

}  // namespace lumaforge
