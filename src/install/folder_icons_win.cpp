#include "install/folder_icons_win.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/text.h"
#include "base/unicode_win.h"

namespace lumaforge {
namespace {
constexpr WORD kShlwapiOrdinal = 633;
constexpr DWORD kShlwapiArgument = 47;

// Wine's marker of a function it does not implement: an error like any other for our purposes.
constexpr DWORD kWineStubException = 0x80000100;

using Pidl = std::remove_pointer_t<PIDLIST_ABSOLUTE>;
struct PidlFree {
    void operator()(Pidl* list) const { CoTaskMemFree(list); }
};
using UniquePidl = std::unique_ptr<Pidl, PidlFree>;

int CALLBACK SelectInitialFolder(HWND dialog, UINT message, LPARAM, LPARAM initialFolder) {
    if (message == BFFM_INITIALIZED && initialFolder)
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, initialFolder);
    return 0;
}

// Keeps the program's other windows from taking input while a dialogue owned by one of them is
// open; the dialogue itself disables and enables its owner.
class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(HWND owner) : owner_(owner) {
        EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
        for (HWND window : disabled_)
            EnableWindow(window, FALSE);
    }
    ~OtherWindowsDisabled() {
        for (HWND window : disabled_) {
            if (IsWindow(window))
                EnableWindow(window, TRUE);
        }
    }
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM self) {
        auto* me = reinterpret_cast<OtherWindowsDisabled*>(self);
        if (window != me->owner_ && IsWindowVisible(window) && IsWindowEnabled(window))
            me->disabled_.push_back(window);
        return TRUE;
    }

    HWND owner_;
    std::vector<HWND> disabled_;
};

// The state of CallSwallowingFaults while its call runs: the thread it guards and where that
// thread resumes after a fault. Only the user-interface thread makes such calls.
std::atomic<DWORD> guardedThread{0};
CONTEXT* resumeContext = nullptr;
volatile bool faulted = false;

bool IsError(DWORD code) {
    // Error severity covers the processor's faults; C++ exceptions use codes of their own, which
    // the callee may catch itself, and are left to it.
    return (code & 0xF0000000) == 0xC0000000 || code == kWineStubException || code == EXCEPTION_DATATYPE_MISALIGNMENT;
}

LONG CALLBACK ResumeAfterFault(EXCEPTION_POINTERS* info) {
    if (guardedThread.load() != GetCurrentThreadId() || !resumeContext ||
        !IsError(info->ExceptionRecord->ExceptionCode))
        return EXCEPTION_CONTINUE_SEARCH;
    *info->ContextRecord = *resumeContext;
    resumeContext = nullptr;
    faulted = true;
    return EXCEPTION_CONTINUE_EXECUTION;
}

struct VectoredHandler {
    explicit VectoredHandler(PVECTORED_EXCEPTION_HANDLER handler) : handle(AddVectoredExceptionHandler(1, handler)) {}
    ~VectoredHandler() {
        if (handle)
            RemoveVectoredExceptionHandler(handle);
    }
    VectoredHandler(const VectoredHandler&) = delete;
    VectoredHandler& operator=(const VectoredHandler&) = delete;
    PVOID handle;
};
}  // namespace

void HideFolderSettingsFile(const std::string& folder) {
    const std::wstring file = ToWide(FolderSettingsFile(folder));
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(file.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
}

bool MakeSystemFolder(const std::string& folder) {
    return PathMakeSystemFolderW(ToWide(folder).c_str()) != FALSE;
}

bool IsNamelessExport(HMODULE module, WORD ordinal) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (!module || dos->e_magic != IMAGE_DOS_SIGNATURE)
        return false;
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (headers->Signature != IMAGE_NT_SIGNATURE ||
        headers->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_EXPORT)
        return false;
    const IMAGE_DATA_DIRECTORY& directory = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (!directory.VirtualAddress)
        return false;
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    if (ordinal < exports->Base || ordinal - exports->Base >= exports->NumberOfFunctions)
        return false;
    const DWORD index = ordinal - exports->Base;
    if (!reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions)[index])
        return false;
    const auto* nameIndexes = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        if (nameIndexes[i] == index)
            return false;
    }
    return true;
}

// RtlCaptureContext returns a second time when the handler resumes the captured state after a
// fault; only `faulted`, kept in memory, tells the two returns apart.
__attribute__((noinline)) bool CallSwallowingFaults(void(WINAPI* function)(DWORD), DWORD argument) {
    VectoredHandler handler(&ResumeAfterFault);
    if (!handler.handle)
        return false;
    CONTEXT resume{};
    faulted = false;
    guardedThread = GetCurrentThreadId();
    RtlCaptureContext(&resume);
    if (faulted) {
        guardedThread = 0;
        return false;
    }
    resumeContext = &resume;
    function(argument);
    resumeContext = nullptr;
    guardedThread = 0;
    return true;
}

void CallShlwapiOrdinal633() {
    UniqueModule shlwapi(LoadLibraryW(L"shlwapi.dll"));
    if (!shlwapi)
        return;
    // Where the ordinal is a named export it is some other function, one that wants other arguments
    // (under Wine a path function that would read the number as an address): the call is not ours.
    if (!IsNamelessExport(shlwapi.Get(), kShlwapiOrdinal))
        return;
    using Export = void(WINAPI*)(DWORD);
    auto function = reinterpret_cast<Export>(
        reinterpret_cast<void*>(GetProcAddress(shlwapi.Get(), MAKEINTRESOURCEA(kShlwapiOrdinal))));
    if (function)
        CallSwallowingFaults(function, kShlwapiArgument);
}

void NotifyFolderIconChanged(const std::string& folder) {
    CallShlwapiOrdinal633();
    const std::wstring path = ToWide(folder);
    for (LONG event : {SHCNE_UPDATEIMAGE, SHCNE_UPDATEITEM, SHCNE_ASSOCCHANGED})
        SHChangeNotify(event, SHCNF_PATHW, path.c_str(), nullptr);
}

bool BrowseForFolder(HWND owner, const std::string& title, const std::string& root, const std::string& initial,
                     std::string& chosen) {
    UniquePidl rootList;
    if (!root.empty()) {
        PIDLIST_ABSOLUTE parsed = nullptr;
        if (SUCCEEDED(SHParseDisplayName(ToWide(root).c_str(), nullptr, &parsed, 0, nullptr)))
            rootList.reset(parsed);
    }
    const std::wstring wideTitle = ToWide(title);
    const std::wstring wideInitial = ToWide(initial);
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = rootList.get();
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = &SelectInitialFolder;
    info.lParam = wideInitial.empty() ? 0 : reinterpret_cast<LPARAM>(wideInitial.c_str());
    UniquePidl picked;
    {
        OtherWindowsDisabled disabled(owner);
        picked.reset(SHBrowseForFolderW(&info));
    }
    if (!picked)
        return false;
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(picked.get(), path))
        return false;
    chosen = ToUtf8(path);
    return true;
}

}  // namespace lumaforge
