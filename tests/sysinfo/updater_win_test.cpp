#include "sysinfo/updater_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "base/files_win.h"
#include "base/unicode_win.h"
#include "build_config.h"
#include "support/registry_snapshot_win.h"
#include "support/test_http_server.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

using test::TempFolder;

constexpr char kListPath[] = "/SiteBack/updateTxt/1.txt";

std::string ListOf(const std::string& version, const char* page = "/20107221.html") {
    return "[Update]\r\nVersion=" + version + "\r\nPage=" + page + "\r\n";
}

// Answers every message box owned by `owner` while it lives (No unless told), and keeps their
// texts. A box that should not have come thus cannot hang the test.
class BoxAnswerer {
public:
    explicit BoxAnswerer(HWND owner, int answer = IDNO)
        : owner_(owner), answer_(answer), thread_([this] {
              while (!stop_) {
                  EnumThreadWindows(GetWindowThreadProcessId(owner_, nullptr), &BoxAnswerer::Answer,
                                    reinterpret_cast<LPARAM>(this));
                  Sleep(20);
              }
          }) {}
    ~BoxAnswerer() {
        stop_ = true;
        thread_.join();
    }
    std::vector<std::wstring> Texts() {
        std::lock_guard lock(mutex_);
        return texts_;
    }

private:
    static BOOL CALLBACK Answer(HWND window, LPARAM self) {
        auto* answerer = reinterpret_cast<BoxAnswerer*>(self);
        wchar_t className[32] = {};
        GetClassNameW(window, className, 32);
        HWND button = GetDlgItem(window, answerer->answer_);
        if (std::wstring(className) != L"#32770" || GetWindow(window, GW_OWNER) != answerer->owner_ ||
            !IsWindowVisible(window) || !button)
            return TRUE;
        wchar_t text[1024] = {};
        GetDlgItemTextW(window, 0xFFFF, text, 1024);
        {
            // A box stays until our answer arrives: it is counted once.
            std::lock_guard lock(answerer->mutex_);
            if (!answerer->answered_.insert(window).second)
                return TRUE;
            answerer->texts_.push_back(text);
        }
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(answerer->answer_, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        return TRUE;
    }

    HWND owner_;
    int answer_;
    std::mutex mutex_;
    std::vector<std::wstring> texts_;
    std::set<HWND> answered_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_TRUE(owner_);
    }
    void TearDown() override { DestroyWindow(owner_); }

    // Calls the updater, answering its questions, and says how long the call took.
    bool Call(const std::string& library, const std::string& listAddress, std::vector<std::wstring>& questions,
              int64_t& elapsedMs, int answer = IDNO) {
        BoxAnswerer answerer(owner_, answer);
        const auto start = std::chrono::steady_clock::now();
        const bool called = CallUpdater(library, owner_, listAddress);
        elapsedMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        questions = answerer.Texts();
        return called;
    }

    static std::string BuiltLibrary() { return ToUtf8(test::HostPath(LUMAFORGE_TEST_UPDATE_DLL)); }

    HWND owner_ = nullptr;
    test::TestHttpServer server_;
};

TEST_F(UpdaterTest, AMissingOrUnusableLibraryIsSkippedQuietly) {
    TempFolder folder;
    folder.WriteFile(L"Damaged\\Update.dll", "MZ\x90 this is not a library");
    folder.MakeFolder(L"NoExport");
    // A library that loads but has no DoUpdate: the language module, which holds only strings.
    ASSERT_TRUE(CopyFileW(test::HostPath(LUMAFORGE_TEST_LANGUAGE_MODULE).c_str(),
                          (folder.Path() + L"NoExport\\Update.dll").c_str(), FALSE));
    server_.SetContent(kListPath, ListOf("9.0"));
    const std::string appPath = ToUtf8(folder.Path());
    for (const char* where : {"", "Damaged\\", "NoExport\\"}) {
        SCOPED_TRACE(where);
        std::vector<std::wstring> questions;
        int64_t elapsedMs = 0;
        EXPECT_FALSE(
            Call(UpdaterLibraryPath(appPath + where), UpdateListAddress(server_.Url("/")), questions, elapsedMs));
        EXPECT_TRUE(questions.empty());
    }
    EXPECT_EQ(server_.RequestCount(kListPath), 0);
}

TEST_F(UpdaterTest, ANewerVersionIsOfferedToTheOwnerAndNothingElseIs) {
    // The test program carries the program's version resource: the project's version, major.minor.patch.tweak.
    unsigned major = 0, minor = 0, patch = 0, tweak = 0;
    ASSERT_EQ(std::sscanf(config::kFileVersion, "%u.%u.%u.%u", &major, &minor, &patch, &tweak), 4);
    auto dotted = [](auto... parts) {
        std::string text;
        ((text += (text.empty() ? "" : ".") + std::to_string(parts)), ...);
        return text;
    };
    const std::string own = config::kFileVersion;
    struct Case {
        std::string list;
        std::string offered;  // the version the question names; none when there is no question
    };
    const Case cases[] = {
        {ListOf(dotted(major, minor, patch, tweak + 1)), dotted(major, minor, patch, tweak + 1)},
        {ListOf(dotted(major + 1, 0), "http://elsewhere.example/get"), dotted(major + 1, 0, 0, 0)},
        {ListOf(dotted(major, minor + 1)), dotted(major, minor + 1, 0, 0)},
        {ListOf(own), {}},
        {ListOf("0.0.0.0"), {}},
        // A list must not make the program open anything but a web page.
        {ListOf(dotted(major, minor + 1), "file:///C:/Windows/notepad.exe"), {}},
        {ListOf(dotted(major, minor + 1), "notepad.exe:"), {}},
        {"Version=" + dotted(major, minor + 1) + "\r\nPage=/20107221.html\r\n", {}},
        {"<html>Not Found</html>", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        server_.SetContent(kListPath, c.list);
        const int before = server_.RequestCount(kListPath);
        std::vector<std::wstring> questions;
        int64_t elapsedMs = 0;
        EXPECT_TRUE(Call(BuiltLibrary(), UpdateListAddress(server_.Url("/")), questions, elapsedMs));
        EXPECT_EQ(server_.RequestCount(kListPath), before + 1);
        ASSERT_EQ(questions.size(), c.offered.empty() ? 0u : 1u);
        if (!c.offered.empty()) {
            EXPECT_NE(questions[0].find(ToWide(c.offered)), std::wstring::npos) << ToUtf8(questions[0]);
            EXPECT_NE(questions[0].find(ToWide(own)), std::wstring::npos) << ToUtf8(questions[0]);
        }
    }
}

TEST_F(UpdaterTest, YesOpensTheDownloadPageInTheBrowser) {
    // The browser of this prefix, for the test: a command that writes down the address it is given.
    test::RegistrySnapshot browser(HKEY_LOCAL_MACHINE, L"Software\\Classes\\http\\shell\\open\\command");
    TempFolder folder;
    const std::wstring opened = folder.Path() + L"opened.txt";
    const std::wstring command = L"C:\\windows\\system32\\cmd.exe /c echo %1>\"" + opened + L"\"";
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\http\\shell\\open\\command", nullptr, REG_SZ,
                              command.c_str(), static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    server_.SetContent(kListPath, ListOf("65535.0"));
    std::vector<std::wstring> questions;
    int64_t elapsedMs = 0;
    EXPECT_TRUE(Call(BuiltLibrary(), UpdateListAddress(server_.Url("/")), questions, elapsedMs, IDYES));
    ASSERT_EQ(questions.size(), 1u);
    std::string written;
    ASSERT_TRUE(test::PumpUntil([&] { return ReadWholeFile(ToUtf8(opened), written) && !written.empty(); }, 20000));
    EXPECT_NE(written.find(server_.Url("/20107221.html")), std::string::npos) << written;
}

TEST_F(UpdaterTest, ASilentOrAbsentServerHoldsTheWindowOnlyAFewSeconds) {
    // Port 1 of this machine: nobody listens there.
    const std::string refused = "http://127.0.0.1:1/1.txt";
    for (const std::string& address : {server_.Url("/hang"), server_.Url("/stall/100000"), server_.Url("/status/404"),
                                       refused, std::string("not an address")}) {
        SCOPED_TRACE(address);
        std::vector<std::wstring> questions;
        int64_t elapsedMs = 0;
        EXPECT_TRUE(Call(BuiltLibrary(), address, questions, elapsedMs));
        EXPECT_TRUE(questions.empty());
        EXPECT_LT(elapsedMs, 6000);
        std::printf("[ measure ] %s: %lld ms\n", address.c_str(), static_cast<long long>(elapsedMs));
    }
}

}  // namespace
}  // namespace lumaforge
