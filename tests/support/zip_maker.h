#pragma once
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

}  // namespace lumaforge::test
