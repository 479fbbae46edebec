// A folder's own icon: its settings file, its system attribute and the shell's folder picker,
// against the real files of the prefix.
#include "install/folder_icons_win.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/code_page.h"
#include "base/files_win.h"
#include "base/program_paths.h"
#include "base/unicode_win.h"
#include "install/install_context_win.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

// The attributes that decide how the shell treats the file (Wine reports every file as archive).
constexpr DWORD kShownAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;

std::string Utf8Path(const test::TempFolder& folder) {
    return ToUtf8(folder.Path());
}

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(ToWide(path).c_str());
}

std::string FileBytes(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

// The icon as the shell reads it from the settings file.
std::wstring ShellIconFile(const std::string& settingsFile) {
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(L".ShellClassInfo", L"IconFile", L"", value, 1024, ToWide(settingsFile).c_str());
    return value;
}

// The installers' host on the real system, its program folder a temporary one.
struct RealSystem {
    RealSystem() {
        paths.SetProgramFolder(Utf8Path(program));
        context = std::make_unique<InstallContext>(paths, extractor);
    }
    std::string Icon(const std::string& name) const { return paths.FolderIconsFolder() + "Colors\\" + name; }

    test::TempFolder program;
    ProgramPaths paths;
    WinAnsiCodePage codePage;
    TPackageExtractor extractor{codePage};
    std::unique_ptr<InstallContext> context;
};

TEST(FolderIconsTest, SettingsFileHoldsThreeLinesAndIsHiddenWithOrWithoutTrailingBackslash) {
    RealSystem system;
    test::TempFolder root;
    const std::string icon = system.Icon("Red.ico");
    for (const char* spelling : {"target", "target\\"}) {
        root.MakeFolder(L"target");
        const std::string folder = Utf8Path(root) + spelling;
        SetFolderIcon(*system.context, folder, icon);
        HideFolderSettingsFile(folder);
        const std::string file = Utf8Path(root) + "target\\desktop.ini";
        EXPECT_EQ(FolderSettingsFile(folder), file);
        EXPECT_EQ(FileBytes(file), "[.ShellClassInfo]\r\nIconFile=" + icon + "\r\nIconIndex=0\r\n") << spelling;
        EXPECT_EQ(Attributes(file) & kShownAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN)) << spelling;
        EXPECT_EQ(ShellIconFile(file), ToWide(icon));
        EXPECT_TRUE(RestoreFolderIcon(*system.context, folder).empty());
        EXPECT_EQ(Attributes(file), INVALID_FILE_ATTRIBUTES) << spelling;
    }
}

TEST(FolderIconsTest, AnExistingSettingsFileKeepsItsOtherLinesAndComesBackWhole) {
    RealSystem system;
    test::TempFolder root;
    const std::string windows =
        "[.ShellClassInfo]\r\nInfoTip=Kept\r\nIconResource=old.dll,3\r\n[ViewState]\r\nMode=4\r\n";
    root.WriteFile(L"desktop.ini", windows);
    const std::string file = Utf8Path(root) + "desktop.ini";
    SetFileAttributesW(ToWide(file).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    const std::string icon = system.Icon("New.ico");
    SetFolderIcon(*system.context, Utf8Path(root), icon);
    EXPECT_EQ(FileBytes(file),
              "[.ShellClassInfo]\r\nIconFile=" + icon + "\r\nIconIndex=0\r\nInfoTip=Kept\r\n[ViewState]\r\nMode=4\r\n");
    EXPECT_EQ(ShellIconFile(file), ToWide(icon));
    EXPECT_TRUE(RestoreFolderIcon(*system.context, Utf8Path(root)).empty());
    EXPECT_EQ(FileBytes(file), windows);
}

TEST(FolderIconsTest, AnIconPathOutsideTheCodePageIsWrittenAsUtf16) {
    RealSystem system;
    test::TempFolder root;
    const std::string icon = system.Icon("\xE0\xB8\x81\xE0\xB8\xB2.ico");  // Thai: no ANSI code page of China holds it
    SetFolderIcon(*system.context, Utf8Path(root), icon);
    const std::string file = Utf8Path(root) + "desktop.ini";
    const std::string bytes = FileBytes(file);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    std::u16string text((bytes.size() - 2) / 2, u'\0');
    std::memcpy(text.data(), bytes.data() + 2, text.size() * 2);
    EXPECT_EQ(text, Utf8ToUtf16("[.ShellClassInfo]\r\nIconFile=" + icon + "\r\nIconIndex=0\r\n"));
    EXPECT_EQ(ShellIconFile(file), ToWide(icon));
}

TEST(FolderIconsTest, FailuresToWriteAreRaisedAndChangeNothing) {
    RealSystem system;
    test::TempFolder root;
    EXPECT_THROW(SetFolderIcon(*system.context, Utf8Path(root) + "missing", system.Icon("a.ico")), std::runtime_error);
    EXPECT_EQ(Attributes(Utf8Path(root) + "missing"), INVALID_FILE_ATTRIBUTES);
    // A folder that takes the settings file's name is no settings file: nothing to restore.
    root.MakeFolder(L"odd\\desktop.ini");
    EXPECT_THROW(SetFolderIcon(*system.context, Utf8Path(root) + "odd", system.Icon("a.ico")), std::runtime_error);
    EXPECT_TRUE(RestoreFolderIcon(*system.context, Utf8Path(root) + "odd").empty());
    EXPECT_NE(Attributes(Utf8Path(root) + "odd\\desktop.ini") & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(FolderIconsTest, MakeSystemFolderSetsTheSystemAttribute) {
    test::TempFolder root;
    root.MakeFolder(L"plain");
    const std::string folder = Utf8Path(root) + "plain";
    ASSERT_FALSE(Attributes(folder) & FILE_ATTRIBUTE_SYSTEM);
    EXPECT_TRUE(MakeSystemFolder(folder));
    EXPECT_TRUE(Attributes(folder) & FILE_ATTRIBUTE_SYSTEM);
    EXPECT_TRUE(Attributes(folder) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(MakeSystemFolder(Utf8Path(root) + "missing"));
}

TEST(FolderIconsTest, NamelessExportsAreToldApart) {
    HMODULE shlwapi = LoadLibraryW(L"shlwapi.dll");
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    ASSERT_TRUE(shlwapi && kernel);
    // shlwapi's ordinal 3 (PathFileExistsDefExtA) has never had a name; kernel32's Sleep always had one.
    const auto* sleep = reinterpret_cast<void*>(GetProcAddress(kernel, "Sleep"));
    WORD sleepOrdinal = 0;
    for (WORD ordinal = 1; ordinal < 4096 && !sleepOrdinal; ++ordinal) {
        if (reinterpret_cast<void*>(GetProcAddress(kernel, MAKEINTRESOURCEA(ordinal))) == sleep)
            sleepOrdinal = ordinal;
    }
    ASSERT_NE(sleepOrdinal, 0);
    EXPECT_TRUE(IsNamelessExport(shlwapi, 3));
    EXPECT_FALSE(IsNamelessExport(kernel, sleepOrdinal));
    EXPECT_FALSE(IsNamelessExport(shlwapi, 60000));
    EXPECT_FALSE(IsNamelessExport(nullptr, 3));
    FreeLibrary(shlwapi);
}

int calls = 0;
void WINAPI Count(DWORD argument) {
    calls += static_cast<int>(argument);
}
void WINAPI WriteToAddress(DWORD address) {
    *reinterpret_cast<volatile int*>(static_cast<uintptr_t>(address)) = 1;
}
void WINAPI RaiseStatus(DWORD code) {
    RaiseException(code, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

TEST(FolderIconsTest, FaultsOfTheGuardedCallAreSwallowed) {
    calls = 0;
    struct {
        void(WINAPI* function)(DWORD);
        DWORD argument;
        bool completes;
    } cases[] = {
        {&Count, 47, true},
        {&WriteToAddress, 47, false},
        {&RaiseStatus, STATUS_INTEGER_DIVIDE_BY_ZERO, false},
        {&Count, 1, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CallSwallowingFaults(c.function, c.argument), c.completes) << c.argument;
    EXPECT_EQ(calls, 48);
}

// A window that listens to the shell's change notifications, as Explorer does, and notes the
// events and the path of their first item.
class ShellListener {
public:
    static constexpr UINT kNotified = WM_APP + 7;

    ShellListener() {
        window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        previous_ =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
        SHChangeNotifyEntry everything{nullptr, TRUE};
        registration_ = SHChangeNotifyRegister(window_, SHCNRF_ShellLevel | SHCNRF_InterruptLevel | SHCNRF_NewDelivery,
                                               SHCNE_ALLEVENTS, kNotified, 1, &everything);
    }
    ~ShellListener() {
        if (registration_)
            SHChangeNotifyDeregister(registration_);
        DestroyWindow(window_);
    }
    bool Registered() const { return registration_ != 0; }
    // The events seen so far, each with the path of its first item (empty when it has none).
    const std::vector<std::pair<LONG, std::wstring>>& Events() {
        test::PumpPending();
        return events_;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ShellListener*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message != kNotified)
            return CallWindowProcW(self->previous_, window, message, wParam, lParam);
        PIDLIST_ABSOLUTE* items = nullptr;
        LONG event = 0;
        if (HANDLE lock = SHChangeNotification_Lock(reinterpret_cast<HANDLE>(wParam), static_cast<DWORD>(lParam),
                                                    &items, &event)) {
            wchar_t path[MAX_PATH] = {};
            if (!items || !items[0] || !SHGetPathFromIDListW(items[0], path))
                path[0] = 0;
            self->events_.emplace_back(event, path);
            SHChangeNotification_Unlock(lock);
        }
        return 0;
    }

    HWND window_ = nullptr;
    WNDPROC previous_ = nullptr;
    ULONG registration_ = 0;
    std::vector<std::pair<LONG, std::wstring>> events_;
};

TEST(FolderIconsTest, TheShellHearsThatTheFolderChanged) {
    test::TempFolder root;
    ShellListener listener;
    ASSERT_TRUE(listener.Registered());
    std::wstring folder = root.Path();
    if (folder.ends_with(L'\\'))
        folder.pop_back();
    NotifyFolderIconChanged(ToUtf8(folder));
    bool updateItem = false;
    for (const auto& [event, path] : listener.Events())
        updateItem |= event == SHCNE_UPDATEITEM && _wcsicmp(path.c_str(), folder.c_str()) == 0;
    EXPECT_TRUE(updateItem) << "no update of the folder itself";
    // A folder that has gone still makes no fault.
    NotifyFolderIconChanged(ToUtf8(folder) + "missing");
}

// Answers the folder picker of this thread once it is open, noting what it saw.
struct PickerAnswer {
    static inline int command = IDOK;
    static inline HWND owner = nullptr;
    static inline HWND other = nullptr;
    static inline bool otherDisabled = false;
    static inline bool answered = false;

    // The picker is whatever other window of this thread shows up.
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM found) {
                if (window != owner && window != other && IsWindowVisible(window))
                    *reinterpret_cast<HWND*>(found) = window;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&dialog));
        if (!dialog)
            return;
        KillTimer(nullptr, id);
        otherDisabled = !IsWindowEnabled(other);
        answered = true;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
    }
};

TEST(FolderIconsTest, FolderPickerStartsAtTheInitialFolderAndDisablesTheOtherWindows) {
    CoInitialize(nullptr);
    // Wine's picker finds only folders whose path has no name beyond 8.3 in it: the system folder
    // serves there as on Windows.
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::string initial = ToUtf8(system);
    auto window = [] {
        return CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    };
    HWND owner = PickerAnswer::owner = window();
    PickerAnswer::other = window();
    for (int command : {IDOK, IDCANCEL}) {
        PickerAnswer::command = command;
        PickerAnswer::answered = false;
        SetTimer(nullptr, 0, 100, &PickerAnswer::OnTimer);
        std::string chosen = "untouched";
        const bool confirmed = BrowseForFolder(owner, "Select folder", {}, initial, chosen);
        ASSERT_TRUE(PickerAnswer::answered);
        EXPECT_TRUE(PickerAnswer::otherDisabled);
        EXPECT_TRUE(IsWindowEnabled(PickerAnswer::other));
        EXPECT_TRUE(IsWindowEnabled(owner));
        EXPECT_EQ(confirmed, command == IDOK);
        EXPECT_EQ(chosen, command == IDOK ? initial : "untouched");
    }
    DestroyWindow(PickerAnswer::other);
    DestroyWindow(owner);
    CoUninitialize();
}

}  // namespace
}  // namespace lumaforge
