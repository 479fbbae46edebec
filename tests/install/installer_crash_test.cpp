// Every installer killed after each of its changes in turn, then the next start's recovery: the
// files and the registry are as they were before the installation or as it left them, never a
// mixture. Over the in-memory file system and registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "base/program_paths.h"
#include "install/folder_icon_settings.h"
#include "install/installers.h"
#include "install/journal_store.h"
#include "install/oem_files.h"
#include "support/memory_system.h"

namespace lumaforge {
namespace {

using test::MemorySystem;

// Unpacks packages held in memory the way the ZIP extractor does: the missing folders, a scratch
// folder in the destination and every placement announced in one write, then the folders and the
// scratch folder made, the files staged there, replaced files moved aside into the journal, the
// staged files moved into place, the scratch folder removed.
class MemoryUnpacker : public PackageUnpacker {
public:
    explicit MemoryUnpacker(test::MemoryFiles& files) : files_(files) {}
    std::map<std::string, std::map<std::string, std::string>> packages;  // path: entry: bytes

    void Unpack(const std::string& packagePath, const std::string& destination, TOverwriteMode mode,
                InstallTransaction& tx) override {
        const auto& entries = packages.at(packagePath);
        std::string folder = destination;
        if (folder.back() == '\\')
            folder.pop_back();
        std::vector<InstallTransaction::Placement> placements;
        const auto planFolder = [&](const std::string& path) {
            std::vector<std::string> missing;
            for (std::string parent = path; !files_.FolderExists(parent); parent.resize(parent.rfind('\\'))) {
                if (std::none_of(placements.begin(), placements.end(), [&](const auto& p) { return p.path == parent; }))
                    missing.insert(missing.begin(), parent);
            }
            for (const std::string& parent : missing)
                placements.push_back({parent, true, false, {}});
        };
        planFolder(folder);
        std::vector<std::pair<std::string, size_t>> staged;  // bytes, placement
        for (const auto& [entry, bytes] : entries) {
            const std::string target = folder + "\\" + entry;
            const bool exists = files_.FileExists(target);
            if (exists && mode == TOverwriteMode::Never)
                continue;
            planFolder(target.substr(0, target.rfind('\\')));
            staged.emplace_back(bytes, placements.size());
            placements.push_back({target, false, exists, FileFingerprint::Of(bytes)});
        }
        const std::string scratch = folder + "\\.lumaforge-extract-1";
        const std::vector<std::string> aside = tx.AnnounceExtraction(scratch, placements);
        for (const auto& placement : placements) {
            if (placement.folder)
                files_.CreateFolder(placement.path);
        }
        files_.CreateFolder(scratch);
        for (size_t i = 0; i < staged.size(); ++i)
            files_.WriteFileDurably(scratch + "\\" + std::to_string(i), staged[i].first);
        for (size_t i = 0; i < staged.size(); ++i) {
            const auto& placement = placements[staged[i].second];
            if (placement.replaces) {
                if (!aside[staged[i].second].empty())
                    files_.Move(placement.path, aside[staged[i].second]);
                else
                    files_.RemoveFile(placement.path);
            }
            files_.Move(scratch + "\\" + std::to_string(i), placement.path);
        }
        files_.RemoveTree(scratch);
    }

    std::optional<std::vector<PackageFile>> ListFiles(const std::string& packagePath) const override {
        const auto found = packages.find(packagePath);
        if (found == packages.end())
            return std::nullopt;
        std::vector<PackageFile> list;
        for (const auto& [entry, bytes] : found->second)
            list.push_back({entry, FileFingerprint::Of(bytes)});
        return list;
    }

    std::optional<std::string> ReadTopFile(const std::string& packagePath, const std::string& name) const override {
        const auto& entries = packages.at(packagePath);
        const auto found = entries.find(name);
        return found == entries.end() ? std::nullopt : std::optional<std::string>(found->second);
    }

private:
    test::MemoryFiles& files_;
};

// A user's machine with Windows' own files and the user's own settings.
struct Machine {
    Machine() : host(paths, unpacker, system.Access()) {
        paths.SetProgramFolder("C:\\Program\\");
        paths.SetSystemFolders("C:\\windows", "C:\\windows\\system32");
        host.showMessage = [](const std::string&, TMsgKind) { return 1; };
        host.shellExecute = [](const std::string&, const std::string&, const std::string&, int) -> intptr_t {
            return 33;
        };
        system.files.Put("C:\\windows\\logonui.exe", "Windows' own logon");
        system.files.Put("C:\\windows\\Resources\\Themes\\Aero.theme", "Windows' own style");
        system.files.Put("C:\\windows\\Cursors\\mine.cur", "the user's arrow");
        system.files.Put("C:\\windows\\system32\\mine.scr", "the user's saver");
        system.registry.Put(RegRoot::CurrentUser, "Control Panel\\Cursors", "", "Mine");
        system.registry.Put(RegRoot::CurrentUser, "Control Panel\\Cursors", "Arrow", "C:\\windows\\Cursors\\mine.cur");
        system.registry.Put(RegRoot::CurrentUser, "Control Panel\\Desktop", "SCRNSAVE.EXE",
                            "C:\\windows\\system32\\mine.scr");
        system.registry.Put(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
                            "UIHost", "logonui.exe");
        system.registry.Put(RegRoot::CurrentUser, "AppEvents\\Schemes\\Apps\\.Default\\Open\\.Default", "",
                            "C:\\windows\\Media\\open.wav");
        system.registry.Put(RegRoot::CurrentUser, "AppEvents\\Schemes\\Apps\\.Default\\Open\\.current", "",
                            "C:\\windows\\Media\\mine.wav");
        const std::string cursor = paths.PackageFile(static_cast<int>(TResourceKind::Cursor), "Neon");
        unpacker.packages[cursor] = {
            {"setup.inf", "[Strings]\r\nCUR_DIR = \"Cursors\\Neon\"\r\npointer = \"arrow.cur\"\r\n"},
            {"arrow.cur", "neon arrow"}};
        unpacker.packages[paths.PackageFile(static_cast<int>(TResourceKind::Theme), "Glass")] = {
            {"Glass.theme", "[Theme]"}, {"Glass\\Glass.msstyles", "style"}, {"Aero.theme", "not Windows' own"}};
        unpacker.packages[paths.PackageFile(static_cast<int>(TResourceKind::Logon), "Dawn")] = {
            {"logonui.exe", "Dawn's logon"}, {"Dawn\\a.bmp", "picture a"}, {"Dawn\\b.bmp", "picture b"}};
        unpacker.packages[paths.PackageFile(static_cast<int>(TResourceKind::ScreenSaver), "Stars")] = {
            {"Stars.scr", "stars"}};
        unpacker.packages[paths.PackageFile(static_cast<int>(TResourceKind::Sound), "Bells")] = {
            {"open.wav", "ding"}, {"install.inf", "[Version]\r\n"}};
        const std::string icons = paths.PackageFile(static_cast<int>(TResourceKind::Icon), "Round");
        unpacker.packages[icons] = {{"Round.config",
                                     "[Desktop Icons]\r\nMy Computer=C:\\icons\\pc.ico,0\r\n[Folder Icons]\r\n"
                                     "Closed Folder=C:\\icons\\folder.ico,0\r\n"},
                                    {"pc.ico", "pc"}};
        system.files.Put(cursor, "zip");
        // Keys every Windows has.
        system.registry.PutKey(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID");
        system.registry.PutKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer");
        // A mail client without an icon of its own, a browser with one.
        system.registry.PutKey(RegRoot::LocalMachine, "SOFTWARE\\Clients\\Mail\\Outlook Express\\DefaultIcon");
        system.registry.Put(RegRoot::LocalMachine, "SOFTWARE\\Clients\\StartMenuInternet\\Web\\DefaultIcon", "",
                            "C:\\web.exe,0");
        // A folder with the settings Windows gave it.
        system.files.Put(kPhotosSettings, "[.ShellClassInfo]\r\nLocalizedResourceName=@shell32.dll,-21779\r\n");
        // The computer maker's information, without a logo.
        system.files.Put(kOemInfo, "[General]\r\nManufacturer=Maker\r\n");
    }
    static constexpr char kOemInfo[] = "C:\\windows\\system32\\oeminfo.ini";
    static constexpr char kOemLogo[] = "C:\\windows\\system32\\oemlogo.bmp";
    static constexpr char kPhotos[] = "C:\\Users\\me\\Photos";
    static constexpr char kPhotosSettings[] = "C:\\Users\\me\\Photos\\desktop.ini";

    std::map<std::string, std::string> Files() const { return system.files.Snapshot("C:\\Program\\"); }

    MemorySystem system;
    ProgramPaths paths;
    MemoryUnpacker unpacker{system.files};
    InstallHost host;
};

struct InstallerCase {
    const char* name;
    std::function<void(Machine&)> prepare;  // done before the state "before" is taken
    std::function<void(Machine&)> run;
};

// The entries of two snapshots that differ, for a message.
std::string Difference(const std::map<std::string, std::string>& a, const std::map<std::string, std::string>& b) {
    std::string text;
    for (const auto& [key, value] : a) {
        const auto other = b.find(key);
        if (other == b.end() || other->second != value)
            text += "\n- " + key;
    }
    for (const auto& [key, value] : b) {
        if (a.find(key) == a.end())
            text += "\n+ " + key;
    }
    return text;
}

std::string Package(const Machine& m, TResourceKind kind, const char* name) {
    return m.paths.PackageFile(static_cast<int>(kind), name);
}

std::string RedIcon(const Machine& m) {
    return m.paths.FolderIconsFolder() + "Colors\\Red.ico";
}

void Install(Machine& m, TResourceKind kind, const char* name) {
    InstallPackage(m.host, kind, Package(m, kind, name));
}

const InstallerCase kInstallers[] = {
    {"visual style", {}, [](Machine& m) { Install(m, TResourceKind::Theme, "Glass"); }},
    {"login screen", {}, [](Machine& m) { Install(m, TResourceKind::Logon, "Dawn"); }},
    {"cursor scheme", {}, [](Machine& m) { Install(m, TResourceKind::Cursor, "Neon"); }},
    {"screen saver", {}, [](Machine& m) { Install(m, TResourceKind::ScreenSaver, "Stars"); }},
    {"sound scheme", {}, [](Machine& m) { Install(m, TResourceKind::Sound, "Bells"); }},
    {"icon theme", {}, [](Machine& m) { Install(m, TResourceKind::Icon, "Round"); }},
    {"uninstalling a cursor scheme", [](Machine& m) { Install(m, TResourceKind::Cursor, "Neon"); },
     [](Machine& m) { Uninstall(m.host, TResourceKind::Cursor, "Neon"); }},
    {"restoring the default pointers", {}, [](Machine& m) { RestoreDefaults(m.host, TResourceKind::Cursor); }},
    {"cancelling the screen saver", {}, [](Machine& m) { RestoreDefaults(m.host, TResourceKind::ScreenSaver); }},
    {"restoring the default sounds", {}, [](Machine& m) { RestoreDefaults(m.host, TResourceKind::Sound); }},
    {"restoring the default login screen", [](Machine& m) { Install(m, TResourceKind::Logon, "Dawn"); },
     [](Machine& m) { RestoreDefaults(m.host, TResourceKind::Logon); }},
    {"restoring the default icons", [](Machine& m) { Install(m, TResourceKind::Icon, "Round"); },
     [](Machine& m) { RestoreDefaults(m.host, TResourceKind::Icon); }},
    {"setting a folder icon", {}, [](Machine& m) { SetFolderIcon(m.host, Machine::kPhotos, RedIcon(m)); }},
    {"restoring a folder icon", [](Machine& m) { SetFolderIcon(m.host, Machine::kPhotos, RedIcon(m)); },
     [](Machine& m) { RestoreFolderIcon(m.host, Machine::kPhotos); }},
    {"writing the OEM information",
     {},
     [](Machine& m) { WriteOemFile(m.host, Machine::kOemInfo, "[General]\r\nManufacturer=Ours\r\n"); }},
    {"erasing the OEM information", {}, [](Machine& m) { DeleteOemFile(m.host, Machine::kOemInfo); }},
    {"writing the OEM logo", {}, [](Machine& m) { WriteOemFile(m.host, Machine::kOemLogo, "BM ours"); }},
};

TEST(InstallerCrash, EveryInstallerKilledAfterAnyStepRecoversToBeforeOrAfter) {
    for (const InstallerCase& installer : kInstallers) {
        SCOPED_TRACE(installer.name);
        Machine reference;
        if (installer.prepare)
            installer.prepare(reference);
        const auto filesBefore = reference.Files();
        const auto registryBefore = reference.system.registry.Snapshot();
        installer.run(reference);
        const auto filesAfter = reference.Files();
        const auto registryAfter = reference.system.registry.Snapshot();
        EXPECT_TRUE(filesAfter != filesBefore || registryAfter != registryBefore) << "the installer changed nothing";

        // A kill leaves none of the bytes of the write it interrupts; a power cut may leave part of
        // them, and loses what was written without a flush.
        int crashes = 0;
        for (int run = 0; run < 20000; ++run) {
            const int step = run / 2 + 1;
            const bool torn = run % 2 == 1;
            SCOPED_TRACE(torn ? "a power cut" : "a kill");
            Machine m;
            if (installer.prepare)
                installer.prepare(m);
            m.system.crash.TearWrites(torn);
            m.system.crash.FailAt(step);
            try {
                installer.run(m);
            } catch (const test::InjectedCrash&) {
            }
            if (!m.system.crash.Crashed())
                break;
            ++crashes;
            m.system.crash.Revive();
            if (torn)
                m.system.files.LoseUnflushedBytes();
            const RecoveryReport report = RecoverInterruptedInstallations(m.paths, m.system.Access());
            EXPECT_TRUE(report.stayed.empty()) << "step " << step;
            const auto files = m.Files();
            const auto registry = m.system.registry.Snapshot();
            const bool before = files == filesBefore && registry == registryBefore;
            const bool after = files == filesAfter && registry == registryAfter;
            EXPECT_TRUE(before || after) << "step " << step << ": a mixture" << Difference(filesBefore, files)
                                         << Difference(registryBefore, registry);
            for (const auto& [path, bytes] : files)
                EXPECT_EQ(path.find(".lumaforge-extract"), std::string::npos) << "step " << step << ": " << path;
            // What recovery leaves is a journal that can be added to: whole lines, read back as
            // they are, and nothing left for the next start.
            for (const auto& [path, bytes] : m.system.files.Snapshot()) {
                if (path.ends_with(InstallJournal::kFileName)) {
                    EXPECT_TRUE(bytes.ends_with("\n") && ParseJournal(bytes)) << "step " << step << ": " << path;
                }
            }
            const RecoveryReport again = RecoverInterruptedInstallations(m.paths, m.system.Access());
            EXPECT_TRUE(again.rolledBack.empty() && again.stayed.empty()) << "step " << step;
            EXPECT_EQ(m.Files(), files) << "step " << step;
        }
        EXPECT_GT(crashes, 2);
    }
}

// What an installation and its uninstall (or the restore link) leave: exactly the user's system of
// before, with their own pointer scheme, screen saver, sounds and client icons.
TEST(InstallerMends, InstallThenUninstallOrRestoreGivesBackTheUsersOwnSettings) {
    const struct {
        const char* name;
        std::function<void(Machine&)> install;
        std::function<void(Machine&)> takeBack;
    } cases[] = {
        {"cursor scheme", [](Machine& m) { Install(m, TResourceKind::Cursor, "Neon"); },
         [](Machine& m) { EXPECT_TRUE(Uninstall(m.host, TResourceKind::Cursor, "Neon").finished); }},
        {"screen saver", [](Machine& m) { Install(m, TResourceKind::ScreenSaver, "Stars"); },
         [](Machine& m) { EXPECT_TRUE(Uninstall(m.host, TResourceKind::ScreenSaver, "Stars").finished); }},
        {"sound scheme", [](Machine& m) { Install(m, TResourceKind::Sound, "Bells"); },
         [](Machine& m) { EXPECT_TRUE(Uninstall(m.host, TResourceKind::Sound, "Bells").finished); }},
        {"visual style", [](Machine& m) { Install(m, TResourceKind::Theme, "Glass"); },
         [](Machine& m) { EXPECT_TRUE(Uninstall(m.host, TResourceKind::Theme, "Glass").finished); }},
        {"icon theme", [](Machine& m) { Install(m, TResourceKind::Icon, "Round"); },
         [](Machine& m) { RestoreDefaults(m.host, TResourceKind::Icon); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        const auto files = m.Files();
        const auto registry = m.system.registry.Snapshot();
        c.install(m);
        EXPECT_TRUE(m.Files() != files || m.system.registry.Snapshot() != registry);
        c.takeBack(m);
        EXPECT_EQ(m.Files(), files) << Difference(files, m.Files());
        EXPECT_EQ(m.system.registry.Snapshot(), registry) << Difference(registry, m.system.registry.Snapshot());
    }
}

// A Windows without the keys an icon theme writes into (Wine's prefix has neither): the restore
// link leaves none of the keys the theme made.
TEST(InstallerMends, RestoringTheIconsLeavesNoKeyTheThemeMade) {
    Machine m;
    ASSERT_TRUE(m.system.registry.DeleteEmptyKey(RegRoot::CurrentUser,
                                                 "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID"));
    ASSERT_TRUE(m.system.registry.DeleteEmptyKey(RegRoot::LocalMachine,
                                                 "SOFTWARE\\Clients\\Mail\\Outlook Express\\DefaultIcon"));
    const auto registry = m.system.registry.Snapshot();
    Install(m, TResourceKind::Icon, "Round");
    ASSERT_NE(m.system.registry.Snapshot(), registry);
    RestoreDefaults(m.host, TResourceKind::Icon);
    EXPECT_EQ(m.system.registry.Snapshot(), registry);
    EXPECT_FALSE(m.system.files.FolderExists(PackageJournalFolder(m.paths, TResourceKind::Icon, "Round")));
}

// A success is reported only once it is on record as finished: a program ended while the message
// is open must not have the next start roll back what it called a success.
TEST(InstallerMends, ASuccessIsToldOnlyOnceTheJournalHoldsIt) {
    Machine m;
    std::vector<std::string> told;
    m.host.showMessage = [&](const std::string& text, TMsgKind) {
        told.push_back(text);
        for (const TResourceKind kind : {TResourceKind::Logon, TResourceKind::Icon}) {
            for (const char* name : {"Dawn", "Round"}) {
                InstallJournal journal(m.system.files, PackageJournalFolder(m.paths, kind, name));
                if (journal.Load())
                    EXPECT_TRUE(FindLastSegment(journal.Records()).done) << text;
            }
        }
        return 1;
    };
    Install(m, TResourceKind::Logon, "Dawn");
    Install(m, TResourceKind::Icon, "Round");
    EXPECT_EQ(told, (std::vector<std::string>{"Set login screen successfully.", "Applied system icons successfully."}));
}

TEST(InstallerMends, TheUsersChoiceMadeSinceTheInstallationStays) {
    Machine m;
    Install(m, TResourceKind::ScreenSaver, "Stars");
    m.system.registry.Put(RegRoot::CurrentUser, "Control Panel\\Desktop", "SCRNSAVE.EXE", "C:\\theirs.scr");
    EXPECT_TRUE(Uninstall(m.host, TResourceKind::ScreenSaver, "Stars").finished);
    EXPECT_EQ(m.system.registry.Text(RegRoot::CurrentUser, "Control Panel\\Desktop", "SCRNSAVE.EXE"), "C:\\theirs.scr");
    EXPECT_FALSE(m.system.files.FileExists("C:\\windows\\system32\\Stars.scr"));
}

TEST(InstallerMends, WindowsOwnSoundSchemeNamesAndFilesAreNeverTouched) {
    for (const char* name : {".Default", ".CURRENT"}) {
        SCOPED_TRACE(name);
        Machine m;
        m.system.files.Put(std::string("C:\\windows\\Media\\") + name + "\\theirs.wav", "theirs");
        m.unpacker.packages[m.paths.PackageFile(static_cast<int>(TResourceKind::Sound), name)] = {{"x.wav", "x"}};
        const auto files = m.Files();
        const auto registry = m.system.registry.Snapshot();
        EXPECT_THROW(InstallPackage(m.host, TResourceKind::Sound, m.paths.PackageFile(5, name)), std::runtime_error);
        EXPECT_FALSE(Uninstall(m.host, TResourceKind::Sound, name).finished);
        EXPECT_EQ(m.Files(), files);
        EXPECT_EQ(m.system.registry.Snapshot(), registry);
    }
    // Windows' own visual style of the same name as a package: its row looks installed, and without
    // the package in the cache the uninstall deletes nothing and says why.
    Machine m;
    m.system.files.Put("C:\\windows\\Resources\\Themes\\Aero\\Aero.msstyles", "Windows' own");
    const auto windows = m.Files();
    const UninstallResult withoutPackage = Uninstall(m.host, TResourceKind::Theme, "Aero");
    EXPECT_FALSE(withoutPackage.finished);
    EXPECT_EQ(m.Files(), windows);
    EXPECT_NE(UninstallReport(withoutPackage).find("Nothing was deleted"), std::string::npos);
    EXPECT_NE(UninstallReport(withoutPackage).find(Package(m, TResourceKind::Theme, "Aero")), std::string::npos);

    Install(m, TResourceKind::Theme, "Glass");
    EXPECT_EQ(m.system.files.ReadFile("C:\\windows\\Resources\\Themes\\Aero.theme"), "Windows' own style");
    Uninstall(m.host, TResourceKind::Theme, "Glass");
    EXPECT_EQ(m.system.files.ReadFile("C:\\windows\\Resources\\Themes\\Aero.theme"), "Windows' own style");
}

// The uninstaller's take-back: every customisation made through the program goes, whatever its
// kind, and two schemes applied one after the other give back the user's own, not the first one's.
TEST(TakeBackEverything, LeavesTheUsersSystemOfBeforeEveryInstallation) {
    Machine m;
    const std::string ice = Package(m, TResourceKind::Cursor, "Ice");
    m.unpacker.packages[ice] = {{"setup.inf", "[Strings]\r\nCUR_DIR = \"Cursors\\Ice\"\r\npointer = \"arrow.cur\"\r\n"},
                                {"arrow.cur", "ice arrow"}};
    m.system.files.Put(ice, "zip");
    const auto files = m.Files();
    const auto registry = m.system.registry.Snapshot();
    Install(m, TResourceKind::Theme, "Glass");
    Install(m, TResourceKind::Logon, "Dawn");
    Install(m, TResourceKind::Cursor, "Neon");
    Install(m, TResourceKind::ScreenSaver, "Stars");
    Install(m, TResourceKind::Sound, "Bells");
    Install(m, TResourceKind::Icon, "Round");
    Install(m, TResourceKind::Cursor, "Ice");
    ASSERT_EQ(m.system.registry.ReadValue(RegRoot::CurrentUser, "Control Panel\\Cursors", "")->Text(), "Ice");
    // The maker's information saved twice and erased; a logo where there was none.
    WriteOemFile(m.host, Machine::kOemInfo, "[General]\r\nManufacturer=Ours\r\n");
    WriteOemFile(m.host, Machine::kOemInfo, "[General]\r\nManufacturer=Ours again\r\n");
    DeleteOemFile(m.host, Machine::kOemInfo);
    WriteOemFile(m.host, Machine::kOemLogo, "BM ours");

    const TakeBackReport report = TakeBackEverything(m.paths, m.system.Access());
    EXPECT_TRUE(report.Finished());
    EXPECT_EQ(report.takenBack, 9);
    EXPECT_EQ(m.Files(), files) << Difference(files, m.Files());
    EXPECT_EQ(m.system.registry.Snapshot(), registry) << Difference(registry, m.system.registry.Snapshot());
    EXPECT_FALSE(m.system.files.FolderExists(JournalRootFolder(m.paths)));
    // Nothing is left to take back a second time.
    const TakeBackReport again = TakeBackEverything(m.paths, m.system.Access());
    EXPECT_TRUE(again.Finished());
    EXPECT_EQ(again.takenBack, 0);
}

TEST(TakeBackEverything, KeepsTheJournalOfWhatCouldNotGoAndSaysSo) {
    Machine m;
    Install(m, TResourceKind::Theme, "Glass");
    Install(m, TResourceKind::ScreenSaver, "Stars");
    m.system.files.Lock("C:\\windows\\Resources\\Themes\\Glass\\Glass.msstyles");

    const TakeBackReport report = TakeBackEverything(m.paths, m.system.Access());
    EXPECT_FALSE(report.Finished());
    EXPECT_EQ(report.takenBack, 1);
    EXPECT_TRUE(m.system.files.FileExists(PackageJournalFolder(m.paths, TResourceKind::Theme, "Glass") +
                                          InstallJournal::kFileName));
    EXPECT_FALSE(m.system.files.FolderExists(PackageJournalFolder(m.paths, TResourceKind::ScreenSaver, "Stars")));
}

}  // namespace
}  // namespace lumaforge
