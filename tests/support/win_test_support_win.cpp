#include "support/win_test_support.h"

#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "base/handles_win.h"
#include "base/unicode_win.h"

namespace lumaforge::test {

void EnsureCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
}

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void PumpFor(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpPending();
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() > end)
            return false;
        PumpFor(5);
    }
    return true;
}

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    // A folder of its own, never one that a killed process of the same number left behind.
    do {
        path_ = std::wstring(temp) + L"lumaforge-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter++) + L"\\";
    } while (!CreateDirectoryW(path_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
}

TempFolder::~TempFolder() {
    std::wstring from = path_.substr(0, path_.size() - 1);
    from.push_back(L'\0');  // the shell wants a double-terminated list
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

void TempFolder::MakeFolder(const std::wstring& relative) const {
    std::wstring path = path_;
    for (size_t start = 0; start <= relative.size();) {
        size_t end = relative.find(L'\\', start);
        if (end == std::wstring::npos)
            end = relative.size();
        path += relative.substr(start, end - start) + L"\\";
        CreateDirectoryW(path.c_str(), nullptr);
        start = end + 1;
    }
}

void TempFolder::WriteFile(const std::wstring& relative, const std::string& content) const {
    UniqueHandle file(CreateFileW((path_ + relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file)
        ::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
}

std::wstring HostPath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p; ++p)
        path.push_back(*p == '/' ? L'\\' : static_cast<wchar_t>(*p));
    return path;
}

int GdiObjectsInUse() {
    if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<int>(counted);
    constexpr int kBurst = 4000;
    std::vector<HBRUSH> burst;
    burst.reserve(kBurst);
    int highest = -1;
    for (int i = 0; i < kBurst; ++i) {
        HBRUSH brush = CreateSolidBrush(RGB(i & 0xFF, 0, 0));
        if (!brush)
            break;
        burst.push_back(brush);
        highest = std::max(highest, static_cast<int>(LOWORD(reinterpret_cast<ULONG_PTR>(brush))));
    }
    for (HBRUSH brush : burst)
        DeleteObject(brush);
    return highest + 1 - static_cast<int>(burst.size());
}

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool PathExists(const std::string& path) {
    return PathExists(ToWide(path));
}

}  // namespace lumaforge::test
