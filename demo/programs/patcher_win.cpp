// The stand-in for the theme patcher that ships beside Lumaforge under the names
// DudedOzodare-x64.exe and DudedOzodare-x86.exe. The real patcher is a separate program that
// Lumaforge only launches; this one patches nothing and only says what it is, so the status-bar
// link can be seen to start the right one.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    name.erase(0, name.find_last_of(L"\\/") + 1);
    const std::wstring text = name +
                              L"\r\n\r\nThis is the Lumaforge demo stand-in for the theme patcher. It changes nothing "
                              L"on this computer.\r\nThis copy is a " +
                              std::to_wstring(sizeof(void*) * 8) + L"-bit program.";
    MessageBoxW(nullptr, text.c_str(), L"Duded Ozodare", MB_OK | MB_ICONINFORMATION);
    return 0;
}
