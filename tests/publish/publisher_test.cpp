#include "publish/publisher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

#include "app/catalog.h"
#include "base/code_page_posix.h"
#include "base/manifest.h"
#include "base/resource_kind.h"
#include "publish/package_rules.h"
#include "support/zip_maker.h"

namespace lumaforge::publish {
namespace {

namespace fs = std::filesystem;
using test::BuildZip;
using test::MakeZip;
using test::RawZipEntry;

fs::path PathOf(std::string_view utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The smallest whole baseline JPEG structure: start, frame, scan with a stuffed byte and a restart
// marker in its data, end.
std::string Jpeg() {
    return std::string("\xFF\xD8", 2) + std::string("\xFF\xC0\x00\x0B\x08\x00\x01\x00\x01\x01\x01\x11\x00", 13) +
           std::string("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10) +
           std::string("\x12\xFF\x00\x34\xFF\xD0\x56", 7) + std::string("\xFF\xD9", 2);
}

const std::string kProgram = "MZ\x90\x00 a Windows program";

// A source of one good package of each kind, laid out as maintainers lay it out.
void WriteGoodSource(const fs::path& source) {
    Write(source / "status.txt", "\xEF\xBB\xBF演示资源库 demo\n");
    Write(source / "api.txt", "[Lumaforge]\r\nADHomeURL=http://example.test/home/\r\n");
    Write(source / PathOf("theme/Windows 7/Aero Glass.zip"),
          MakeZip({{"Aero Glass.theme", "[Theme]\r\nDisplayName=Aero Glass\r\n"}, {"Aero Glass/wallpaper.bmp", "BM"}}));
    Write(source / PathOf("theme/Windows 7/Aero Glass.jpg"), Jpeg());
    // Made on a Chinese system: the entry's name in code page 936, without the UTF-8 flag.
    Write(source / PathOf("theme/中国风/水墨山水.zip"),
          MakeZip({{"\xCB\xAE\xC4\xAB\xC9\xBD\xCB\xAE.theme", "[Theme]\r\n"}}));
    Write(source / "cursor/Neon.zip", MakeZip({{"setup.inf",
                                                "[Version]\r\n[Strings]\r\npointer = \"Arrow.cur\"\r\n"
                                                "busy=sub\\busy.cur\r\n"},
                                               {"arrow.cur", "cur"},
                                               {"sub/busy.cur", "cur"}}));
    Write(source / "cursor/Neon.jpg", Jpeg());
    Write(source / "sound/Chimes.zip",
          MakeZip({{"install.inf", "[Version]\r\n[DefaultInstall]\r\nAddReg=Sounds\r\n"}, {"ding.wav", "RIFF"}}));
    Write(source / "screensave/Aquarium.zip", MakeZip({{"Aquarium.scr", kProgram}}));
    Write(source / PathOf("logon/星空.zip"), MakeZip({{"logonui.exe", kProgram}}));
    Write(source / PathOf("logon/星空.jpg"), Jpeg());
    Write(source / "icon/Faenza.zip", MakeZip({{"Faenza.config",
                                                "[Desktop Icons]\r\nMy Computer=%themepath%icons\\computer.ico\r\n"
                                                "[Folder Icons]\r\nClosed Folder=%THEMEPATH%Icons\\Folder.ico,0\r\n"
                                                "Printers=%SystemRoot%\\system32\\shell32.dll,16\r\n"},
                                               {"icons/computer.ico", "ico"},
                                               {"icons/folder.ico", "ico"}}));
}

class PublisherTest : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        root_ = fs::temp_directory_path() /
                ("lumaforge-publish-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(root_);
        fs::create_directories(root_);
        source_ = root_ / "source";
        out_ = root_ / "out";
        WriteGoodSource(source_);
        std::ostringstream out, err;
        ASSERT_EQ(Run({"keygen", Utf8(root_ / "keys")}, out, err), 0) << err.str();
    }
    void TearDown() override { fs::remove_all(root_); }

    int Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
        return RunPublishTool(arguments, gbk_, out, err);
    }
    int Build(std::string& errors) {
        std::ostringstream out, err;
        const int status =
            Run({"build", "--key", Utf8(root_ / "keys" / kSecretKeyFile), Utf8(source_), Utf8(out_)}, out, err);
        errors = err.str();
        return status;
    }
    PublicKey Key() { return *ParsePublicKeyText(Read(root_ / "keys" / kPublicKeyFile)); }

    IconvCodePage gbk_{"CP936"};
    fs::path root_, source_, out_;
};

TEST_F(PublisherTest, PublishesWhatTheProgramReadsAndTrusts) {
    std::string errors;
    ASSERT_EQ(Build(errors), 0) << errors;
    const fs::path xp = out_ / "softdata" / "xp";
    const std::string catalogBytes = Read(xp / "config.txt");
    EXPECT_NE(catalogBytes.find("\xD1\xDD\xCA\xBE"), std::string::npos) << "演示 in code page 936";
    EXPECT_NE(catalogBytes.find("\r\n"), std::string::npos);

    const std::optional<Catalog> catalog = ParseCatalog(gbk_.ToUtf8(catalogBytes));
    ASSERT_TRUE(catalog);
    EXPECT_EQ(catalog->statusText, "演示资源库 demo");
    ASSERT_EQ(catalog->themes.size(), 2u);
    EXPECT_EQ(catalog->themes[0].name, "Windows 7");
    EXPECT_EQ(catalog->themes[0].items, std::vector<std::string>{"Aero Glass"});
    EXPECT_EQ(catalog->themes[1].name, "中国风");
    EXPECT_EQ(catalog->lists[static_cast<int>(TResourceKind::Cursor)], std::vector<std::string>{"Neon"});
    EXPECT_EQ(catalog->lists[static_cast<int>(TResourceKind::Logon)], std::vector<std::string>{"星空"});
    EXPECT_EQ(Read(out_ / "api" / "api.txt"), Read(source_ / "api.txt"));

    const CatalogVerification verified =
        VerifyCatalog(Key(), catalogBytes, Read(xp / "manifest.txt"), Read(xp / "manifest.sig"));
    ASSERT_EQ(verified.trust, CatalogTrust::Verified);
    // Seven packages and three previews, each listed with the digest of the published file.
    ASSERT_EQ(verified.manifest->Entries().size(), 10u);
    for (const ManifestEntry& entry : verified.manifest->Entries()) {
        const std::string file = Utf8(xp / "res" / std::string(*KindName(entry.kind)) /
                                      PathOf(entry.name + (entry.role == ManifestRole::Package ? ".zip" : ".jpg")));
        EXPECT_EQ(CheckFile(file, entry.digest), FileTrust::Matches) << file;
    }
    EXPECT_EQ(Read(xp / "res" / "theme" / "Aero Glass.zip"), Read(source_ / "theme" / "Windows 7" / "Aero Glass.zip"));
}

TEST_F(PublisherTest, RepublishingReplacesTheEarlierTreeWhole) {
    std::string errors;
    ASSERT_EQ(Build(errors), 0) << errors;
    fs::remove(source_ / "sound" / "Chimes.zip");
    ASSERT_EQ(Build(errors), 0) << errors;
    EXPECT_FALSE(fs::exists(out_ / "softdata" / "xp" / "res" / "sound" / "Chimes.zip"));
    EXPECT_TRUE(fs::exists(out_ / "softdata" / "xp" / "res" / "icon" / "Faenza.zip"));
    // Nothing of the work is left beside OUT.
    size_t beside = 0;
    for (const auto& item : fs::directory_iterator(root_))
        beside += Utf8(item.path().filename()).starts_with("out") ? 1 : 0;
    EXPECT_EQ(beside, 1u);
}

TEST_F(PublisherTest, RefusesHostileAndIncompletePackagesAndWritesNothing) {
    const std::string hostile = BuildZip(
        {{.Name = "Aero Glass.theme", .Data = "[Theme]"}, {.Name = "../../windows/system32/evil.dll", .Data = "MZ"}});
    const std::string badCrc = BuildZip({{.Name = "Aero Glass.theme", .Data = "[Theme]", .Crc = 1234}});
    const std::string jpeg = Jpeg();
    const struct {
        const char* what;
        std::function<void(const fs::path&)> change;
        const char* where;
        const char* reason;
    } cases[] = {
        {"entry leaving the folder", [&](const fs::path& s) { Write(s / "theme/Windows 7/Aero Glass.zip", hostile); },
         "theme/Windows 7/Aero Glass.zip", "leads out of the destination folder"},
        {"damaged entry", [&](const fs::path& s) { Write(s / "theme/Windows 7/Aero Glass.zip", badCrc); },
         "theme/Windows 7/Aero Glass.zip", "does not match its checksum"},
        {"no ZIP", [](const fs::path& s) { Write(s / "sound/Chimes.zip", "not an archive"); }, "sound/Chimes.zip",
         "not a ZIP archive"},
        {"style without .theme",
         [](const fs::path& s) {
             Write(s / "theme/Windows 7/Aero Glass.zip", MakeZip({{"Other.theme", "x"}}));
         },
         "theme/Windows 7/Aero Glass.zip", "\"Aero Glass.theme\""},
        {"cursor file missing",
         [](const fs::path& s) {
             Write(s / "cursor/Neon.zip",
                   MakeZip({{"setup.inf", "[Strings]\r\npointer=arrow.cur\r\nhelp=help.cur\r\n"}, {"arrow.cur", "c"}}));
         },
         "cursor/Neon.zip", "names the help cursor \"help.cur\", which the package lacks"},
        {"cursor scheme without setup.inf",
         [](const fs::path& s) {
             Write(s / "cursor/Neon.zip", MakeZip({{"a.cur", "c"}}));
         },
         "cursor/Neon.zip", "no \"setup.inf\""},
        {"setup.inf naming nothing",
         [](const fs::path& s) {
             Write(s / "cursor/Neon.zip", MakeZip({{"setup.inf", "[Version]\r\n"}}));
         },
         "cursor/Neon.zip", "names no cursor"},
        {"sound scheme without INF",
         [](const fs::path& s) {
             Write(s / "sound/Chimes.zip", MakeZip({{"a.wav", "R"}}));
         },
         "sound/Chimes.zip", "no \"install.inf\""},
        {"INF without DefaultInstall",
         [](const fs::path& s) {
             Write(s / "sound/Chimes.zip", MakeZip({{"install.inf", "[Version]\r\n"}}));
         },
         "sound/Chimes.zip", "no [DefaultInstall] section"},
        {"screen saver without .scr",
         [](const fs::path& s) {
             Write(s / "screensave/Aquarium.zip", MakeZip({{"Other.scr", kProgram}}));
         },
         "screensave/Aquarium.zip", "no \"Aquarium.scr\""},
        {"screen saver that is no program",
         [](const fs::path& s) {
             Write(s / "screensave/Aquarium.zip", MakeZip({{"Aquarium.scr", "#!/bin/sh"}}));
         },
         "screensave/Aquarium.zip", "is not a Windows program"},
        {"login screen without logonui.exe",
         [](const fs::path& s) {
             Write(s / PathOf("logon/星空.zip"), MakeZip({{"readme.txt", "x"}}));
         },
         "logon/星空.zip", "no \"logonui.exe\""},
        {"icon missing",
         [](const fs::path& s) {
             Write(s / "icon/Faenza.zip",
                   MakeZip({{"Faenza.config", "[Drive Icons]\r\nHard Drive=%themepath%hd.ico\r\n"}}));
         },
         "icon/Faenza.zip", "gives \"Hard Drive\" the icon \"hd.ico\", which the package lacks"},
        {"icon theme without .config",
         [](const fs::path& s) {
             Write(s / "icon/Faenza.zip", MakeZip({{"icons/a.ico", "i"}}));
         },
         "icon/Faenza.zip", "no \"Faenza.config\""},
        {"preview not a picture", [](const fs::path& s) { Write(s / "cursor/Neon.jpg", "<html>"); }, "cursor/Neon.jpg",
         "not a JPEG picture"},
        {"preview cut short", [&](const fs::path& s) { Write(s / "cursor/Neon.jpg", jpeg.substr(0, 20)); },
         "cursor/Neon.jpg", "cut short"},
        {"preview without package", [&](const fs::path& s) { Write(s / "cursor/Lost.jpg", jpeg); }, "cursor/Lost.jpg",
         "without its package"},
        {"device name",
         [](const fs::path& s) {
             Write(s / "screensave/NUL.zip", MakeZip({{"NUL.scr", kProgram}}));
         },
         "screensave/NUL.zip", "names a device"},
        {"name with white space",
         [](const fs::path& s) {
             Write(s / "screensave/ Aquarium.zip", MakeZip({{" Aquarium.scr", kProgram}}));
         },
         "screensave/ Aquarium.zip", "white space"},
        {"name outside code page 936",
         [](const fs::path& s) {
             Write(s / PathOf("logon/\xF0\x9F\x98\x80.zip"), MakeZip({{"logonui.exe", kProgram}}));
         },
         "logon/\xF0\x9F\x98\x80.zip", "code page 936"},
        {"two names for one cache file",
         [](const fs::path& s) {
             Write(s / "screensave/AQUARIUM.zip", MakeZip({{"AQUARIUM.scr", kProgram}}));
         },
         "screensave/Aquarium.zip", "has the name of screensave/AQUARIUM.zip"},
        {"same style in two categories",
         [](const fs::path& s) { fs::copy(s / "theme/Windows 7", s / "theme/Copies", fs::copy_options::recursive); },
         "theme/Windows 7/Aero Glass.zip", "has the name of theme/Copies/Aero Glass.zip"},
        {"blank category", [](const fs::path& s) { fs::rename(s / PathOf("theme/中国风"), s / "theme/  "); },
         "theme/  ", "blank"},
        {"misnamed kind folder", [](const fs::path& s) { fs::rename(s / "cursor", s / "cursors"); }, "cursors",
         "neither a kind folder"},
        {"package in a sub-folder", [](const fs::path& s) { fs::create_directories(s / "icon" / "more"); }, "icon/more",
         "not in sub-folders"},
    };
    for (const auto& c : cases) {
        fs::remove_all(source_);
        WriteGoodSource(source_);
        c.change(source_);
        std::string errors;
        EXPECT_EQ(Build(errors), 1) << c.what;
        EXPECT_NE(errors.find(std::string(c.where) + ": "), std::string::npos) << c.what << "\n" << errors;
        EXPECT_NE(errors.find(c.reason), std::string::npos) << c.what << "\n" << errors;
        EXPECT_FALSE(fs::exists(out_)) << c.what;
    }
}

TEST_F(PublisherTest, NamesEveryBadPackageInOneRun) {
    Write(source_ / "sound/Chimes.zip", "not an archive");
    Write(source_ / "screensave/Aquarium.zip", MakeZip({{"Other.scr", kProgram}}));
    std::string errors;
    EXPECT_EQ(Build(errors), 1);
    EXPECT_NE(errors.find("sound/Chimes.zip: "), std::string::npos) << errors;
    EXPECT_NE(errors.find("screensave/Aquarium.zip: "), std::string::npos) << errors;
}

TEST_F(PublisherTest, LeavesAForeignOutputFolderAlone) {
    Write(out_ / "notes.txt", "mine");
    std::string errors;
    EXPECT_EQ(Build(errors), 1);
    EXPECT_NE(errors.find("holds files that are no publication"), std::string::npos) << errors;
    EXPECT_EQ(Read(out_ / "notes.txt"), "mine");
}

TEST_F(PublisherTest, KeygenMakesAPairOnceAndBuildNeedsItsSecret) {
    const fs::path keys = root_ / "keys";
    const std::string pub = Read(keys / kPublicKeyFile);
    ASSERT_EQ(pub.size(), 65u);
    EXPECT_EQ(pub.back(), '\n');
    const std::optional<PublicKey> key = ParsePublicKeyText(pub);
    ASSERT_TRUE(key);
    struct stat info {};
    ASSERT_EQ(stat((keys / kSecretKeyFile).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // A second keygen would orphan the builds that trust the first key.
    std::ostringstream out, err;
    EXPECT_EQ(Run({"keygen", Utf8(keys)}, out, err), 1);
    EXPECT_NE(err.str().find("exists"), std::string::npos);
    EXPECT_EQ(Read(keys / kPublicKeyFile), pub);

    Write(keys / kSecretKeyFile, "not a key\n");
    std::string errors;
    EXPECT_EQ(Build(errors), 1);
    EXPECT_NE(errors.find("catalog.key: is not a secret key"), std::string::npos) << errors;
    EXPECT_EQ(Run({"build", "SOURCE", "OUT"}, out, err), 2);
}

TEST(JpegFaultTest, JudgesTheStructureOnly) {
    const std::string good = Jpeg();
    ASSERT_EQ(JpegFault(good), "");
    std::string progressive = good;
    progressive[3] = '\xC2';
    EXPECT_EQ(JpegFault(progressive), "");
    std::string lossless = good;
    lossless[3] = '\xC3';
    std::string noWidth = good;
    noWidth[10] = 0;
    const struct {
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"", "not a JPEG"},
        {"\x89PNG\r\n", "not a JPEG"},
        {good.substr(0, good.size() - 2), "cut short"},
        {good.substr(0, 10), "cut short"},
        {good.substr(0, 2) + good.substr(15), "before its frame header"},
        {good.substr(0, 15) + good.substr(good.size() - 2), "before any picture data"},
        {lossless, "baseline and progressive"},
        {noWidth, "frame header is damaged"},
    };
    for (const auto& c : cases)
        EXPECT_NE(JpegFault(c.bytes).find(c.reason), std::string::npos) << JpegFault(c.bytes);
}

}  // namespace
}  // namespace lumaforge::publish
