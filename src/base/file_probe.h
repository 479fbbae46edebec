#pragma once
#include <string>

namespace lumaforge {

// Existence tests on the file system, behind an interface so the row logic can be tested anywhere.
class FileProbe {
public:
    virtual ~FileProbe() = default;
    virtual bool FileExists(const std::string& path) const = 0;
    virtual bool FolderExists(const std::string& path) const = 0;
};

}  // namespace lumaforge
