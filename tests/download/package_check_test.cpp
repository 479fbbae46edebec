#include "download/package_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "support/zip_maker.h"

namespace lumaforge {
namespace {

using test::MakeZip;

std::string TailOf(const std::string& bytes) {
    return bytes.substr(bytes.size() - std::min(bytes.size(), kZipTailSize));
}

bool IsWhole(const std::string& bytes) {
    return IsWholeZipArchive(TailOf(bytes), bytes.size());
}

std::string TwoEntries() {
    std::string big(100'000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7919 >> 3);
    return MakeZip({{"theme/readme.txt", "A visual style."}, {"theme/style.bin", big}});
}

// The end record of an archive without a comment is its last 22 bytes.
std::string Patched(std::string bytes, size_t field, char value) {
    bytes[bytes.size() - 22 + field] = value;
    return bytes;
}

uint64_t Field(const std::string& bytes, size_t at, int width) {
    uint64_t value = 0;
    for (int i = width; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void Append(std::string& out, std::initializer_list<std::pair<uint64_t, int>> fields) {
    for (const auto& [value, width] : fields) {
        for (int i = 0; i < width; ++i)
            out += static_cast<char>(value >> 8 * i);
    }
}

// minizip writes ZIP64 end records only past 4 GiB, so a small archive gets them by hand, shaped
// as other writers leave them: the classic record holds placeholders and the directory ends where
// the ZIP64 record starts, 56 bytes before the locator.
std::string WithZip64End(const std::string& archive) {
    const size_t record = archive.size() - 22;
    const uint64_t entries = Field(archive, record + 10, 2);
    std::string out = archive.substr(0, record) + "PK\6\6";
    Append(out, {{44, 8}, {45, 2}, {45, 2}, {0, 4}, {0, 4}, {entries, 8}, {entries, 8}});
    Append(out, {{Field(archive, record + 12, 4), 8}, {Field(archive, record + 16, 4), 8}});
    out += "PK\6\7";
    Append(out, {{0, 4}, {record, 8}, {1, 4}});
    out += "PK\5\6";
    Append(out, {{0, 2}, {0, 2}, {0xFFFF, 2}, {0xFFFF, 2}, {0xFFFFFFFF, 4}, {0xFFFFFFFF, 4}, {0, 2}});
    return out;
}

TEST(PackageCheckTest, TellsWholeArchivesFromCutOrDamagedOnes) {
    const std::string whole = TwoEntries();
    ASSERT_GT(whole.size(), kZipTailSize);
    const std::string small = MakeZip({{"a.txt", "a"}});
    const std::string zip64 = WithZip64End(TwoEntries());
    std::string zip64WithoutLocator = zip64;
    zip64WithoutLocator[zip64.size() - 42] = 'X';
    const struct {
        const char* Name;
        std::string Bytes;
        bool Whole;
    } cases[] = {
        {"two entries", whole, true},
        {"comment holding the record's signature",
         MakeZip({{"a.txt", "a"}}, "PK\5\6 starts the record that ends an archive"), true},
        {"no entries", MakeZip({}), true},
        {"cut in half", whole.substr(0, whole.size() / 2), false},
        {"last byte cut", whole.substr(0, whole.size() - 1), false},
        {"cut inside the end record", whole.substr(0, whole.size() - 10), false},
        {"small archive cut inside the end record", small.substr(0, small.size() - 10), false},
        {"garbage after the archive", whole + "<html>404</html>", false},
        {"not an archive", "<html><body>Not Found</body></html>", false},
        {"empty file", "", false},
        {"directory offset off by one", Patched(whole, 16, static_cast<char>(whole[whole.size() - 22 + 16] ^ 1)),
         false},
        {"more entries on this disk than in all", Patched(whole, 8, 3), false},
        {"ZIP64", zip64, true},
        {"ZIP64 cut inside the end record", zip64.substr(0, zip64.size() - 10), false},
        {"ZIP64 placeholders without a locator", zip64WithoutLocator, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsWhole(c.Bytes), c.Whole) << c.Name;
    }
}

TEST(PackageCheckTest, RejectsATailShorterOrLongerThanTheFileSizeCalls) {
    const std::string whole = TwoEntries();
    const std::string tail = TailOf(whole);
    EXPECT_TRUE(IsWholeZipArchive(tail, whole.size()));
    EXPECT_FALSE(IsWholeZipArchive(tail.substr(1), whole.size()));
    const std::string small = MakeZip({{"a.txt", "a"}});
    EXPECT_FALSE(IsWholeZipArchive(small.substr(1), small.size()));
    EXPECT_FALSE(IsWholeZipArchive(small, small.size() - 1));
}

}  // namespace
}  // namespace lumaforge
