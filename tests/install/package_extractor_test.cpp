#include "install/package_extractor.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "base/code_page_posix.h"
#include "support/zip_maker.h"

namespace lumaforge {
namespace {

namespace fs = std::filesystem;
using test::BuildZip;
using test::kZipFlagEncrypted;
using test::kZipFlagUtf8;
using test::RawZipEntry;
using test::UnicodePathExtra;

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

void WriteFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// Every file and folder below `root`: relative path -> content, "<folder>" for folders.
std::map<std::string, std::string> Tree(const fs::path& root) {
    std::map<std::string, std::string> tree;
    if (!fs::exists(root))
        return tree;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        const std::string relative = Utf8(fs::relative(item.path(), root));
        if (item.is_directory()) {
            tree[relative] = "<folder>";
        } else {
            std::ifstream in(item.path(), std::ios::binary);
            tree[relative].assign(std::istreambuf_iterator<char>(in), {});
        }
    }
    return tree;
}

class TempRoot {
public:
    TempRoot() {
        static std::atomic<int> counter{0};
        path_ = fs::temp_directory_path() /
                ("lumaforge-extract-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(path_);
    }
    ~TempRoot() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

// Compressible, but not trivially.
std::string Pattern(size_t size) {
    std::string data(size, '\0');
    uint32_t state = 12345;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245 + 12345;
        data[i] = static_cast<char>('a' + (state >> 16) % 8);
    }
    return data;
}

std::string Gbk(const char16_t* text) {
    IconvCodePage gbk("CP936");
    std::string bytes;
    for (const char16_t* c = text; *c; ++c)
        bytes += gbk.EncodeChar(*c);
    return bytes;
}

class PackageExtractorTest : public ::testing::Test {
protected:
    // Packages lie apart from the folders the tests watch.
    fs::path Package(const std::string& bytes, const std::string& name = "package.zip") {
        const fs::path path = root.Path() / "packages" / name;
        WriteFile(path, bytes);
        return path;
    }

    TempRoot root;
    const fs::path disk = root.Path() / "disk";
    IconvCodePage gbk{"CP936"};
};

// ---- Hostile and damaged packages ----

struct HostileCase {
    const char* label;
    const char* reason;                // what the error names
    std::vector<RawZipEntry> entries;  // after a good "keep.txt" and "new.txt"
    ExtractLimits limits{};
    const char* rawBytes = nullptr;  // the package's bytes instead of an archive
};

uint32_t Crc32(const std::string& data) {
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

std::vector<HostileCase> HostileCases(const std::string& absoluteInside) {
    const std::string big = std::string(1 << 20, '\0');
    const std::string text = Pattern(5000);
    return {
        {"absolute path", "has an absolute path", {{.Name = absoluteInside, .Data = "x"}}},
        {"absolute path by backslash", "has an absolute path", {{.Name = "\\evil.txt", .Data = "x"}}},
        {"UNC path", "has an absolute path", {{.Name = "\\\\server\\share\\evil.txt", .Data = "x"}}},
        {"parent folder", "leads out of the destination", {{.Name = "../evil.txt", .Data = "x"}}},
        {"parent folder deeper down", "leads out of the destination", {{.Name = "sub/../../../evil.txt", .Data = "x"}}},
        {"parent folder by backslashes", "leads out of the destination", {{.Name = "..\\..\\evil.txt", .Data = "x"}}},
        {"drive relative", "names a drive", {{.Name = "C:evil.txt", .Data = "x"}}},
        {"drive absolute", "names a drive", {{.Name = "C:/Windows/evil.txt", .Data = "x"}}},
        {"stream of an existing file", "names a file stream", {{.Name = "keep.txt:hidden", .Data = "x"}}},
        {"device name", "uses a device name", {{.Name = "CON", .Data = "x"}}},
        {"device name with extension in a folder", "uses a device name", {{.Name = "sub/aux.txt", .Data = "x"}}},
        {"device name in other case", "uses a device name", {{.Name = "Com1.log", .Data = "x"}}},
        {"device name with blanks", "uses a device name", {{.Name = "lpt9 .dat", .Data = "x"}}},
        {"trailing dot", "ends in a dot", {{.Name = "evil.txt.", .Data = "x"}}},
        {"overlong UTF-8 dots",
         "not valid UTF-8",
         {{.Name = "\xC0\xAE\xC0\xAE/evil.txt", .Data = "x", .Flags = kZipFlagUtf8}}},
        {"Info-ZIP UTF-8 name leading out",
         "leads out of the destination",
         {{.Name = "fine.txt", .Data = "x", .Extra = UnicodePathExtra("fine.txt", "../evil.txt")}}},
        {"duplicate in other case", "appears twice", {{.Name = "NEW.TXT", .Data = "x"}}},
        {"duplicate by the other separator",
         "appears twice",
         {{.Name = "sub/x.txt", .Data = "1"}, {.Name = "sub\\x.txt", .Data = "2"}}},
        {"file used as a folder", "also a file", {{.Name = "new.txt/x.txt", .Data = "x"}}},
        {"CRC flipped in one byte",
         "does not match its checksum",
         {{.Name = "bad.txt", .Data = text, .Deflate = true, .Crc = Crc32(text) ^ 0x00FF0000}}},
        {"encrypted", "is encrypted", {{.Name = "secret.txt", .Data = text, .Flags = kZipFlagEncrypted}}},
        {"unsupported method", "method other than deflate", {{.Name = "bzip.txt", .Data = text, .Method = 12}}},
        {"declares fewer bytes than it holds",
         "does not match its checksum",
         {{.Name = "liar.txt", .Data = text, .Deflate = true, .DeclaredSize = text.size() - 1}}},
        {"declares more bytes than it holds",
         "smaller than it declares",
         {{.Name = "liar.txt", .Data = text, .Deflate = true, .DeclaredSize = text.size() + 1}}},
        {"bomb",
         "expands more than 100 times",
         {{.Name = "zeros.bin", .Data = big, .Deflate = true}},
         {.maxRatio = 100}},
        {"larger than the total cap",
         "larger than 8000 bytes",
         {{.Name = "a.bin", .Data = text}, {.Name = "b.bin", .Data = text}},
         {.maxTotalSize = 8000}},
        {"more entries than the cap",
         "more than 3 entries",
         {{.Name = "a.txt", .Data = "a"}, {.Name = "b.txt", .Data = "b"}},
         {.maxEntries = 3}},
        {"not a ZIP archive", "not a ZIP archive", {}, {}, "This is a page of the server, not a package."},
        {"cut short", "not a ZIP archive", {}, {}, "PK\x03\x04\x14"},
    };
}

TEST_F(PackageExtractorTest, HostileOrDamagedPackagesChangeNothing) {
    const fs::path destination = disk / "windows" / "themes";
    WriteFile(disk / "outside.txt", "outside");
    for (const HostileCase& row : HostileCases(Utf8(disk / "evil.txt"))) {
        SCOPED_TRACE(row.label);
        std::vector<RawZipEntry> entries = {{.Name = "keep.txt", .Data = "replacement"},
                                            {.Name = "new.txt", .Data = "new", .Deflate = true}};
        entries.insert(entries.end(), row.entries.begin(), row.entries.end());
        const fs::path package = Package(row.rawBytes ? row.rawBytes : BuildZip(entries), "hostile.zip");
        // Into a destination with a file of its own, and into one that does not exist yet.
        for (const fs::path& target : {destination, disk / "fresh" / "themes"}) {
            if (target == destination)
                WriteFile(destination / "keep.txt", "original");
            const auto before = Tree(disk);
            TPackageExtractor extractor(gbk, row.limits);
            try {
                extractor.ExtractPackage(Utf8(package), Utf8(target), TOverwriteMode::Always);
                ADD_FAILURE() << "extracted";
            } catch (const DamagedPackageError& error) {
                const std::string text = error.what();
                EXPECT_EQ(text.rfind("The package \"hostile.zip\" is damaged: ", 0), 0u) << text;
                EXPECT_NE(text.find(row.reason), std::string::npos) << text;
            }
            EXPECT_EQ(Tree(disk), before);
        }
    }
}

// A scheme's INF read before the package is unpacked: only whole, only from the top of the package.
TEST_F(PackageExtractorTest, ATopFileIsReadWholeOrNotAtAll) {
    const fs::path package = Package(BuildZip({{.Name = "Install.INF", .Data = "[Version]", .Deflate = true},
                                               {.Name = "sub/setup.inf", .Data = "nested"},
                                               {.Name = "bad.inf", .Data = "damaged", .Crc = 1},
                                               {.Name = "long.inf", .Data = "short", .DeclaredSize = 3}}));
    const TPackageExtractor extractor(gbk);
    const struct {
        const char* name;
        std::optional<std::string> bytes;
    } cases[] = {{"install.inf", "[Version]"}, {"setup.inf", std::nullopt}, {"bad.inf", std::nullopt},
                 {"long.inf", std::nullopt}, {"none.inf", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(extractor.ReadTopFile(Utf8(package), c.name), c.bytes) << c.name;
    EXPECT_EQ(extractor.ReadTopFile(Utf8(disk / "gone.zip"), "install.inf"), std::nullopt);
}

TEST_F(PackageExtractorTest, MissingPackageIsDamaged) {
    TPackageExtractor extractor(gbk);
    EXPECT_THROW(extractor.ExtractPackage(Utf8(disk / "gone.zip"), Utf8(disk / "dest"), TOverwriteMode::Always),
                 DamagedPackageError);
    EXPECT_FALSE(fs::exists(disk / "dest"));
}

TEST_F(PackageExtractorTest, FileThatCannotBePlacedUndoesTheWholeExtraction) {
    // Extracted in name order: the file is replaced and the folder made before the failure.
    const fs::path destination = disk / "dest";
    WriteFile(destination / "keep.txt", "original");
    fs::create_directories(destination / "zz-blocked.txt");
    const fs::path package = Package(BuildZip({{.Name = "keep.txt", .Data = "replacement"},
                                               {.Name = "made/deep/file.txt", .Data = "x"},
                                               {.Name = "zz-blocked.txt", .Data = "x"}}));
    const auto before = Tree(disk);
    TPackageExtractor extractor(gbk);
    try {
        extractor.ExtractPackage(Utf8(package), Utf8(destination), TOverwriteMode::Always);
        ADD_FAILURE() << "extracted";
    } catch (const DamagedPackageError& error) {
        ADD_FAILURE() << "not the package's fault: " << error.what();
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("zz-blocked.txt"), std::string::npos) << error.what();
    }
    EXPECT_EQ(Tree(disk), before);
}

// ---- Genuine packages ----

struct GenuineCase {
    const char* label;
    std::vector<RawZipEntry> entries;
    TOverwriteMode mode = TOverwriteMode::Always;
    std::map<std::string, std::string> expected;  // a few paths the extraction must give
    std::vector<RawZipEntry> plainEntries = {};   // the same entries as Info-ZIP reads them, when they differ
};

std::vector<GenuineCase> GenuineCases() {
    const std::string large = Pattern(600 * 1024);
    const std::vector<RawZipEntry> theme = {
        {.Name = "theme/"},
        {.Name = "theme/readme.txt", .Data = "A visual style.\r\n"},
        {.Name = "theme/sub/deep/large.bin", .Data = large, .Deflate = true},
        {.Name = "theme/empty.txt"},
        {.Name = "theme/空的/", .Flags = kZipFlagUtf8},
        {.Name = "主题.theme", .Data = "[Theme]\r\n", .Deflate = true, .Flags = kZipFlagUtf8},
    };
    return {
        {"folders, stored and deflated, Chinese and empty",
         theme,
         TOverwriteMode::Always,
         {{"theme/sub/deep/large.bin", large}, {"theme/空的", "<folder>"}, {"主题.theme", "[Theme]\r\n"}}},
        {"overwrite Never keeps a changed file",
         theme,
         TOverwriteMode::Never,
         {{"theme/readme.txt", "changed on disk"}, {"主题.theme", "[Theme]\r\n"}, {"mine.txt", "mine"}}},
        {"overwrite Always replaces it",
         theme,
         TOverwriteMode::Always,
         {{"theme/readme.txt", "A visual style.\r\n"}, {"mine.txt", "mine"}}},
        {"code page 936 names, one whose second byte is a backslash",
         {{.Name = Gbk(u"乗.txt"), .Data = "one"}, {.Name = Gbk(u"图标\\乗\\深.txt"), .Data = "two", .Deflate = true}},
         TOverwriteMode::Always,
         {{"乗.txt", "one"}, {"图标/乗/深.txt", "two"}},
         {{.Name = "乗.txt", .Data = "one", .Flags = kZipFlagUtf8},
          {.Name = "图标/乗/深.txt", .Data = "two", .Deflate = true, .Flags = kZipFlagUtf8}}},
        {"Info-ZIP's UTF-8 name",
         {{.Name = "\x90\x56.txt", .Data = "new", .Extra = UnicodePathExtra("\x90\x56.txt", "新.txt")}},
         TOverwriteMode::Always,
         {{"新.txt", "new"}},
         {{.Name = "新.txt", .Data = "new", .Flags = kZipFlagUtf8}}},
        {"backslashes and dots as separators",
         {{.Name = "./"},
          {.Name = "cursors\\arrow.cur", .Data = "arrow"},
          {.Name = "./cursors//busy.ani", .Data = "busy"}},
         TOverwriteMode::Always,
         {{"cursors/arrow.cur", "arrow"}, {"cursors/busy.ani", "busy"}},
         {{.Name = "cursors/arrow.cur", .Data = "arrow"}, {.Name = "cursors/busy.ani", .Data = "busy"}}},
    };
}

bool HaveUnzip() {
    return std::system("command -v unzip >/dev/null 2>&1") == 0;
}

TEST_F(PackageExtractorTest, GenuinePackagesExtractAsInfoZipDoes) {
    for (const GenuineCase& row : GenuineCases()) {
        SCOPED_TRACE(row.label);
        const fs::path ours = disk / "ours" / "made" / "here";
        const fs::path theirs = disk / "theirs" / "made" / "here";
        fs::remove_all(disk / "ours");
        fs::remove_all(disk / "theirs");
        for (const fs::path& folder : {ours, theirs}) {
            WriteFile(folder / "theme" / "readme.txt", "changed on disk");
            WriteFile(folder / "mine.txt", "mine");
        }
        const fs::path package = Package(BuildZip(row.entries));
        TPackageExtractor(gbk).ExtractPackage(Utf8(package), Utf8(ours), row.mode);
        const auto tree = Tree(ours);
        for (const auto& [path, content] : row.expected)
            EXPECT_EQ(tree.count(path) ? tree.at(path) : "<missing>", content) << path;

        if (!HaveUnzip())
            continue;
        const fs::path plain =
            Package(BuildZip(row.plainEntries.empty() ? row.entries : row.plainEntries), "plain.zip");
        const std::string command = std::string("LC_ALL=C.UTF-8 unzip ") +
                                    (row.mode == TOverwriteMode::Always ? "-oq" : "-nq") + " '" + Utf8(plain) +
                                    "' -d '" + Utf8(theirs) + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_EQ(tree, Tree(theirs));
    }
    if (!HaveUnzip())
        GTEST_SKIP() << "Info-ZIP unzip is not on PATH; compared with the expected paths only";
}

}  // namespace
}  // namespace lumaforge
