// Update.dll: the updater that Lumaforge calls once, shortly after it starts. It reads the update
// list on the resource server and, when the list names a version newer than the program's own,
// asks whether to open that version's download page. Every failure (no server, no answer, a
// malformed list, a program without a version) ends the call quietly: the program waits for this
// call, so it must be short and must never stand in the user's way.
#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

#include <optional>
#include <string>
#include <type_traits>

#include "base/handles_win.h"
#include "sysinfo/update_list.h"
#include "sysinfo/updater_win.h"

extern "C" __declspec(dllexport) BOOL WINAPI DoUpdate(HWND owner, const char* updateListAddress);
static_assert(std::is_same_v<decltype(&DoUpdate), lumaforge::DoUpdateFunction>);

namespace {

using lumaforge::FileVersion;
using lumaforge::UniqueHInternet;

// The window is blocked while the list is fetched: a silent server may hold it this long per
// step, and the whole fetch at most kDeadlineMs.
constexpr DWORD kTimeoutMs = 3000;
constexpr ULONGLONG kDeadlineMs = 5000;
// An update list is a few lines; anything larger is not one.
constexpr size_t kMaxListBytes = 64 * 1024;

std::wstring Widen(std::string_view text, UINT codePage) {
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(size > 0 ? size : 0, L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string Utf8(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? size : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

void SetTimeouts(HINTERNET handle) {
    DWORD timeout = kTimeoutMs;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(handle, option, &timeout, sizeof timeout);
}

// The body of a GET that answered 200, or nothing.
std::optional<std::string> FetchText(const std::wstring& address) {
    const ULONGLONG deadline = GetTickCount64() + kDeadlineMs;
    wchar_t host[256] = {};
    wchar_t path[2048] = {};
    wchar_t extra[2048] = {};
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = static_cast<DWORD>(std::size(host));
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = static_cast<DWORD>(std::size(path));
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = static_cast<DWORD>(std::size(extra));
    if (!InternetCrackUrlW(address.c_str(), 0, 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS))
        return std::nullopt;
    const std::wstring target = (path[0] ? std::wstring(path) : std::wstring(L"/")) + extra;

    UniqueHInternet session(InternetOpenW(L"Lumaforge updater", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session)
        return std::nullopt;
    SetTimeouts(session.Get());
    UniqueHInternet connection(
        InternetConnectW(session.Get(), host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection)
        return std::nullopt;
    // Wine only keeps the time-outs of the connection, set before the request is sent; Windows
    // passes them down from the session as well.
    SetTimeouts(connection.Get());
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES |
                  INTERNET_FLAG_NO_AUTH;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS)
        flags |= INTERNET_FLAG_SECURE;
    UniqueHInternet request(
        HttpOpenRequestW(connection.Get(), L"GET", target.c_str(), nullptr, nullptr, nullptr, flags, 0));
    if (!request || !HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0))
        return std::nullopt;
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
        status != HTTP_STATUS_OK)
        return std::nullopt;

    std::string body;
    char buffer[4096];
    for (;;) {
        if (GetTickCount64() > deadline)
            return std::nullopt;
        DWORD read = 0;
        if (!InternetReadFile(request.Get(), buffer, sizeof buffer, &read))
            return std::nullopt;
        if (read == 0)
            return body;
        body.append(buffer, read);
        if (body.size() > kMaxListBytes)
            return std::nullopt;
    }
}

// The file version of the program that loaded us.
std::optional<FileVersion> ProgramVersion() {
    wchar_t program[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return std::nullopt;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program, &ignored);
    if (size == 0)
        return std::nullopt;
    std::string block(size, '\0');
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!GetFileVersionInfoW(program, 0, size, block.data()) ||
        !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed ||
        fixedSize < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != VS_FFI_SIGNATURE)
        return std::nullopt;
    return FileVersion{{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                        LOWORD(fixed->dwFileVersionLS)}};
}

bool ChineseUser() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE;
}

std::wstring Question(const FileVersion& newer, const FileVersion& current) {
    const std::wstring newText = Widen(newer.ToString(), CP_UTF8);
    const std::wstring currentText = Widen(current.ToString(), CP_UTF8);
    if (ChineseUser())
        return L"Lumaforge 有新版本 " + newText + L"（当前版本 " + currentText + L"）。\r\n是否打开下载页面？";
    return L"A new version of Lumaforge, " + newText + L", is available (this is " + currentText +
           L").\r\nOpen its download page?";
}

BOOL Update(HWND owner, const char* updateListAddress) {
    if (!updateListAddress || !*updateListAddress)
        return FALSE;
    const std::wstring listAddress = Widen(updateListAddress, CP_ACP);
    std::optional<std::string> list = FetchText(listAddress);
    if (!list)
        return FALSE;
    std::optional<lumaforge::UpdateNotice> notice = lumaforge::ParseUpdateList(*list);
    std::optional<FileVersion> current = ProgramVersion();
    if (!notice || !current)
        return FALSE;
    if (notice->version <= *current)
        return TRUE;
    const std::string page = lumaforge::ResolvePageAddress(Utf8(listAddress), notice->page);
    if (page.empty())
        return FALSE;
    if (MessageBoxW(owner, Question(notice->version, *current).c_str(), L"Lumaforge", MB_YESNO | MB_ICONQUESTION) ==
        IDYES)
        ShellExecuteW(owner, L"open", Widen(page, CP_UTF8).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return TRUE;
}

}  // namespace

BOOL WINAPI DoUpdate(HWND owner, const char* updateListAddress) {
    // Nothing may escape into the program, which knows nothing of our exceptions.
    try {
        return Update(owner, updateListAddress);
    } catch (...) {
        return FALSE;
    }
}
