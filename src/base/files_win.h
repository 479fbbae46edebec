#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace lumaforge {

struct FolderEntry {
    std::string name;
    bool isFolder = false;
    bool hiddenOrSystem = false;
    bool isLink = false;  // a junction or symbolic link: what it points at lies elsewhere
};

// The entries of a folder without "." and ".."; empty when the folder cannot be read.
std::vector<FolderEntry> ListFolder(const std::string& folder);

// Creates a folder with every missing parent; true when the folder exists afterwards.
bool CreateFolderPath(const std::string& path);

// Deletes a folder with everything in it. A junction or symbolic link inside goes as a link, never
// followed. Files that cannot go (read-only, in use) stay, and so does the folder then; nothing is
// reported.
void DeleteFolderTree(const std::string& path);

// The path of a shell special folder (a CSIDL number); empty when the shell has none.
std::string GetSpecialFolder(int csidl);

// Whether a file (not a folder) is there, and whether a folder is.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Deletes one file; true when it is gone afterwards (or never was).
bool DeleteFileUtf8(const std::string& path);

// A file's bytes as they are; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& content);
// Creates or replaces a file; false when it could not be written whole.
bool WriteWholeFile(const std::string& path, std::string_view content);

}  // namespace lumaforge
