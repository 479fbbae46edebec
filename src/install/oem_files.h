#pragma once
#include <string>
#include <string_view>

#include "install/install_host.h"

namespace lumaforge {

// The OEM information and logo are files of Windows' own that the program writes whole or
// deletes. Every change is a segment of the file's journal, "journal\oem\<file name>\", kept until
// the take-back, which gives the user's own file back (or none, where there was none).
// Both raise std::runtime_error, naming the file, when the system folder refuses the change; the
// file is then as it was.
void WriteOemFile(InstallHost& host, const std::string& path, std::string_view bytes);
// A missing file is no change.
void DeleteOemFile(InstallHost& host, const std::string& path);

}  // namespace lumaforge
