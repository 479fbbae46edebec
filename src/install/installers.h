#pragma once
#include <optional>
#include <string>
#include <vector>

#include "base/resource_kind.h"
#include "install/icon_theme.h"
#include "install/install_host.h"

namespace lumaforge {

// The installers of every kind, "&Apply directly", uninstall and the restore links. Each one is a
// segment of a journal: the installation of a package and its later applications in the package's
// journal, a restore in a journal of its own that goes once the restore is done. An installer that
// fails (an error, or a package that turns out to hold nothing to apply) takes back what it had
// changed before it reports.

// The installer of a kind for a cached package; true when the row counts as installed. Login
// screens never do.
bool InstallPackage(InstallHost& host, TResourceKind kind, const std::string& packagePath);
// "&Apply directly" for an installed package of a kind that offers it.
void ApplyDirectly(InstallHost& host, TResourceKind kind, const std::string& name);

// What an uninstall did: finished when nothing of the installation stayed.
struct UninstallResult {
    bool finished = false;
    std::vector<std::string> kept;    // changed since the installation: the user's now
    std::vector<std::string> stayed;  // could not be removed or put back
    // For a row without a journal: the files of the cached package that were found unchanged.
    int matchedFiles = 0;
    // For a row without a journal: its downloaded package is missing or cannot be read, so nothing
    // tells the package's files from Windows' own or the user's, and nothing was deleted.
    std::string packageNeeded;
    bool cancelled = false;  // the user said no
    explicit operator bool() const { return finished; }
};
// "&Uninstall": takes the package's journal back. A row that looks installed without a journal
// (a file of the same name, or an installation older than the journals) loses only the files whose
// bytes equal an entry of the cached package, after the user agreed to their number; without the
// cached package nothing is deleted. Only visual styles, cursor schemes, screen savers and sound
// schemes are uninstalled.
UninstallResult Uninstall(InstallHost& host, TResourceKind kind, const std::string& name);
// The message that tells the user what an uninstall left; empty when there is nothing to tell.
std::string UninstallReport(const UninstallResult& result);

// What taking back every installation on record did.
struct TakeBackReport {
    int takenBack = 0;                // journals taken back whole, and gone with their folders
    std::vector<std::string> kept;    // changed since: the user's now, left in place
    std::vector<std::string> stayed;  // could not be removed or put back; their journals stay
    bool Finished() const { return stayed.empty(); }
};
// Takes back every customisation made through the program, whatever its kind: the installations
// and applications of packages, folder icons, and what interrupted runs left. The latest goes
// first. No message is shown; the caller reports.
TakeBackReport TakeBackEverything(const ProgramPaths& paths, SystemAccess system);

// The restore link of a kind's page (for screen savers: "Cancel the screensaver").
void RestoreDefaults(InstallHost& host, TResourceKind kind);

// The steps of the kinds, each in a journal segment of its own.
bool InstallVisualStyle(InstallHost& host, const std::string& packagePath);
bool ApplyVisualStyle(InstallHost& host, const std::string& name);
bool InstallLoginScreen(InstallHost& host, const std::string& packagePath);
void RestoreDefaultLoginScreen(InstallHost& host);
bool ApplyCursorScheme(InstallHost& host, const std::string& name);
void RestoreDefaultCursors(InstallHost& host);
bool InstallScreenSaver(InstallHost& host, const std::string& packagePath);
bool ApplyScreenSaver(InstallHost& host, const std::string& name);
// Makes `file` the screen saver, or none when cancelling; true when the setting was written.
bool SetScreenSaver(InstallHost& host, const std::string& file, bool cancel);
void CancelScreenSaver(InstallHost& host);
void PreviewScreenSaver(InstallHost& host, const std::string& name);
// Launches the default installation of an INF file (rundll32 setupapi,InstallHinfSection),
// hidden, without waiting for it; true when it launched.
bool RunInfInstall(InstallHost& host, const std::string& infPath);
// Journals the registry writes of the scheme's install.inf, then runs it.
bool ApplySoundScheme(InstallHost& host, const std::string& name);
void RestoreDefaultSounds(InstallHost& host);
// Applies an extracted theme's file and reports it; false, without a message, when it is missing.
bool ApplyIconTheme(InstallHost& host, const std::string& themeFile);
void RestoreDefaultIcons(InstallHost& host);

// Whether a name can be a sound scheme of ours: a single folder name, and neither ".Default" nor
// ".current" (in any case), which name the sounds of the system's own schemes.
bool IsSoundSchemeName(const std::string& name);

// Writes an icon theme's locations into the registry through a transaction, or takes them out
// again: per-user icons of shell folder classes, the machine-wide "Shell Icons" table, and the
// icons of the registered mail and browser clients, whose own icons (or that they had none) are
// kept in "Lumaforge_Backup" at the first application and put back, and the backup removed, by a
// restore.
class TSetIcons {
public:
    explicit TSetIcons(InstallTransaction& tx) : tx_(tx) {}

    // Applies a theme file's text (restore false) or restores the defaults (restore true), and
    // makes the shell reload its icons.
    void SetIcons(std::optional<IconThemeFile> theme, bool restore);

private:
    void SetDesktopIcons(bool restore);
    void SetStartIcons(bool restore);
    void SetFolderIcons(bool restore);
    void SetDriveIcons(bool restore);
    void SetOtherIcons(bool restore);
    void SetClsidIcons(std::string_view section, bool restore);
    void SetShellIcons(std::string_view section, bool restore);
    void SetClientIcon(const std::string& key, const std::string& location);
    void RestoreClientIcon(const std::string& key);
    std::string Location(std::string_view section, std::string_view key) const;

    InstallTransaction& tx_;
    std::optional<IconThemeFile> theme_;
    std::vector<InstallTransaction::ValueWrite> writes_;
};

}  // namespace lumaforge
