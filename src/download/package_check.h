#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumaforge {

// How many bytes from the end of a file IsWholeZipArchive needs to see: the end-of-central-directory
// record, its longest comment and the ZIP64 locator that may stand just before the record.
inline constexpr size_t kZipTailSize = 20 + 22 + 65535;

// A server may announce a Content-Length shorter than the package, so receiving every announced
// byte does not prove the archive is whole. True when `tail`, the last min(fileSize, kZipTailSize)
// bytes of a file of `fileSize` bytes, ends a whole ZIP archive: the end-of-central-directory
// record and its comment finish the file exactly and the central directory it names ends where the
// record starts. A ZIP64 archive is taken on its locator's signature alone.
bool IsWholeZipArchive(std::string_view tail, uint64_t fileSize);

}  // namespace lumaforge
