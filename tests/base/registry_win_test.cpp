#include "base/registry_win.h"

#include <gtest/gtest.h>

namespace lumaforge {
namespace {

// A key of this test process's own under HKEY_CURRENT_USER, gone afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { RegistryKey::DeleteTree(HKEY_CURRENT_USER, root); }
    void TearDown() override { RegistryKey::DeleteTree(HKEY_CURRENT_USER, root); }
    const std::string root = "Software\\LumaforgeTest\\" + std::to_string(GetCurrentProcessId());
};

TEST_F(RegistryTest, ReadingNeverCreatesAndWritingCreatesTheParents) {
    const std::string path = root + "\\Control Panel\\Cursors";
    EXPECT_FALSE(RegistryKey::OpenToRead(HKEY_CURRENT_USER, path));
    EXPECT_FALSE(RegistryKey::OpenToChange(HKEY_CURRENT_USER, path));
    EXPECT_FALSE(RegistryKey::OpenToRead(HKEY_CURRENT_USER, root));

    RegistryKey key = RegistryKey::Create(HKEY_CURRENT_USER, path);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key.WriteString("", "中国风"));
    EXPECT_TRUE(key.WriteString("Arrow", "%SystemRoot%\\Cursors\\a.cur", true));
    EXPECT_TRUE(key.WriteDword("Scheme Source", 2));

    RegistryKey read = RegistryKey::OpenToRead(HKEY_CURRENT_USER, path);
    ASSERT_TRUE(read);
    EXPECT_EQ(read.ReadString(""), "中国风");
    EXPECT_EQ(read.ReadString("Arrow"), "%SystemRoot%\\Cursors\\a.cur");  // stored, not expanded
    EXPECT_EQ(read.ReadDword("Scheme Source"), 2u);
    EXPECT_FALSE(read.ReadString("Scheme Source").has_value());  // a DWORD is no text
    EXPECT_FALSE(read.ReadDword("Arrow").has_value());
    EXPECT_FALSE(read.ReadString("Missing").has_value());
    EXPECT_TRUE(read.HasValue("Arrow"));
    EXPECT_FALSE(read.WriteString("Arrow", "x"));  // opened to read only
}

TEST_F(RegistryTest, ValuesAndTreesGo) {
    const std::string path = root + "\\Schemes";
    RegistryKey::Create(HKEY_CURRENT_USER, path + "\\Deep\\Deeper").WriteString("v", "1");
    RegistryKey key = RegistryKey::OpenToChange(HKEY_CURRENT_USER, path);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key.WriteString("Lumaforge_Backup", "old"));
    EXPECT_TRUE(key.DeleteValue("Lumaforge_Backup"));
    EXPECT_FALSE(key.HasValue("Lumaforge_Backup"));
    EXPECT_TRUE(key.DeleteValue("Lumaforge_Backup"));  // already gone is fine

    EXPECT_TRUE(RegistryKey::DeleteTree(HKEY_CURRENT_USER, path));
    EXPECT_FALSE(RegistryKey::OpenToRead(HKEY_CURRENT_USER, path + "\\Deep"));
    EXPECT_FALSE(RegistryKey::OpenToRead(HKEY_CURRENT_USER, path));
    EXPECT_TRUE(RegistryKey::DeleteTree(HKEY_CURRENT_USER, path));
}

TEST_F(RegistryTest, StringsWithoutATerminatorOrWithSeveralReadWhole) {
    RegistryKey key = RegistryKey::Create(HKEY_CURRENT_USER, root);
    ASSERT_TRUE(key);
    const wchar_t unterminated[] = {L'a', L'b', L'c'};
    ASSERT_EQ(
        RegSetValueExW(key.Get(), L"raw", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated), sizeof unterminated),
        ERROR_SUCCESS);
    EXPECT_EQ(key.ReadString("raw"), "abc");
    const wchar_t doubled[] = L"xy\0\0";
    ASSERT_EQ(RegSetValueExW(key.Get(), L"doubled", 0, REG_SZ, reinterpret_cast<const BYTE*>(doubled), sizeof doubled),
              ERROR_SUCCESS);
    EXPECT_EQ(key.ReadString("doubled"), "xy");
    ASSERT_TRUE(key.WriteString("empty", ""));
    EXPECT_EQ(key.ReadString("empty"), "");
}

}  // namespace
}  // namespace lumaforge
