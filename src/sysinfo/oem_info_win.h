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
    // oeminfo.ini as it is written for `info`.
    std::string InformationBytes(const OemInformation& info) const;

    // Opens System Properties on its first page, where the information shows.
    void OpenSystemProperties() const;

private:
    const ProgramPaths& paths_;
    const AnsiCodePage& codePage_;
    ShellExecuteFunction shellExecute_;
};

}  // namespace lumaforge
