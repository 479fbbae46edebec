#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/code_page.h"
#include "base/program_paths.h"
#include "base/shell_win.h"
#include "sysinfo/oem_info.h"

namespace lumaforge {

// A BMP picture held whole in memory: the file's bytes up to the end of its pixels.
struct LogoPicture {
    std::string bmp;
    BmpLayout layout;
    bool Empty() const { return bmp.empty(); }
};

// What reading a chosen logo file gave.
struct LogoLoad {
    bool found = false;  // false: the file does not exist
    LogoProblem problem = LogoProblem::kNone;
    LogoPicture picture;  // set when there is no problem
};

// Reads a BMP file and checks it against the logo's size limits (unless `checkSize` is false, for
// the logo already installed). Its pixels are read only once the headers passed, so a huge file
// costs nothing before it is refused. The header's file size is set to the bytes kept.
LogoLoad ReadLogoFile(const std::string& path, bool checkSize = true);

// Replaces a file's content as one step: the bytes go to a temporary file beside it, which then
// takes the file's place. A write that fails leaves the old file as it was and no temporary file
// behind. Raises std::runtime_error on failure, naming the file.
void ReplaceFileContent(const std::string& path, std::string_view content);

// Deletes a file when it exists; raises std::runtime_error when it stays.
void DeleteExistingFile(const std::string& path);

// The OEM information and logo in the system folder of `paths`, read at every call: the window
// learns the folder only when it is first shown. Tests stand a temporary folder in for it.
class OemFiles {
public:
    OemFiles(const ProgramPaths& paths, const AnsiCodePage& codePage, ShellExecuteFunction shellExecute)
        : paths_(paths), codePage_(codePage), shellExecute_(std::move(shellExecute)) {}

    std::string InfoFile() const { return OemInfoFile(paths_.SysPath()); }
    std::string LogoFile() const { return OemLogoFile(paths_.SysPath()); }

    // Nothing when oeminfo.ini does not exist; an unreadable file reads as empty.
    std::optional<OemInformation> ReadInformation() const;
    // Writing and erasing raise std::runtime_error when the system folder refuses them.
    void WriteInformation(const OemInformation& info) const;
    void EraseInformation() const;
    void WriteLogo(const LogoPicture& picture) const;
    void EraseLogo() const;

    // Opens System Properties on its first page, where the information shows.
    void OpenSystemProperties() const;

private:
    const ProgramPaths& paths_;
    const AnsiCodePage& codePage_;
    ShellExecuteFunction shellExecute_;
};

}  // namespace lumaforge
