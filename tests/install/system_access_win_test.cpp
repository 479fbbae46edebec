// Files written as one step, as the journal and the files it records need them.
#include "install/system_access_win.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/unicode_win.h"
#include "support/win_test_support.h"

namespace lumaforge {
namespace {

std::vector<std::string> Names(const std::wstring& folder) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : ListFolder(ToUtf8(folder)))
        names.push_back(entry.name);
    return names;
}

// The identity of the file a path names (its index on the volume).
uint64_t FileIdentity(const std::string& path) {
    UniqueHandle file(CreateFileW(ToWide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.Get(), &info))
        return 0;
    return static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
}

TEST(DurableWriteTest, ANewFileTakesTheNameInsteadOfTheOldOneBeingRewritten) {
    test::TempFolder folder;
    folder.WriteFile(L"oeminfo.ini", "old text");
    const std::string path = ToUtf8(folder.Path()) + "oeminfo.ini";
    const uint64_t before = FileIdentity(path);
    ASSERT_NE(before, 0u);
    // Written in place, a failure half-way would leave half the text; the bytes go to a file
    // beside it instead, which takes the name only once it is whole.
    WinSystemFiles().WriteFileDurably(path, "the new text");
    EXPECT_NE(FileIdentity(path), before);
    std::string content;
    ASSERT_TRUE(ReadWholeFile(path, content));
    EXPECT_EQ(content, "the new text");
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"oeminfo.ini"});
}

TEST(DurableWriteTest, AFailureNamesTheFileAndLeavesNoTemporaryFile) {
    test::TempFolder folder;
    folder.MakeFolder(L"oemlogo.bmp");
    const std::string path = ToUtf8(folder.Path()) + "oemlogo.bmp";
    try {
        WinSystemFiles().WriteFileDurably(path, "BM");
        ADD_FAILURE() << "a folder was replaced by a file";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("\"" + path + "\""), std::string::npos) << error.what();
    }
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"oemlogo.bmp"});
    EXPECT_THROW(WinSystemFiles().WriteFileDurably(ToUtf8(folder.Path()) + "no such folder\\oeminfo.ini", "x"),
                 std::runtime_error);
}

}  // namespace
}  // namespace lumaforge
