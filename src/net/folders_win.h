#pragma once
#include <string>

namespace lumaforge {

// Deletes a folder with everything in it. Files that cannot go (read-only, in use) stay, and so
// does the folder then; nothing is reported.
void DeleteFolderTree(const std::string& path);

// The path of a shell special folder (a CSIDL number); empty when the shell has none.
std::string GetSpecialFolder(int csidl);

}  // namespace lumaforge
