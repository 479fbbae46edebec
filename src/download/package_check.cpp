#include "download/package_check.h"

#include <algorithm>

#include "base/little_endian.h"

namespace lumaforge {
namespace {

constexpr size_t kEndRecordSize = 22;
constexpr size_t kZip64LocatorSize = 20;
constexpr std::string_view kEndRecordSignature{"PK\5\6", 4};
constexpr std::string_view kZip64LocatorSignature{"PK\6\7", 4};

// The fields are little-endian at any alignment, so they are put together byte by byte.
// `at` is a record signature's place in `tail`, whose first byte is at `tailStart` in the file.
bool EndsWholeArchive(std::string_view tail, size_t at, uint64_t tailStart) {
    const uint32_t entriesOnDisk = ReadLittleEndian(tail, at + 8, 2);
    const uint32_t entriesTotal = ReadLittleEndian(tail, at + 10, 2);
    const uint32_t directorySize = ReadLittleEndian(tail, at + 12, 4);
    const uint32_t directoryOffset = ReadLittleEndian(tail, at + 16, 4);
    const uint32_t commentSize = ReadLittleEndian(tail, at + 20, 2);
    if (at + kEndRecordSize + commentSize != tail.size() || entriesOnDisk > entriesTotal)
        return false;
    // A ZIP64 archive keeps its true directory place in a record before the locator and may leave
    // only placeholders here, so the locator is as far as the check goes.
    if (at >= kZip64LocatorSize && tail.substr(at - kZip64LocatorSize, 4) == kZip64LocatorSignature)
        return true;
    return uint64_t{directoryOffset} + directorySize == tailStart + at;
}

}  // namespace

bool IsWholeZipArchive(std::string_view tail, uint64_t fileSize) {
    if (fileSize < kEndRecordSize || tail.size() != std::min<uint64_t>(fileSize, kZipTailSize))
        return false;
    const uint64_t tailStart = fileSize - tail.size();
    // The signature can also turn up inside the comment or the last entry, so a candidate that
    // does not fit does not end the search.
    for (size_t at = tail.size() - kEndRecordSize + 1; at-- > 0;) {
        if (tail.substr(at, 4) == kEndRecordSignature && EndsWholeArchive(tail, at, tailStart))
            return true;
    }
    return false;
}

}  // namespace lumaforge
