#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/code_page.h"

namespace lumaforge::publish {

// What is wrong with a package by the program's own rules, one reason per entry; empty when the
// program can install it. The package is extracted with the program's extractor into a fresh
// folder inside `scratch` (left for the caller to remove), so every check of the extractor holds
// (entry names, sizes, CRC, the caps); then what the installer of `kind` needs must be there:
// "<name>.theme" for a visual style, "setup.inf" naming cursor files that are present for a cursor
// scheme, "install.inf" with its [DefaultInstall] section for a sound scheme, a program
// "<name>.scr" for a screen saver, a program "logonui.exe" for a login screen, and a readable
// "<name>.config" whose icons in the package are present for an icon theme. Texts in packages
// without a byte-order mark are read in `codePage`, as on the systems the packages are made for.
std::vector<std::string> PackageFaults(int kind, std::string_view name, const std::filesystem::path& package,
                                       const std::filesystem::path& scratch, const AnsiCodePage& codePage);

// What keeps a preview from being a JPEG picture the program can show: empty when its structure
// is whole (start and end markers, a baseline or progressive frame with a size, at least one scan,
// every segment within the file). It does not decode the picture.
std::string JpegFault(std::string_view bytes);

}  // namespace lumaforge::publish
