#include "sysinfo/patcher_win.h"

#include <windows.h>

namespace lumaforge {

const char* PatcherFor(bool process64Bit, bool underWow64) {
    return process64Bit || underWow64 ? kPatcher64 : kPatcher32;
}

bool IsWow64() {
    // Looked up at run time: early systems have no such function and are never 64-bit.
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleW(L"kernel32");
    auto isWow64Process = kernel ? reinterpret_cast<IsWow64ProcessFunction>(
                                       reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                                 : nullptr;
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::string PatcherPath(std::string_view appPath) {
    return std::string(appPath) + PatcherFor(sizeof(void*) == 8, IsWow64());
}

void LaunchPatcher(std::string_view appPath, const ShellExecuteFunction& shellExecute) {
    if (shellExecute)
        shellExecute("open", PatcherPath(appPath), "", SW_SHOWNORMAL);
}

}  // namespace lumaforge
