#include "install/installers.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <stdexcept>

#include "base/text.h"
#include "install/cursor_scheme.h"
#include "install/inf_registry.h"
#include "install/journal_store.h"
#include "install/journaled.h"
#include "install/package_name.h"

namespace lumaforge {
namespace {
constexpr int kAnswerYes = 6;  // IDYES

constexpr char kWinlogonKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr char kCursorsKey[] = "Control Panel\\Cursors";
constexpr char kCursorSchemesKey[] = "Control Panel\\Cursors\\Schemes";
constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kSoundSchemesKey[] = "AppEvents\\Schemes";
// Only these applications' events are restored; others keep what they have.
constexpr const char* kSoundApplicationKeys[] = {"AppEvents\\Schemes\\Apps\\.Default",
                                                 "AppEvents\\Schemes\\Apps\\Explorer"};
constexpr char kClsidKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID";
constexpr char kShellIconsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Icons";
constexpr char kMailIconKey[] = "SOFTWARE\\Clients\\Mail\\Outlook Express\\DefaultIcon";
constexpr char kBrowsersKey[] = "SOFTWARE\\Clients\\StartMenuInternet";
constexpr char kBackup[] = "Lumaforge_Backup";
// The backup of a client that had no icon of its own: a value of no type.
constexpr uint32_t kRegNone = 0;

std::string TextOf(const InstallHost& host, const std::string& bytes) {
    return CodePageOf(host).ToUtf8(bytes);
}

std::string ReadOrThrow(const InstallHost& host, const std::string& path) {
    std::optional<std::string> bytes = host.system.files.ReadFile(path);
    if (!bytes)
        throw std::runtime_error("Cannot open file \"" + path + "\"");
    return std::move(*bytes);
}

std::string PackageJournal(const InstallHost& host, TResourceKind kind, const std::string& name) {
    return PackageJournalFolder(host.paths, kind, name);
}

std::string RestoreJournal(const InstallHost& host, TResourceKind kind) {
    return PassingJournalFolder(host.paths, "restore", KindName(static_cast<int>(kind)).value_or(""));
}

// --- Visual styles

bool LaunchVisualStyle(InstallHost& host, const std::string& name) {
    const std::string parameters = " shell32.dll, Control_RunDLL desk.cpl desk,@Themes /Action:OpenTheme /file:\"" +
                                   host.paths.InstalledThemeFile(name) + "\"";
    // Whether and when the style is applied is the Display control panel's decision.
    host.shellExecute("", host.paths.SysPath() + "\\rundll32.exe", parameters, kShowNormal);
    return true;
}

// --- Cursor schemes

void ApplyCursorSchemeIn(InstallHost& host, InstallTransaction& tx, const std::string& name) {
    const std::string folder = host.paths.CursorSchemeFolder(name);
    // setup.inf is 8-bit text in the ANSI code page, as the setup interface reads it.
    const CursorRoleFiles files = ReadCursorInf(TextOf(host, ReadOrThrow(host, folder + "setup.inf")));
    std::vector<InstallTransaction::ValueWrite> writes;
    for (size_t role = 0; role < kCursorRoleCount; ++role) {
        const std::string path = files[role].empty() ? std::string() : folder + files[role];
        writes.push_back({RegRoot::CurrentUser, kCursorsKey, CursorRoleTable[role].valueName, RegValue::String(path)});
    }
    writes.push_back({RegRoot::CurrentUser, kCursorsKey, "", RegValue::String(name)});
    writes.push_back(
        {RegRoot::CurrentUser, kCursorSchemesKey, name, RegValue::String(CursorSchemeList(folder, files))});
    tx.SetValues(writes);
    for (size_t role = 0; role < kCursorRoleCount; ++role) {
        // A file that is missing or no cursor leaves the role's pointer as it is.
        if (!files[role].empty())
            host.system.settings.ShowPointer(folder + files[role], CursorRoleTable[role].systemCursorId);
    }
    tx.Apply(SystemSetting::Pointers);
}

// --- Screen savers

// The setting names the saver by its short path.
std::vector<InstallTransaction::ValueWrite> ScreenSaverValues(const std::string& shortPath) {
    return {{RegRoot::CurrentUser, kDesktopKey, "SCRNSAVE.EXE", RegValue::String(shortPath)},
            {RegRoot::CurrentUser, kDesktopKey, "ScreenSaverIsSecure", RegValue::String("1")}};
}

bool SetScreenSaverIn(InstallHost& host, InstallTransaction& tx, const std::string& file, bool cancel) {
    if (!cancel && !host.system.files.FileExists(file)) {
        host.showMessage("没有找到屏保文件", mkInformation);
        return false;
    }
    if (!host.system.registry.KeyExists(RegRoot::CurrentUser, kDesktopKey))
        return false;
    if (cancel)
        tx.SetString(RegRoot::CurrentUser, kDesktopKey, "SCRNSAVE.EXE", "");
    else
        tx.SetValues(ScreenSaverValues(host.system.files.ShortPath(file)));
    tx.Apply(SystemSetting::ScreenSaver);
    if (!cancel)
        host.system.settings.StartScreenSaver();
    return true;
}

// --- Sound schemes

constexpr char kSoundSchemeInf[] = "install.inf";

// The INF registers the scheme in a process of its own: what it is going to write is on record
// before it starts.
void AnnounceSoundSchemeInf(InstallHost& host, InstallTransaction& tx, const std::optional<std::string>& inf) {
    if (!inf)
        return;
    std::vector<InstallTransaction::ValueWrite> writes;
    for (InfRegistryWrite& write :
         ReadInfRegistryWrites(DecodeMarkedText(*inf, CodePageOf(host)), host.paths.WinPath(), host.paths.SysPath())) {
        if (write.noClobber && host.system.registry.ReadValue(write.write.root, write.write.key, write.write.name))
            continue;
        writes.push_back(std::move(write.write));
    }
    tx.AnnounceValues(writes);
}

bool ApplySoundSchemeIn(InstallHost& host, InstallTransaction& tx, const std::string& name) {
    const std::string infPath = host.paths.SoundSchemeFolder(name) + kSoundSchemeInf;
    AnnounceSoundSchemeInf(host, tx, host.system.files.ReadFile(infPath));
    return RunInfInstall(host, infPath);
}

void RestoreDefaultSoundSchemeIn(InstallHost& host, InstallTransaction& tx) {
    SystemRegistry& registry = host.system.registry;
    if (!registry.KeyExists(RegRoot::CurrentUser, kSoundSchemesKey))
        return;
    std::vector<InstallTransaction::ValueWrite> writes = {
        {RegRoot::CurrentUser, kSoundSchemesKey, "", RegValue::String(".default")}};
    for (const char* application : kSoundApplicationKeys) {
        for (const std::string& event : registry.SubKeyNames(RegRoot::CurrentUser, application)) {
            const std::string eventKey = std::string(application) + "\\" + event;
            // Keys are never created here: an event without ".current" keeps none.
            if (!registry.KeyExists(RegRoot::CurrentUser, eventKey + "\\.current"))
                continue;
            std::optional<RegValue> sound = registry.ReadValue(RegRoot::CurrentUser, eventKey + "\\.Default", "");
            if (!sound || !sound->IsString())
                sound = RegValue::String("");
            writes.push_back({RegRoot::CurrentUser, eventKey + "\\.current", "", *sound});
        }
    }
    tx.SetValues(writes);
}

// --- Icon themes

bool ApplyIconThemeIn(InstallHost& host, InstallTransaction& tx, const std::string& themeFile) {
    if (!host.system.files.FileExists(themeFile))
        return false;
    const std::string bytes = ReadOrThrow(host, themeFile);
    TSetIcons(tx).SetIcons(IconThemeFile(DecodeMarkedText(bytes, CodePageOf(host)), ThemePathOf(themeFile)), false);
    return true;
}

// Said once the change is on record as finished, never while the journal could still roll it back.
bool ToldApplied(InstallHost& host, bool applied) {
    if (applied)
        host.showMessage("Applied system icons successfully.", mkInformation);
    return applied;
}

// --- Uninstall

// Where a kind's package files go: the destination its installer extracts into.
std::string DestinationOf(const InstallHost& host, TResourceKind kind, const std::string& name) {
    switch (kind) {
        case TResourceKind::Theme:
            return host.paths.ThemesFolder();
        case TResourceKind::Cursor:
            return host.paths.InstalledCursorFolder(name);
        case TResourceKind::ScreenSaver:
            return host.paths.SysPath();
        case TResourceKind::Sound:
            return host.paths.InstalledSoundFolder(name);
        default:
            return {};
    }
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// A row that looks installed but has no journal: only the package's own bytes go.
UninstallResult UninstallWithoutJournal(InstallHost& host, TResourceKind kind, const std::string& name) {
    UninstallResult result;
    const std::string destination = DestinationOf(host, kind, name);
    const std::string package = host.paths.PackageFile(static_cast<int>(kind), name);
    if (destination.empty() || !host.system.files.FileExists(package)) {
        result.packageNeeded = package;
        return result;
    }
    const std::optional<std::vector<PackageUnpacker::PackageFile>> entries = host.extractor.ListFiles(package);
    if (!entries) {
        result.packageNeeded = package;
        return result;
    }
    std::vector<std::string> matching;
    std::vector<std::string> folders;
    for (const PackageUnpacker::PackageFile& entry : *entries) {
        const std::string path = destination + "\\" + entry.path;
        for (std::string folder = FolderOf(path); folder.size() > destination.size(); folder = FolderOf(folder))
            folders.push_back(folder);
        const std::optional<std::string> bytes = host.system.files.ReadFile(path);
        if (bytes && FileFingerprint::Of(*bytes) == entry.content)
            matching.push_back(path);
    }
    result.matchedFiles = static_cast<int>(matching.size());
    if (matching.empty())
        return result;
    const std::string question = "\"" + name + "\" was installed without a record of its changes. " +
                                 std::to_string(matching.size()) +
                                 " files still hold what its package holds.\r\n\r\nDelete these files?";
    if (host.showMessage(question, mkQuestion) != kAnswerYes) {
        result.cancelled = true;
        return result;
    }
    for (const std::string& path : matching) {
        if (!host.system.files.RemoveFile(path))
            result.stayed.push_back(path);
    }
    // Folders of the package that are left empty, the deepest first; the scheme folders of cursors
    // and sounds are the package's own.
    std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() > b.size() : a < b;
    });
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    if (kind == TResourceKind::Cursor || kind == TResourceKind::Sound)
        folders.push_back(destination);
    for (const std::string& folder : folders) {
        if (host.system.files.FolderExists(folder) && !host.system.files.RemoveEmptyFolder(folder))
            result.kept.push_back(folder);
    }
    result.finished = result.stayed.empty();
    return result;
}

UninstallResult ReplayJournal(SystemAccess system, InstallJournal& journal) {
    const TakeBackResult back = TakeBackJournal(system, journal);
    UninstallResult result;
    result.kept = back.replay.kept;
    result.stayed = back.replay.stayed;
    result.finished = back.finished;
    return result;
}
}  // namespace

bool IsSoundSchemeName(const std::string& name) {
    const std::string lowered = AsciiLower(name);
    return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/") == std::string::npos &&
           lowered != ".default" && lowered != ".current";
}

bool InstallVisualStyle(InstallHost& host, const std::string& packagePath) {
    const std::string name = PackageNameOf(packagePath);
    return Journaled(host, PackageJournal(host, TResourceKind::Theme, name), "install", false,
                     [&](InstallTransaction& tx) {
                         // Files already in the theme folder stay: a style the user changed keeps
                         // its changes, and Windows' own files are never replaced.
                         host.extractor.Unpack(packagePath, host.paths.ThemesFolder(), TOverwriteMode::Never, tx);
                         if (host.system.files.FileExists(host.paths.InstalledThemeFile(name)))
                             return LaunchVisualStyle(host, name);
                         host.showMessage("Failed to apply the theme.", mkInformation);
                         return false;
                     });
}

bool ApplyVisualStyle(InstallHost& host, const std::string& name) {
    return LaunchVisualStyle(host, name);
}

bool InstallLoginScreen(InstallHost& host, const std::string& packagePath) {
    const std::string name = PackageNameOf(packagePath);
    const bool installed = Journaled(
        host, PackageJournal(host, TResourceKind::Logon, name), "install", false, [&](InstallTransaction& tx) {
            const std::vector<InstallTransaction::ValueWrite> uiHost = {
                {RegRoot::LocalMachine, kWinlogonKey, "UIHost", RegValue::String("%windir%\\\\logonui.exe")}};
            tx.ExpectValues(uiHost);
            host.extractor.Unpack(packagePath, host.paths.WinPath(), TOverwriteMode::Always, tx);
            tx.SetValues(uiHost);
            return true;
        });
    // Only once the installation is on record as finished: a program ended while the message is
    // open would otherwise have the next start roll back what it called a success.
    if (installed)
        host.showMessage("Set login screen successfully.", mkInformation);
    return installed;
}

namespace {

// The journal folders that hold a journal, the latest changed first. Two installations that
// changed the same value one after the other give it back only when the later one goes first: each
// restores the value only while it still holds what it wrote. Every segment adds to its journal's
// file, so the file's time is that of its latest change.
std::vector<std::string> NewestFirst(const SystemFiles& files, std::vector<std::string> folders) {
    struct OnRecord {
        uint64_t writeTime = 0;
        std::string folder;
    };
    std::vector<OnRecord> journals;
    for (std::string& folder : folders) {
        const std::string file = folder + InstallJournal::kFileName;
        if (files.FileExists(file))
            journals.push_back({files.WriteTime(file).value_or(0), std::move(folder)});
    }
    std::sort(journals.begin(), journals.end(), [](const OnRecord& a, const OnRecord& b) {
        return a.writeTime != b.writeTime ? a.writeTime > b.writeTime : a.folder > b.folder;
    });
    std::vector<std::string> sorted;
    for (OnRecord& journal : journals)
        sorted.push_back(std::move(journal.folder));
    return sorted;
}

// Takes back the journals of every package of a kind whose restore link has no uninstall of its
// own, the latest first.
void ReplayKindJournals(InstallHost& host, TResourceKind kind) {
    const std::string folder =
        JournalRootFolder(host.paths) + std::string(KindName(static_cast<int>(kind)).value_or(""));
    std::vector<std::string> folders;
    for (const std::string& name : host.system.files.List(folder))
        folders.push_back(folder + "\\" + name + "\\");
    for (const std::string& journalFolder : NewestFirst(host.system.files, std::move(folders))) {
        InstallJournal journal(host.system.files, journalFolder);
        if (journal.Load())
            ReplayJournal(host.system, journal);
    }
}

}  // namespace

void RestoreDefaultLoginScreen(InstallHost& host) {
    // Windows' own logon program and files come back from the login screens' journals.
    ReplayKindJournals(host, TResourceKind::Logon);
    Journaled(host, RestoreJournal(host, TResourceKind::Logon), "restore", true, [&](InstallTransaction& tx) {
        tx.SetString(RegRoot::LocalMachine, kWinlogonKey, "UIHost", "logonui.exe");
        return true;
    });
    host.showMessage("Restored default system login screen successfully.", mkInformation);
}

bool ApplyCursorScheme(InstallHost& host, const std::string& name) {
    return Journaled(host, PackageJournal(host, TResourceKind::Cursor, name), "apply", false,
                     [&](InstallTransaction& tx) {
                         ApplyCursorSchemeIn(host, tx, name);
                         return true;
                     });
}

void RestoreDefaultCursors(InstallHost& host) {
    Journaled(host, RestoreJournal(host, TResourceKind::Cursor), "restore", true, [&](InstallTransaction& tx) {
        std::vector<InstallTransaction::ValueWrite> writes;
        if (host.system.registry.KeyExists(RegRoot::CurrentUser, kCursorsKey)) {
            for (const CursorRole& role : CursorRoleTable)
                writes.push_back({RegRoot::CurrentUser, kCursorsKey, role.valueName, std::nullopt});
        }
        writes.push_back({RegRoot::CurrentUser, kCursorsKey, "", RegValue::String("")});
        tx.SetValues(writes);
        host.system.settings.ShowBuiltInPointers();
        // The pointers come back from the registry, which now names none: the system's defaults.
        tx.Apply(SystemSetting::Pointers);
        return true;
    });
    host.showMessage("Restored default mouse pointer successfully.", mkInformation);
}

bool InstallScreenSaver(InstallHost& host, const std::string& packagePath) {
    const std::string name = PackageNameWithoutLastFour(packagePath);
    return Journaled(
        host, PackageJournal(host, TResourceKind::ScreenSaver, name), "install", false, [&](InstallTransaction& tx) {
            // The saver's short path once it is there, as far as it can be told before:
            // a name that is no 8.3 name gets one of Windows' choosing, then recorded
            // on its own.
            const std::string file = host.paths.InstalledScreenSaverFile(name);
            const size_t slash = file.rfind('\\');
            tx.ExpectValues(ScreenSaverValues(host.system.files.ShortPath(file.substr(0, slash)) + file.substr(slash)));
            host.extractor.Unpack(packagePath, host.paths.SysPath(), TOverwriteMode::Always, tx);
            return SetScreenSaverIn(host, tx, file, false);
        });
}

bool ApplyScreenSaver(InstallHost& host, const std::string& name) {
    return SetScreenSaver(host, host.paths.InstalledScreenSaverFile(name), false);
}

bool SetScreenSaver(InstallHost& host, const std::string& file, bool cancel) {
    const std::string journal = cancel ? RestoreJournal(host, TResourceKind::ScreenSaver)
                                       : PackageJournal(host, TResourceKind::ScreenSaver, PackageNameOf(file));
    return Journaled(host, journal, cancel ? "restore" : "apply", cancel,
                     [&](InstallTransaction& tx) { return SetScreenSaverIn(host, tx, file, cancel); });
}

void CancelScreenSaver(InstallHost& host) {
    if (SetScreenSaver(host, {}, true))
        host.showMessage("Canceled screensavers successfully.", mkInformation);
}

void PreviewScreenSaver(InstallHost& host, const std::string& name) {
    // "/s" runs it as the shell's own verb for screen savers does; a system that knows no screen
    // savers (Wine) would start it without arguments, which means: show your settings.
    host.shellExecute("open", host.paths.InstalledScreenSaverFile(name), "/s", kShowNormal);
}

bool RunInfInstall(InstallHost& host, const std::string& infPath) {
    // 132: the INF's own folder is the source of its files (128), and a restart is asked for only
    // when one is needed (4). InstallHinfSection takes the rest of the line as the path, unquoted.
    return host.shellExecute("open", "rundll32.exe", "setupapi,InstallHinfSection DefaultInstall 132 " + infPath,
                             kShowHidden) > 32;
}

bool ApplySoundScheme(InstallHost& host, const std::string& name) {
    if (!IsSoundSchemeName(name))
        return false;
    return Journaled(host, PackageJournal(host, TResourceKind::Sound, name), "apply", false,
                     [&](InstallTransaction& tx) { return ApplySoundSchemeIn(host, tx, name); });
}

void RestoreDefaultSounds(InstallHost& host) {
    Journaled(host, RestoreJournal(host, TResourceKind::Sound), "restore", true, [&](InstallTransaction& tx) {
        RestoreDefaultSoundSchemeIn(host, tx);
        return true;
    });
    host.showMessage("Restored default sound scheme successfully.", mkInformation);
}

bool ApplyIconTheme(InstallHost& host, const std::string& themeFile) {
    if (!host.system.files.FileExists(themeFile))
        return false;
    return ToldApplied(
        host, Journaled(host, PackageJournal(host, TResourceKind::Icon, PackageNameOf(themeFile)), "apply", false,
                        [&](InstallTransaction& tx) { return ApplyIconThemeIn(host, tx, themeFile); }));
}

void RestoreDefaultIcons(InstallHost& host) {
    // The keys and values the icon themes created go with their journals, so that the restore
    // leaves nothing of theirs behind.
    ReplayKindJournals(host, TResourceKind::Icon);
    Journaled(host, RestoreJournal(host, TResourceKind::Icon), "restore", true, [&](InstallTransaction& tx) {
        TSetIcons(tx).SetIcons(std::nullopt, true);
        return true;
    });
    host.showMessage("Restored default system icons successfully.", mkInformation);
}

bool InstallPackage(InstallHost& host, TResourceKind kind, const std::string& packagePath) {
    switch (kind) {
        case TResourceKind::Theme:
            return InstallVisualStyle(host, packagePath);
        case TResourceKind::Logon:
            InstallLoginScreen(host, packagePath);
            return false;
        case TResourceKind::Cursor: {
            const std::string name = PackageNameWithoutLastFour(packagePath);
            return Journaled(host, PackageJournal(host, kind, name), "install", false, [&](InstallTransaction& tx) {
                host.extractor.Unpack(packagePath, host.paths.CursorSchemeFolder(name), TOverwriteMode::Always, tx);
                ApplyCursorSchemeIn(host, tx, name);
                return true;
            });
        }
        case TResourceKind::ScreenSaver:
            return InstallScreenSaver(host, packagePath);
        case TResourceKind::Icon: {
            const std::string name = PackageNameOf(packagePath);
            // The theme lives beside its package, in the cache. A damaged package is reported as
            // for every other kind.
            const std::string folder = packagePath.substr(0, packagePath.rfind('.'));
            return ToldApplied(
                host, Journaled(host, PackageJournal(host, kind, name), "install", false, [&](InstallTransaction& tx) {
                    host.extractor.Unpack(packagePath, folder, TOverwriteMode::Always, tx);
                    return ApplyIconThemeIn(host, tx, folder + "\\" + name + ".config");
                }));
        }
        case TResourceKind::Sound: {
            const std::string name = PackageNameOf(packagePath);
            if (!IsSoundSchemeName(name))
                throw std::runtime_error("\"" + name +
                                         "\" names the sounds of Windows' own schemes: it is not installed.");
            return Journaled(host, PackageJournal(host, kind, name), "install", false, [&](InstallTransaction& tx) {
                // Read from the package and announced before it is unpacked: a flush now writes
                // out the journal alone, one after the unpacking would write out the package too.
                AnnounceSoundSchemeInf(host, tx, host.extractor.ReadTopFile(packagePath, kSoundSchemeInf));
                host.extractor.Unpack(packagePath, host.paths.SoundSchemeFolder(name), TOverwriteMode::Always, tx);
                return RunInfInstall(host, host.paths.SoundSchemeFolder(name) + kSoundSchemeInf);
            });
        }
    }
    return false;
}

void ApplyDirectly(InstallHost& host, TResourceKind kind, const std::string& name) {
    switch (kind) {
        case TResourceKind::Theme:
            ApplyVisualStyle(host, name);
            break;
        case TResourceKind::Cursor:
            ApplyCursorScheme(host, name);
            break;
        case TResourceKind::ScreenSaver:
            ApplyScreenSaver(host, name);
            break;
        case TResourceKind::Sound:
            ApplySoundScheme(host, name);
            break;
        case TResourceKind::Logon:
        case TResourceKind::Icon:
            break;
    }
}

UninstallResult Uninstall(InstallHost& host, TResourceKind kind, const std::string& name) {
    if (kind == TResourceKind::Logon || kind == TResourceKind::Icon)
        return {};
    if (kind == TResourceKind::Sound && !IsSoundSchemeName(name))
        return {};
    InstallJournal journal(host.system.files, PackageJournal(host, kind, name));
    if (journal.Load())
        return ReplayJournal(host.system, journal);
    if (host.system.files.FileExists(journal.File())) {
        UninstallResult unreadable;
        unreadable.stayed.push_back(journal.File());
        return unreadable;
    }
    return UninstallWithoutJournal(host, kind, name);
}

std::string UninstallReport(const UninstallResult& result) {
    if (result.cancelled || (result.finished && result.kept.empty()))
        return {};
    auto list = [](const std::vector<std::string>& paths) {
        std::string text;
        for (const std::string& path : paths)
            text += "\r\n" + path;
        return text;
    };
    std::string report;
    if (!result.packageNeeded.empty())
        return "Nothing was deleted: without its downloaded package the program cannot tell the package's "
               "files from Windows' own or yours. Download it again, then uninstall it.\r\n" +
               result.packageNeeded;
    if (!result.finished && result.stayed.empty() && result.kept.empty())
        return result.matchedFiles == 0
                   ? "No file of the package was found as the package holds it; nothing was deleted."
                   : std::string();
    if (!result.stayed.empty())
        report += "The uninstall did not finish. These could not be removed or put back:" + list(result.stayed);
    if (!result.kept.empty()) {
        if (!report.empty())
            report += "\r\n\r\n";
        report += "Changed since the installation, these were kept:" + list(result.kept);
    }
    return report;
}

TakeBackReport TakeBackEverything(const ProgramPaths& paths, SystemAccess system) {
    TakeBackReport report;
    // What an interrupted run left half done is settled first, so that every journal left holds
    // finished segments only.
    const RecoveryReport recovery = RecoverInterruptedInstallations(paths, system);
    report.stayed = recovery.stayed;

    std::vector<std::string> folders;
    const std::string root = JournalRootFolder(paths);
    for (const std::string& category : system.files.List(root)) {
        if (!system.files.FolderExists(root + category))
            continue;
        for (const std::string& name : system.files.List(root + category))
            folders.push_back(root + category + "\\" + name + "\\");
    }
    for (const std::string& folder : NewestFirst(system.files, std::move(folders))) {
        InstallJournal journal(system.files, folder);
        if (!journal.Load()) {
            // Left for a person to read, as the start-up recovery leaves it.
            report.stayed.push_back(journal.File());
            continue;
        }
        try {
            const UninstallResult result = ReplayJournal(system, journal);
            report.kept.insert(report.kept.end(), result.kept.begin(), result.kept.end());
            report.stayed.insert(report.stayed.end(), result.stayed.begin(), result.stayed.end());
            if (result.finished)
                ++report.takenBack;
            else if (result.stayed.empty())
                report.stayed.push_back(journal.File());
        } catch (const std::exception& error) {
            report.stayed.push_back(error.what());
        }
    }
    for (const std::string& category : system.files.List(root))
        system.files.RemoveEmptyFolder(root + category);
    system.files.RemoveEmptyFolder(root);
    return report;
}

void RestoreDefaults(InstallHost& host, TResourceKind kind) {
    switch (kind) {
        case TResourceKind::Logon:
            RestoreDefaultLoginScreen(host);
            break;
        case TResourceKind::Cursor:
            RestoreDefaultCursors(host);
            break;
        case TResourceKind::ScreenSaver:
            CancelScreenSaver(host);
            break;
        case TResourceKind::Icon:
            RestoreDefaultIcons(host);
            break;
        case TResourceKind::Sound:
            RestoreDefaultSounds(host);
            break;
        case TResourceKind::Theme:
            break;
    }
}

void TSetIcons::SetIcons(std::optional<IconThemeFile> theme, bool restore) {
    theme_ = std::move(theme);
    writes_.clear();
    SetDesktopIcons(restore);
    SetStartIcons(restore);
    SetFolderIcons(restore);
    SetDriveIcons(restore);
    SetOtherIcons(restore);
    tx_.SetValues(writes_);
    // The table's key holds nothing but the themes' icons: left empty, it goes, so that a restore
    // leaves no trace of them.
    SystemRegistry& registry = tx_.Registry();
    if (restore && registry.KeyExists(RegRoot::LocalMachine, kShellIconsKey) &&
        registry.ValueNames(RegRoot::LocalMachine, kShellIconsKey).empty() &&
        registry.SubKeyNames(RegRoot::LocalMachine, kShellIconsKey).empty())
        tx_.DeleteKeyTree(RegRoot::LocalMachine, kShellIconsKey);
    tx_.Apply(SystemSetting::ShellIcons);
}

void TSetIcons::SetDesktopIcons(bool restore) {
    SetClsidIcons("Desktop Icons", restore);
}

void TSetIcons::SetStartIcons(bool restore) {
    SetClsidIcons("Start Icons", restore);
    SystemRegistry& registry = tx_.Registry();
    if (restore) {
        RestoreClientIcon(kMailIconKey);
        for (const std::string& browser : registry.SubKeyNames(RegRoot::LocalMachine, kBrowsersKey))
            RestoreClientIcon(std::string(kBrowsersKey) + "\\" + browser + "\\DefaultIcon");
        return;
    }
    // A theme without a mail icon leaves the browsers alone too.
    const std::string mail = Location("Start Icons", "E-mail");
    if (mail.empty())
        return;
    SetClientIcon(kMailIconKey, mail);
    const std::string internet = Location("Start Icons", "Internet");
    if (internet.empty())
        return;
    for (const std::string& browser : registry.SubKeyNames(RegRoot::LocalMachine, kBrowsersKey))
        SetClientIcon(std::string(kBrowsersKey) + "\\" + browser + "\\DefaultIcon", internet);
}

// A client's own icon is kept once, at the first theme ever applied, so that a restore after any
// number of themes gives it back; a client without one gets a backup of no type.
void TSetIcons::SetClientIcon(const std::string& key, const std::string& location) {
    SystemRegistry& registry = tx_.Registry();
    if (!registry.ReadValue(RegRoot::LocalMachine, key, kBackup)) {
        const std::optional<RegValue> own = registry.ReadValue(RegRoot::LocalMachine, key, "");
        writes_.push_back({RegRoot::LocalMachine, key, kBackup, own.value_or(RegValue{kRegNone, {}})});
    }
    writes_.push_back({RegRoot::LocalMachine, key, "", RegValue::String(location)});
}

void TSetIcons::RestoreClientIcon(const std::string& key) {
    const std::optional<RegValue> backup = tx_.Registry().ReadValue(RegRoot::LocalMachine, key, kBackup);
    if (!backup)
        return;
    writes_.push_back(
        {RegRoot::LocalMachine, key, "", backup->type == kRegNone ? std::nullopt : std::optional<RegValue>(*backup)});
    writes_.push_back({RegRoot::LocalMachine, key, kBackup, std::nullopt});
}

void TSetIcons::SetFolderIcons(bool restore) {
    SetClsidIcons("Folder Icons", restore);
    SetShellIcons("Folder Icons", restore);
}

void TSetIcons::SetDriveIcons(bool restore) {
    SetShellIcons("Drive Icons", restore);
}

void TSetIcons::SetOtherIcons(bool restore) {
    SetShellIcons("Other Icons", restore);
}

void TSetIcons::SetClsidIcons(std::string_view section, bool restore) {
    for (const ClsidIconRow& row : ClsidIconTable) {
        if (AsciiLower(row.section) != AsciiLower(section))
            continue;
        const std::string classKey = std::string(kClsidKey) + "\\" + row.clsid;
        if (restore) {
            // Also for a class the theme never set; the recycle bin's second row finds it gone.
            tx_.DeleteKeyTree(RegRoot::CurrentUser, classKey);
            continue;
        }
        const std::string location = Location(row.section, row.key);
        if (!location.empty())
            writes_.push_back(
                {RegRoot::CurrentUser, classKey + "\\DefaultIcon", row.valueName, RegValue::String(location)});
    }
}

void TSetIcons::SetShellIcons(std::string_view section, bool restore) {
    for (const ShellIconRow& row : ShellIconTable) {
        if (AsciiLower(row.section) != AsciiLower(section))
            continue;
        if (restore) {
            writes_.push_back({RegRoot::LocalMachine, kShellIconsKey, row.valueName, std::nullopt});
            continue;
        }
        const std::string location = Location(row.section, row.key);
        if (!location.empty())
            writes_.push_back({RegRoot::LocalMachine, kShellIconsKey, row.valueName, RegValue::String(location)});
    }
}

std::string TSetIcons::Location(std::string_view section, std::string_view key) const {
    return theme_ ? theme_->Location(section, key) : std::string();
}

}  // namespace lumaforge
