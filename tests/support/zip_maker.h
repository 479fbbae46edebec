#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumaforge::test {

struct ZipEntry {
    std::string Name;
    std::string Data;
};

// The bytes of a real ZIP archive written by minizip. Entries are stored, not deflated, so their
// sizes set the archive's layout.
std::string MakeZip(const std::vector<ZipEntry>& entries, const char* comment = nullptr);

// One entry of an archive laid out byte by byte, for archives no honest tool writes.
struct RawZipEntry {
    std::string Name{};  // the bytes of the name as stored; a trailing "/" makes a folder entry
    std::string Data{};  // the uncompressed content
    bool Deflate = false;
    uint16_t Flags = 0;                      // general purpose bits: 0 encrypted, 11 UTF-8 name
    std::optional<uint16_t> Method{};        // replaces the method the data was written with
    std::optional<uint32_t> Crc{};           // replaces the true CRC-32
    std::optional<uint64_t> DeclaredSize{};  // replaces the true uncompressed size
    std::string Extra{};                     // the extra field, in both headers
};
inline constexpr uint16_t kZipFlagEncrypted = 1;
inline constexpr uint16_t kZipFlagUtf8 = 1 << 11;

// A ZIP archive of the given entries, marked as made on a Unix host: Info-ZIP then keeps the names
// as they are and takes the entries' mode bits.
std::string BuildZip(const std::vector<RawZipEntry>& entries);

// An Info-ZIP Unicode path extra field that gives the stored name `storedName` the UTF-8 name `utf8Name`.
std::string UnicodePathExtra(const std::string& storedName, const std::string& utf8Name);

}  // namespace lumaforge::test
