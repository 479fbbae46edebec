#include "install/folder_icon_settings.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "base/program_paths.h"
#include "install/journal_store.h"
#include "support/memory_system.h"

namespace lumaforge {
namespace {

constexpr char kIcons[] = "C:\\Program\\cache\\icons\\";
constexpr char kRed[] = "C:\\Program\\cache\\icons\\Colors\\Red.ico";

TEST(FolderIconText, TheIconLinesChangeAndEveryOtherLineStays) {
    const struct {
        const char* name;
        const char* before;
        const char* after;
    } cases[] = {
        {"no file", "", "[.ShellClassInfo]\r\nIconFile=C:\\i.ico\r\nIconIndex=0\r\n"},
        {"other sections", "[ViewState]\nMode=4\n",
         "[ViewState]\r\nMode=4\r\n[.ShellClassInfo]\r\nIconFile=C:\\i.ico\r\nIconIndex=0\r\n"},
        {"Windows' own lines", "[.ShellClassInfo]\r\nLocalizedResourceName=@shell32.dll,-21779\r\nInfoTip=Holidays\r\n",
         "[.ShellClassInfo]\r\nIconFile=C:\\i.ico\r\nIconIndex=0\r\nLocalizedResourceName=@shell32.dll,-21779\r\n"
         "InfoTip=Holidays\r\n"},
        {"another icon, any case and spacing",
         "[.shellclassinfo]\r\n iconresource = "
         "C:\\theirs.ico,3\r\nICONFILE=C:\\old.ico\r\nIconIndex=2\r\n[X]\r\nIconFile=kept\r\n",
         "[.shellclassinfo]\r\nIconFile=C:\\i.ico\r\nIconIndex=0\r\n[X]\r\nIconFile=kept\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithFolderIcon(c.before, "C:\\i.ico"), c.after) << c.name;
}

TEST(FolderIconText, OnlyTheProgramsIconLinesGo) {
    const struct {
        const char* name;
        const char* before;
        std::optional<std::string> after;
    } cases[] = {
        {"only the program's lines",
         "[.ShellClassInfo]\r\nIconFile=C:\\Program\\cache\\icons\\A\\b.ico\r\nIconIndex=0\r\n", ""},
        {"beside Windows' lines",
         "[.ShellClassInfo]\r\nIconFile=\"c:\\program\\CACHE\\icons\\A\\b.ico\"\r\nIconIndex=0\r\nInfoTip=x\r\n[V]"
         "\r\nM=4\r\n",
         "[.ShellClassInfo]\r\nInfoTip=x\r\n[V]\r\nM=4\r\n"},
        {"another program's icon", "[.ShellClassInfo]\r\nIconFile=C:\\theirs.ico\r\nIconIndex=0\r\n", std::nullopt},
        {"no icon section", "[V]\r\nIconFile=C:\\Program\\cache\\icons\\A\\b.ico\r\n", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithoutProgramFolderIcon(c.before, kIcons), c.after) << c.name;
}

class NoPackages : public PackageUnpacker {
public:
    void Unpack(const std::string&, const std::string&, TOverwriteMode, InstallTransaction&) override {
        throw std::logic_error("no package here");
    }
    std::optional<std::vector<PackageFile>> ListFiles(const std::string&) const override { return std::nullopt; }
    std::optional<std::string> ReadTopFile(const std::string&, const std::string&) const override {
        return std::nullopt;
    }
};

class FolderIconTest : public ::testing::Test {
protected:
    FolderIconTest() : host(paths, unpacker, system.Access()) {
        paths.SetProgramFolder("C:\\Program\\");
        system.files.Put("C:\\Users\\me\\Photos\\beach.jpg", "a picture");
    }

    std::optional<std::string> Settings() const { return system.files.ReadFile(kFile); }
    bool JournalLeft() const { return system.files.FolderExists(FolderIconJournalFolder(paths, kFolder)); }

    static constexpr char kFolder[] = "C:\\Users\\me\\Photos";
    static constexpr char kFile[] = "C:\\Users\\me\\Photos\\desktop.ini";
    test::MemorySystem system;
    ProgramPaths paths;
    NoPackages unpacker;
    InstallHost host;
};

TEST_F(FolderIconTest, RestoreGivesBackTheFileExactlyAsItWas) {
    const std::string windows =
        "[.ShellClassInfo]\r\nLocalizedResourceName=@shell32.dll,-21779\r\n"
        "IconResource=C:\\theirs.ico,3\r\n[ViewState]\r\nMode=4";
    system.files.Put(kFile, windows);
    SetFolderIcon(host, kFolder, kRed);
    SetFolderIcon(host, std::string(kFolder) + "\\", kRed);  // set twice, the folder spelled otherwise
    EXPECT_EQ(Settings(), WithFolderIcon(windows, kRed));
    EXPECT_TRUE(RestoreFolderIcon(host, kFolder).empty());
    EXPECT_EQ(Settings(), windows);
    EXPECT_FALSE(JournalLeft());

    // A folder that had no settings file loses the one the program made.
    system.files.RemoveFile(kFile);
    SetFolderIcon(host, kFolder, kRed);
    RestoreFolderIcon(host, kFolder);
    EXPECT_FALSE(Settings());
    EXPECT_FALSE(JournalLeft());
}

TEST_F(FolderIconTest, AFileChangedSinceLosesOnlyTheProgramsLines) {
    SetFolderIcon(host, kFolder, kRed);
    system.files.WriteFileDurably(kFile, *Settings() + "InfoTip=Holidays\r\n");
    RestoreFolderIcon(host, kFolder);
    EXPECT_EQ(Settings(), "[.ShellClassInfo]\r\nInfoTip=Holidays\r\n");
    EXPECT_FALSE(JournalLeft());
}

TEST_F(FolderIconTest, WithoutAJournalTheFileGoesOnlyWhenNothingElseIsInIt) {
    system.files.Put(kFile, WithFolderIcon("", kRed));
    RestoreFolderIcon(host, kFolder);
    EXPECT_FALSE(Settings());

    system.files.Put(kFile, WithFolderIcon("[ViewState]\r\nMode=4\r\n", kRed));
    RestoreFolderIcon(host, kFolder);
    EXPECT_EQ(Settings(), "[ViewState]\r\nMode=4\r\n");

    // Another program's icon is not the program's to take.
    const std::string theirs = WithFolderIcon("", "C:\\theirs.ico");
    system.files.Put(kFile, theirs);
    RestoreFolderIcon(host, kFolder);
    EXPECT_EQ(Settings(), theirs);
}

TEST_F(FolderIconTest, AFileThatCannotBeWrittenChangesNothing) {
    // No folder to write into.
    EXPECT_THROW(SetFolderIcon(host, "C:\\Missing", kRed), std::runtime_error);
    EXPECT_FALSE(system.files.FolderExists("C:\\Missing"));
    // Its journal went with the segment that was taken back.
    EXPECT_FALSE(system.files.FolderExists(FolderIconJournalFolder(paths, "C:\\Missing")));
}

}  // namespace
}  // namespace lumaforge
