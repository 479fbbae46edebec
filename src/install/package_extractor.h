#pragma once
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "base/code_page.h"
#include "install/install_host.h"

namespace lumaforge {

// A package that cannot be extracted whole and safely: unreadable, damaged, hostile or too large.
// Its text is meant for the user.
class DamagedPackageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What no real package comes near; an archive beyond them is a damaged package.
struct ExtractLimits {
    uint64_t maxTotalSize = 2ULL << 30;  // bytes, all entries together
    uint32_t maxEntries = 65536;
    uint32_t maxRatio = 1000;  // uncompressed to compressed, per entry
};

// The one package extractor of the installers: every entry of a ZIP archive into a destination
// folder, its folders recreated (the destination and any missing parent created too).
//
// Every entry name is checked before the first byte is written; entry names without the UTF-8
// flag are read in the code page given (the one of the systems the packages are made on), unless
// the entry carries Info-ZIP's UTF-8 name for them. Each entry is first written into a private
// folder inside the destination and checked against its CRC; only when every entry is whole do
// the files take their final names (with Always, the files they replace are kept aside until the
// end, so that a failure while placing puts them back). On any failure what this extraction
// created is removed again and the files that were there before stay as they were. The error is
// a DamagedPackageError for the package itself, a std::runtime_error when a file or folder cannot
// be written (a full disk, a file in use, a file where a folder belongs).
//
// Through a transaction (Unpack), the folders it creates, its scratch folder and every file it
// places or replaces are announced before they are made, the files placed with their size and
// CRC; a replaced file's old bytes go into the journal's folder.
class TPackageExtractor : public PackageUnpacker {
public:
    explicit TPackageExtractor(const AnsiCodePage& entryNameCodePage, ExtractLimits limits = {});

    // Paths are UTF-8; the destination may end with a path separator or not.
    void ExtractPackage(const std::string& packagePath, const std::string& destination, TOverwriteMode mode);
    void Unpack(const std::string& packagePath, const std::string& destination, TOverwriteMode mode,
                InstallTransaction& tx) override;
    std::optional<std::vector<PackageFile>> ListFiles(const std::string& packagePath) const override;
    std::optional<std::string> ReadTopFile(const std::string& packagePath, const std::string& name) const override;

private:
    void Run(const std::string& packagePath, const std::string& destination, TOverwriteMode mode,
             InstallTransaction* tx) const;
    // With `list`, only judges the entries and hands out the files.
    void Extract(const std::filesystem::path& package, const std::filesystem::path& destination, TOverwriteMode mode,
                 InstallTransaction* tx, std::vector<PackageFile>* list = nullptr) const;

    const AnsiCodePage& entryNameCodePage_;
    ExtractLimits limits_;
};

}  // namespace lumaforge
