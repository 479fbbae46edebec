// Cursor schemes against the real registry of the prefix, with a Windows folder of the test's own.
#include "install/installers_win.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/registry_win.h"
#include "base/unicode_win.h"
#include "install/cursor_scheme.h"
#include "support/install_environment_win.h"
#include "support/registry_snapshot_win.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

constexpr char kCursors[] = "Control Panel\\Cursors";
constexpr char kSchemes[] = "Control Panel\\Cursors\\Schemes";

class CursorSchemeTest : public ::testing::Test, protected test::InstallEnvironment {
protected:
    // An installed scheme: its folder under Cursors with the setup.inf given (as bytes).
    std::string Install(const std::string& name, const std::string& inf) {
        const std::string folder = paths.WinPath() + "\\Cursors\\" + name + "\\";
        EXPECT_TRUE(CreateFolderPath(folder));
        EXPECT_TRUE(WriteWholeFile(folder + "setup.inf", inf));
        return folder;
    }
    static std::optional<std::string> Value(const char* key, const std::string& name) {
        const RegistryKey opened = RegistryKey::OpenToRead(HKEY_CURRENT_USER, key);
        return opened ? opened.ReadString(name) : std::nullopt;
    }

    test::RegistrySnapshot saved{HKEY_CURRENT_USER, L"Control Panel\\Cursors"};
};

TEST_F(CursorSchemeTest, WritesEveryRoleTheSchemeNameAndItsListEntry) {
    const std::string folder = Install("Blue Glass",
                                       "[Version]\r\nsignature=\"$CHICAGO$\"\r\n[Strings]\r\n"
                                       "pointer=\"Arrow.CUR\"\r\nbusy=\"Busy.ani\"\r\n");
    // Values of another scheme, all of which the new one replaces.
    RegistryKey cursors = RegistryKey::Create(HKEY_CURRENT_USER, kCursors);
    for (const CursorRole& role : CursorRoleTable)
        ASSERT_TRUE(cursors.WriteString(role.valueName, "C:\\old\\" + std::string(role.infKey) + ".cur"));

    for (int time = 0; time < 2; ++time) {  // a second application writes the same again
        EXPECT_TRUE(ApplyCursorScheme(ctx, "Blue Glass"));
        for (size_t role = 0; role < kCursorRoleCount; ++role) {
            const std::string expected = role == 0 ? folder + "arrow.cur" : role == 3 ? folder + "busy.ani" : "";
            EXPECT_EQ(Value(kCursors, CursorRoleTable[role].valueName), expected) << role;
        }
        EXPECT_EQ(Value(kCursors, ""), "Blue Glass");
        EXPECT_EQ(Value(kSchemes, "Blue Glass"), folder + "arrow.cur,,," + folder + "busy.ani,,,,,,,,,,,");
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(CursorSchemeTest, ReadsTheInfInTheAnsiCodePage) {
    const std::wstring fileName = L"\u6307\u9488.cur";  // "指针.cur"
    char bytes[32] = {};
    BOOL lost = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, 0, fileName.c_str(), -1, bytes, sizeof bytes, nullptr, &lost) - 1;
    if (size <= 0 || lost)
        GTEST_SKIP() << "the ANSI code page " << GetACP() << " cannot hold the name";
    const std::string folder = Install("Ink", "[Strings]\r\nlink=\"" + std::string(bytes, size) + "\"\r\n");
    EXPECT_TRUE(ApplyCursorScheme(ctx, "Ink"));
    EXPECT_EQ(Value(kCursors, "Hand"), folder + ToUtf8(fileName));
}

TEST_F(CursorSchemeTest, AMissingSetupInfIsAnErrorAndChangesNothing) {
    CreateFolderPath(paths.WinPath() + "\\Cursors\\Empty");
    RegistryKey::Create(HKEY_CURRENT_USER, kCursors).WriteString("", "Before");
    try {
        ApplyCursorScheme(ctx, "Empty");
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(paths.WinPath() + "\\Cursors\\Empty\\setup.inf"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(Value(kCursors, ""), "Before");
    EXPECT_FALSE(Value(kSchemes, "Empty"));
}

TEST_F(CursorSchemeTest, RestoreClearsTheRolesButKeepsTheSchemeList) {
    Install("Blue", "[Strings]\r\npointer=\"a.cur\"\r\nhelp=\"h.cur\"\r\n");
    ASSERT_TRUE(ApplyCursorScheme(ctx, "Blue"));
    const std::optional<std::string> listed = Value(kSchemes, "Blue");

    // The built-in pointers may not be linked into this test yet; the registry is what counts.
    RestoreDefaultCursors(ctx);
    const RegistryKey cursors = RegistryKey::OpenToRead(HKEY_CURRENT_USER, kCursors);
    ASSERT_TRUE(cursors);
    for (const CursorRole& role : CursorRoleTable)
        EXPECT_FALSE(cursors.HasValue(role.valueName)) << role.valueName;
    EXPECT_EQ(cursors.ReadString(""), "");
    EXPECT_EQ(Value(kSchemes, "Blue"), listed);
    EXPECT_EQ(messages, std::vector<std::string>{"Restored default mouse pointer successfully."});
}

// The user's own scheme, with its own pointer, comes back whole when the applied one is uninstalled.
TEST_F(CursorSchemeTest, UninstallPutsBackTheUsersOwnSchemeAndLeavesTheOtherEntries) {
    RegistryKey cursors = RegistryKey::Create(HKEY_CURRENT_USER, kCursors);
    ASSERT_TRUE(cursors.WriteString("", "Mine"));
    ASSERT_TRUE(cursors.WriteString("Arrow", "C:\\Mine\\arrow.cur"));
    ASSERT_TRUE(cursors.DeleteValue("Help"));
    RegistryKey schemes = RegistryKey::Create(HKEY_CURRENT_USER, kSchemes);
    schemes.WriteString("Mine", "C:\\Mine\\arrow.cur,,,,,,,,,,,,,,");
    Install("Blue", "[Strings]\r\npointer=\"a.cur\"\r\nhelp=\"h.cur\"\r\n");
    ASSERT_TRUE(ApplyCursorScheme(ctx, "Blue"));
    EXPECT_EQ(Value(kCursors, "Help"), paths.WinPath() + "\\Cursors\\Blue\\h.cur");

    const UninstallResult result = Uninstall(ctx, TResourceKind::Cursor, "Blue");
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(Value(kCursors, ""), "Mine");
    EXPECT_EQ(Value(kCursors, "Arrow"), "C:\\Mine\\arrow.cur");
    EXPECT_FALSE(cursors.HasValue("Help"));
    EXPECT_FALSE(Value(kSchemes, "Blue"));
    EXPECT_EQ(Value(kSchemes, "Mine"), "C:\\Mine\\arrow.cur,,,,,,,,,,,,,,");
}

}  // namespace
}  // namespace lumaforge
