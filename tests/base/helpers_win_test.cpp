#include <gtest/gtest.h>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/unicode_win.h"
#include "net/url.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

TEST(DeleteFolderTree, RemovesEverythingIncludingHiddenAndNested) {
    test::TempFolder folder;
    folder.MakeFolder(L"tree\\sub\\deeper");
    folder.WriteFile(L"tree\\a.txt", "a");
    folder.WriteFile(L"tree\\sub\\deeper\\b.txt", "b");
    folder.WriteFile(L"tree\\sub\\hidden.txt", "h");
    SetFileAttributesW((folder.Path() + L"tree\\sub\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    DeleteFolderTree(ToUtf8(folder.Path()) + "tree");
    EXPECT_FALSE(test::PathExists(folder.Path() + L"tree"));
}

TEST(DeleteFolderTree, ReadOnlyFileStaysWithItsFolderAndNothingIsReported) {
    test::TempFolder folder;
    folder.MakeFolder(L"tree");
    folder.WriteFile(L"tree\\locked.txt", "x");
    folder.WriteFile(L"tree\\free.txt", "y");
    const std::wstring locked = folder.Path() + L"tree\\locked.txt";
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    DeleteFolderTree(ToUtf8(folder.Path()) + "tree\\");
    EXPECT_TRUE(test::PathExists(locked));
    EXPECT_FALSE(test::PathExists(folder.Path() + L"tree\\free.txt"));
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(GetSpecialFolder, DesktopDirectoryAndUnknownFolder) {
    EXPECT_FALSE(GetSpecialFolder(16).empty());
    EXPECT_EQ(GetSpecialFolder(0x7F), "");
}

TEST(WinAnsiCodePage, ChineseSystemsUseCodePage936) {
    ASSERT_EQ(GetACP(), 936u) << "run the tests with LC_ALL=zh_CN.UTF-8";
    WinAnsiCodePage codePage;
    EXPECT_EQ(UrlEncode(u"\u4E2D", true, codePage), "%E4%B8%AD");
    EXPECT_EQ(UrlEncode(u"\u4E2D", false, codePage), "%D6%D0");
    EXPECT_EQ(UrlEncode(u"a b-~/", false, codePage), "a%20b%2D%7E%2F");
    EXPECT_EQ(codePage.ToUtf8("\xD6\xD0"), "中");
}

TEST(WinAnsiCodePage, ACharacterTheCodePageWouldWriteAsALookAlikeHasNoBytes) {
    WinAnsiCodePage codePage(936);
    const struct {
        char16_t character;
        const char* bytes;
    } cases[] = {
        {u'\u00E9', "\xA8\xA6"},                   // é is in code page 936
        {u'\u00C9', ""},                           // É would become é
        {u'\u00B2', ""},                           // ² would become 2
        {u'\u0100', ""},                           // Ā would become ā
        {u'\u4E2D', "\xD6\xD0"}, {u'\u0E01', ""},  // not even a look-alike
    };
    for (const auto& c : cases)
        EXPECT_EQ(codePage.EncodeChar(c.character), c.bytes) << static_cast<int>(c.character);
}

}  // namespace
}  // namespace lumaforge
