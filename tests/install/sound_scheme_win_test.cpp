// Sound schemes against the real registry of the prefix, with a Windows folder of the test's own.
#include "install/installers_win.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/registry_win.h"
#include "base/shell_win.h"
#include "base/unicode_win.h"
#include "support/install_environment_win.h"
#include "support/registry_snapshot_win.h"
#include "support/win_test_support.h"
#include "support/zip_maker.h"

namespace lumaforge {
namespace {

constexpr char kApps[] = "AppEvents\\Schemes\\Apps\\";

class SoundSchemeTest : public ::testing::Test, protected test::InstallEnvironment {
protected:
    SoundSchemeTest() { RegistryKey::DeleteTree(HKEY_CURRENT_USER, "AppEvents"); }

    // The sound of an application's event for a scheme (".Default", ".current" or a scheme's name).
    static void SetSound(const std::string& app, const std::string& event, const std::string& scheme,
                         const std::string& sound, bool expandable = false) {
        ASSERT_TRUE(RegistryKey::Create(HKEY_CURRENT_USER, kApps + app + "\\" + event + "\\" + scheme)
                        .WriteString("", sound, expandable));
    }
    static std::optional<std::string> Sound(const std::string& app, const std::string& event,
                                            const std::string& scheme) {
        const RegistryKey key = RegistryKey::OpenToRead(HKEY_CURRENT_USER, kApps + app + "\\" + event + "\\" + scheme);
        return key ? key.ReadString("") : std::nullopt;
    }
    static void SetActive(const std::string& scheme) {
        ASSERT_TRUE(RegistryKey::Create(HKEY_CURRENT_USER, "AppEvents\\Schemes").WriteString("", scheme));
    }
    static std::optional<std::string> Active() {
        const RegistryKey key = RegistryKey::OpenToRead(HKEY_CURRENT_USER, "AppEvents\\Schemes");
        return key ? key.ReadString("") : std::nullopt;
    }

    // Two schemes, "Jazz" and "Rock", over the two applications that are cleaned and one that is not.
    void InstallTwoSchemes() {
        for (const char* scheme : {"Jazz", "Rock"}) {
            ASSERT_TRUE(RegistryKey::Create(HKEY_CURRENT_USER, std::string("AppEvents\\Schemes\\Names\\") + scheme)
                            .WriteString("", scheme));
            CreateFolderPath(paths.WinPath() + "\\Media\\" + scheme + "\\sub");
            WriteWholeFile(paths.WinPath() + "\\Media\\" + scheme + "\\sub\\ding.wav", "RIFF");
            SetSound(".Default", "SystemAsterisk", scheme, std::string(scheme) + "\\asterisk.wav");
            SetSound("Explorer", "EmptyRecycleBin", scheme, std::string(scheme) + "\\empty.wav");
            SetSound("Explorer", "Navigating", scheme, std::string(scheme) + "\\click.wav");
            SetSound("mplayer", "Open", scheme, std::string(scheme) + "\\open.wav");
        }
        SetSound(".Default", "SystemAsterisk", ".Default", "%SystemRoot%\\media\\ding.wav", true);
        SetSound(".Default", "SystemAsterisk", ".current", "Jazz\\asterisk.wav");
        SetSound("Explorer", "EmptyRecycleBin", ".Default", "recycle.wav");
        SetSound("Explorer", "EmptyRecycleBin", ".current", "Jazz\\empty.wav");
        // An event the system has no default sound for.
        SetSound("Explorer", "Navigating", ".current", "Jazz\\click.wav");
        SetSound("mplayer", "Open", ".Default", "open.wav");
        SetSound("mplayer", "Open", ".current", "Jazz\\open.wav");
        SetActive("Jazz");
    }

    test::RegistrySnapshot saved{HKEY_CURRENT_USER, L"AppEvents"};
};

TEST_F(SoundSchemeTest, RunsTheSchemesInfThroughTheSetupInterface) {
    EXPECT_TRUE(ApplySoundScheme(ctx, "Jazz Club"));
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].verb, "open");
    EXPECT_EQ(launches[0].file, "rundll32.exe");
    EXPECT_EQ(launches[0].parameters,
              "setupapi,InstallHinfSection DefaultInstall 132 " + paths.WinPath() + "\\Media\\Jazz Club\\install.inf");
    EXPECT_EQ(launches[0].show, SW_HIDE);

    launchResult = 32;  // the shell's largest failure
    EXPECT_FALSE(RunInfInstall(ctx, "C:\\x\\install.inf"));
    EXPECT_TRUE(messages.empty());
}

// A package "Jazz" whose install.inf registers it, makes it active and sets its sounds in use, as
// the demo's sound packages do; the INF really runs through the platform's setup interface. Its
// sounds are named inside the test's Windows folder (the setup interface's %10% is the prefix's).
std::string JazzInf(const std::string& winPath) {
    std::string inf =
        "[Version]\r\nSignature=\"$CHICAGO$\"\r\n\r\n[DefaultInstall]\r\nAddReg=Scheme.Reg\r\n\r\n"
        "[Scheme.Reg]\r\nHKCU,\"AppEvents\\Schemes\",,,\"%SchemeName%\"\r\n"
        "HKCU,\"AppEvents\\Schemes\\Names\\%SchemeName%\",,,\"%SchemeName%\"\r\n";
    for (const char* event : {".Default\\SystemAsterisk", "Explorer\\EmptyRecycleBin", "Explorer\\Navigating"}) {
        for (const char* scheme : {"%SchemeName%", ".current"})
            inf += std::string("HKCU,\"AppEvents\\Schemes\\Apps\\") + event + "\\" + scheme + "\",,,\"" + winPath +
                   "\\Media\\%SchemeName%\\x.wav\"\r\n";
    }
    return inf + "\r\n[Strings]\r\nSchemeName = \"Jazz\"\r\n";
}

TEST_F(SoundSchemeTest, UninstallingTheActiveSchemeGivesTheUserTheirOwnSoundsBack) {
    SetSound(".Default", "SystemAsterisk", ".Default", "%SystemRoot%\\media\\ding.wav", true);
    SetSound(".Default", "SystemAsterisk", ".current", "C:\\Mine\\asterisk.wav", true);
    SetSound("Explorer", "EmptyRecycleBin", ".current", "C:\\Mine\\empty.wav");
    SetSound("mplayer", "Open", ".current", "C:\\Mine\\open.wav");
    SetActive("Mine");
    CreateFolderPath(paths.AppPath() + "cache\\sound");
    const std::string package = paths.AppPath() + "cache\\sound\\Jazz.zip";
    ASSERT_TRUE(WriteWholeFile(package, test::MakeZip({{"install.inf", JazzInf(paths.WinPath())}, {"x.wav", "RIFF"}})));
    ctx.shellExecute = [](const std::string& verb, const std::string& file, const std::string& parameters, int show) {
        return ShellExecuteUtf8(nullptr, verb, file, parameters, show);
    };
    ASSERT_TRUE(InstallPackage(ctx, TResourceKind::Sound, package));
    const std::string jazzSound = paths.WinPath() + "\\Media\\Jazz\\x.wav";
    // The launch does not wait for the installation: the values arrive a moment later.
    ASSERT_TRUE(test::PumpUntil([&] { return Sound("Explorer", "Navigating", ".current") == jazzSound; }, 20000))
        << Sound("Explorer", "Navigating", ".current").value_or("<none>") << " " << Active().value_or("<none>");
    EXPECT_EQ(Active(), "Jazz");

    const UninstallResult result = Uninstall(ctx, TResourceKind::Sound, "JAZZ");  // the row's name in any case
    EXPECT_TRUE(result.finished) << UninstallReport(result);
    EXPECT_EQ(Active(), "Mine");
    EXPECT_EQ(Sound(".Default", "SystemAsterisk", ".current"), "C:\\Mine\\asterisk.wav");
    const RegistryKey current =
        RegistryKey::OpenToRead(HKEY_CURRENT_USER, std::string(kApps) + ".Default\\SystemAsterisk\\.current");
    EXPECT_TRUE(current.IsExpandable(""));  // put back with its type
    EXPECT_EQ(Sound("Explorer", "EmptyRecycleBin", ".current"), "C:\\Mine\\empty.wav");
    // An event that had no sound in use has none again; the scheme's keys and folder are gone.
    EXPECT_FALSE(RegistryKey::OpenToRead(HKEY_CURRENT_USER, std::string(kApps) + "Explorer\\Navigating"));
    EXPECT_FALSE(Sound(".Default", "SystemAsterisk", "Jazz"));
    EXPECT_FALSE(RegistryKey::OpenToRead(HKEY_CURRENT_USER, "AppEvents\\Schemes\\Names\\Jazz"));
    EXPECT_FALSE(test::PathExists(paths.WinPath() + "\\Media\\Jazz"));
    EXPECT_EQ(Sound("mplayer", "Open", ".current"), "C:\\Mine\\open.wav");
}

TEST_F(SoundSchemeTest, TheSoundsOfWindowsOwnSchemesAreNeitherInstalledNorRemoved) {
    InstallTwoSchemes();
    CreateFolderPath(paths.WinPath() + "\\Media\\.Default");
    WriteWholeFile(paths.WinPath() + "\\Media\\.Default\\user.wav", "RIFF");
    for (const char* name : {".Default", ".CURRENT", "", ".", "..", "Jazz\\..\\..", "..\\windows"}) {
        EXPECT_FALSE(Uninstall(ctx, TResourceKind::Sound, name).finished) << name;
        EXPECT_TRUE(test::PathExists(paths.WinPath() + "\\Media\\Jazz\\sub\\ding.wav")) << name;
        EXPECT_EQ(Sound(".Default", "SystemAsterisk", "Jazz"), "Jazz\\asterisk.wav") << name;
    }
    EXPECT_TRUE(test::PathExists(paths.WinPath() + "\\Media\\.Default\\user.wav"));
    EXPECT_EQ(Sound(".Default", "SystemAsterisk", ".Default"), "%SystemRoot%\\media\\ding.wav");
    EXPECT_EQ(Active(), "Jazz");
    CreateFolderPath(paths.AppPath() + "cache\\sound");
    const std::string package = paths.AppPath() + "cache\\sound\\.default.zip";
    ASSERT_TRUE(WriteWholeFile(package, test::MakeZip({{"install.inf", JazzInf(paths.WinPath())}})));
    EXPECT_THROW(InstallPackage(ctx, TResourceKind::Sound, package), std::runtime_error);
    EXPECT_TRUE(launches.empty());
}

TEST_F(SoundSchemeTest, WithoutTheSchemesKeyTheRestoreCreatesNothing) {
    RestoreDefaultSounds(ctx);  // reports all the same
    EXPECT_EQ(messages, std::vector<std::string>{"Restored default sound scheme successfully."});
    EXPECT_FALSE(RegistryKey::OpenToRead(HKEY_CURRENT_USER, "AppEvents\\Schemes"));
}

TEST_F(SoundSchemeTest, RestoreLinkMakesTheDefaultSchemeActiveAndReports) {
    InstallTwoSchemes();
    RestoreDefaultSounds(ctx);
    EXPECT_EQ(Active(), ".default");
    EXPECT_EQ(Sound("Explorer", "EmptyRecycleBin", ".current"), "recycle.wav");
    EXPECT_EQ(Sound("Explorer", "Navigating", ".current"), "");
    EXPECT_EQ(Sound("mplayer", "Open", ".current"), "Jazz\\open.wav");
    EXPECT_EQ(Sound(".Default", "SystemAsterisk", "Jazz"), "Jazz\\asterisk.wav");  // schemes stay installed
    EXPECT_EQ(messages, std::vector<std::string>{"Restored default sound scheme successfully."});
}

// A directory link for a test, removed again afterwards. Wine 8 makes none itself
// (CreateSymbolicLinkW does nothing there, FSCTL_SET_REPARSE_POINT is not supported) but shows a
// symbolic link of the host as a directory link; there the host's ln makes it and its rm removes
// it, as Wine cannot remove a host's link to a folder that is not empty.
class DirectoryLink {
public:
    DirectoryLink(const std::string& link, const std::string& target) : link_(ToWide(link)) {
        CreateSymbolicLinkW(link_.c_str(), ToWide(target).c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
        if (!IsLink()) {
            // Wine does not wait for a host's process: the link shows when it is there.
            byHost_ = RunOnHost("/bin/ln", L"-s " + HostPath(ToWide(target)) + L" " + HostPath(link_)) &&
                      test::PumpUntil([this] { return IsLink(); }, 5000);
        }
    }
    ~DirectoryLink() {
        if (byHost_) {
            RunOnHost("/bin/rm", L"-f " + HostPath(link_));
            test::PumpUntil([this] { return GetFileAttributesW(link_.c_str()) == INVALID_FILE_ATTRIBUTES; }, 5000);
        } else {
            RemoveDirectoryW(link_.c_str());
        }
    }
    DirectoryLink(const DirectoryLink&) = delete;
    DirectoryLink& operator=(const DirectoryLink&) = delete;

    bool MadeByHost() const { return byHost_; }
    bool IsLink() const {
        const DWORD attributes = GetFileAttributesW(link_.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    }

private:
    template <typename Function>
    static Function WineExport(const char* name) {
        return reinterpret_cast<Function>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name));
    }
    // A path as the host names it, quoted; empty outside Wine.
    static std::wstring HostPath(const std::wstring& path) {
        const auto toUnix = WineExport<char*(CDECL*)(const wchar_t*)>("wine_get_unix_file_name");
        char* name = toUnix ? toUnix(path.c_str()) : nullptr;
        if (!name)
            return {};
        const std::wstring quoted = L"\"" + ToWide(name) + L"\"";
        HeapFree(GetProcessHeap(), 0, name);
        return quoted;
    }
    static bool RunOnHost(const char* program, std::wstring arguments) {
        const auto toDos = WineExport<wchar_t*(CDECL*)(const char*)>("wine_get_dos_file_name");
        wchar_t* dosName = toDos ? toDos(program) : nullptr;
        if (!dosName)
            return false;
        std::wstring command = L"\"" + std::wstring(dosName) + L"\" " + arguments;
        HeapFree(GetProcessHeap(), 0, dosName);
        STARTUPINFOW startup{sizeof startup};
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return false;
        const UniqueHandle thread(process.hThread);
        const UniqueHandle child(process.hProcess);
        WaitForSingleObject(child.Get(), 10000);
        return true;
    }

    std::wstring link_;
    bool byHost_ = false;
};

// A link that appeared inside a scheme's folder is no part of the scheme: the uninstall leaves it
// and what it points at.
TEST_F(SoundSchemeTest, UninstallDoesNotFollowALinkInsideTheSchemeFolder) {
    CreateFolderPath(paths.AppPath() + "cache\\sound");
    const std::string package = paths.AppPath() + "cache\\sound\\Jazz.zip";
    ASSERT_TRUE(WriteWholeFile(package, test::MakeZip({{"sub/ding.wav", "RIFF"}})));
    ASSERT_TRUE(InstallPackage(ctx, TResourceKind::Sound, package));
    const std::string outside = ToUtf8(root.Path()) + "precious";
    ASSERT_TRUE(CreateFolderPath(outside));
    ASSERT_TRUE(WriteWholeFile(outside + "\\keep.txt", "mine"));
    const DirectoryLink link(paths.WinPath() + "\\Media\\Jazz\\link", outside);
    if (!link.IsLink())
        GTEST_SKIP() << "no directory link can be made here";

    const UninstallResult result = Uninstall(ctx, TResourceKind::Sound, "Jazz");
    EXPECT_TRUE(test::PathExists(outside + "\\keep.txt"));
    EXPECT_FALSE(test::PathExists(paths.WinPath() + "\\Media\\Jazz\\sub"));
    // The scheme's folder stays for the link, and the Media folder the installation made for it.
    EXPECT_EQ(result.kept, (std::vector<std::string>{paths.WinPath() + "\\Media\\Jazz", paths.WinPath() + "\\Media"}));
}

}  // namespace
}  // namespace lumaforge
