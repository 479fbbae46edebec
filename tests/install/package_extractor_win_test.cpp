// The package extractor on the Windows file system: wide paths, Chinese names, files in use.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/unicode_win.h"
#include "install/package_extractor.h"
#include "support/win_test_support.h"
#include "support/zip_maker.h"

namespace lumaforge {
namespace {

using test::BuildZip;
using test::RawZipEntry;

// Every file and folder below `folder`: relative path -> content, "<folder>" for folders.
void CollectTree(const std::string& folder, const std::string& prefix, std::map<std::string, std::string>& tree) {
    for (const FolderEntry& entry : ListFolder(folder)) {
        const std::string path = folder + "\\" + entry.name;
        if (entry.isFolder) {
            tree[prefix + entry.name] = "<folder>";
            CollectTree(path, prefix + entry.name + "\\", tree);
        } else {
            ReadWholeFile(path, tree[prefix + entry.name]);
        }
    }
}

std::map<std::string, std::string> Tree(const std::string& folder) {
    std::map<std::string, std::string> tree;
    CollectTree(folder, "", tree);
    return tree;
}

// Names as a Chinese system writes them into a package: code page 936, no UTF-8 flag.
std::string Gbk(const std::wstring& text) {
    WinAnsiCodePage gbk(936);
    std::string bytes;
    for (wchar_t c : text)
        bytes += gbk.EncodeChar(static_cast<char16_t>(c));
    return bytes;
}

class PackageExtractorWinTest : public ::testing::Test {
protected:
    PackageExtractorWinTest() {
        root.MakeFolder(L"包裹");
        rootUtf8 = ToUtf8(root.Path());
        destination = rootUtf8 + "目标\\主题";
    }

    std::string Package(const std::vector<RawZipEntry>& entries) {
        const std::string path = rootUtf8 + "包裹\\桌面主题.zip";
        EXPECT_TRUE(WriteWholeFile(path, BuildZip(entries)));
        return path;
    }

    test::TempFolder root;
    std::string rootUtf8;
    std::string destination;
    WinAnsiCodePage packageNames{936};
    TPackageExtractor extractor{packageNames};
};

TEST_F(PackageExtractorWinTest, ChineseNamesIntoAChineseFolder) {
    const std::string package = Package({
        {.Name = Gbk(L"图标\\乗.ico"), .Data = "icon", .Deflate = true},
        {.Name = Gbk(L"说明.txt"), .Data = "readme"},
        {.Name = "壁纸/", .Flags = test::kZipFlagUtf8},
        {.Name = "壁纸/蓝天.bmp", .Data = std::string(300000, 'b'), .Deflate = true, .Flags = test::kZipFlagUtf8},
    });
    extractor.ExtractPackage(package, destination + "\\", TOverwriteMode::Always);
    const std::map<std::string, std::string> expected = {
        {"图标", "<folder>"},
        {"图标\\乗.ico", "icon"},
        {"说明.txt", "readme"},
        {"壁纸", "<folder>"},
        {"壁纸\\蓝天.bmp", std::string(300000, 'b')},
    };
    EXPECT_EQ(Tree(destination), expected);
}

TEST_F(PackageExtractorWinTest, DamagedPackageLeavesTheFileThatWasThere) {
    CreateFolderPath(destination);
    WriteWholeFile(destination + "\\说明.txt", "original");
    const std::string package = Package({
        {.Name = "说明.txt", .Data = "replacement", .Flags = test::kZipFlagUtf8},
        {.Name = "新的/文件.txt", .Data = "new", .Flags = test::kZipFlagUtf8},
        {.Name = "坏的.txt", .Data = std::string(5000, 'x'), .Deflate = true, .Flags = test::kZipFlagUtf8, .Crc = 1},
    });
    const auto before = Tree(rootUtf8);
    try {
        extractor.ExtractPackage(package, destination, TOverwriteMode::Always);
        ADD_FAILURE() << "extracted";
    } catch (const DamagedPackageError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "The package \"桌面主题.zip\" is damaged: the entry \"坏的.txt\" does not match its checksum.");
    }
    EXPECT_EQ(Tree(rootUtf8), before);
}

TEST_F(PackageExtractorWinTest, FileInUseUndoesTheFilesAlreadyReplaced) {
    CreateFolderPath(destination);
    WriteWholeFile(destination + "\\a.txt", "old a");
    WriteWholeFile(destination + "\\b.scr", "old b");
    const std::string package = Package({{.Name = "a.txt", .Data = "new a"}, {.Name = "b.scr", .Data = "new b"}});
    const auto before = Tree(rootUtf8);
    {
        // A running screen saver: open without any sharing.
        UniqueHandle inUse(CreateFileW(ToWide(destination + "\\b.scr").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(inUse);
        try {
            extractor.ExtractPackage(package, destination, TOverwriteMode::Always);
            ADD_FAILURE() << "extracted";
        } catch (const DamagedPackageError& error) {
            ADD_FAILURE() << "not the package's fault: " << error.what();
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find("b.scr"), std::string::npos) << error.what();
        }
    }
    EXPECT_EQ(Tree(rootUtf8), before);
}

}  // namespace
}  // namespace lumaforge
