#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "install/install_host.h"

namespace lumaforge {

// What gives one folder its own icon in the shell: the icon lines of the [.ShellClassInfo] section
// of a "desktop.ini" inside it. The file often holds lines of Windows or of the user beside them
// (a localised name, an info tip), which stay as they are.

// "desktop.ini" in the folder, written with or without a trailing backslash.
std::string FolderSettingsFile(std::string_view folder);

// The text with the folder's icon set to `iconFile`: the section and its IconFile and IconIndex
// lines added or changed, an IconResource line (which would win over them) dropped, every other
// line kept. Lines end with CR LF.
std::string WithFolderIcon(std::string_view text, std::string_view iconFile);

// The text without the icon lines that name an icon of `iconsFolder` (the program's own icons),
// the section header too when nothing else is left in it; nothing when the text names no such
// icon. Lines that name another icon stay.
std::optional<std::string> WithoutProgramFolderIcon(std::string_view text, std::string_view iconsFolder);

// True when the text holds nothing but blank lines.
bool IsBlankText(std::string_view text);

// Gives the folder the icon through its settings file, journaled in the folder's own journal so
// that a restore can put the file back as it was. Raises std::runtime_error when the file cannot
// be written (nothing is changed then).
void SetFolderIcon(InstallHost& host, const std::string& folder, const std::string& iconFile);

// Takes the program's icon away from the folder: the settings file comes back as it was before the
// program changed it, where nobody changed it since; otherwise only the program's icon lines go,
// and the file with them only when nothing else is left in it and the program made it. Returns
// what could not be put back (nothing when the restore finished); raises std::runtime_error when
// the program's lines cannot be taken out (nothing is changed then).
std::vector<std::string> RestoreFolderIcon(InstallHost& host, const std::string& folder);

}  // namespace lumaforge
