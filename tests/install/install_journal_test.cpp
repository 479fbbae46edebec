// The install journal, its transaction and its replay, over an in-memory file system and registry.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/program_paths.h"
#include "install/install_journal.h"
#include "install/install_transaction.h"
#include "install/journal_store.h"
#include "support/memory_system.h"

namespace lumaforge {
namespace {

using test::MemorySystem;

JournalRecord Value(std::string key, std::string name, std::optional<RegValue> before, std::optional<RegValue> after) {
    JournalRecord record;
    record.kind = RecordKind::Value;
    record.root = RegRoot::LocalMachine;
    record.path = std::move(key);
    record.valueName = std::move(name);
    record.before = std::move(before);
    record.after = std::move(after);
    return record;
}

JournalRecord Record(RecordKind kind, std::string path = {}, RegRoot root = RegRoot::CurrentUser) {
    JournalRecord record;
    record.kind = kind;
    record.path = std::move(path);
    record.root = root;
    return record;
}

TEST(InstallJournalFormat, EveryRecordReadsBackAsItWasWritten) {
    JournalRecord file = Record(RecordKind::FileCreated, "C:\\windows\\Cursors\\\"Q\"\\\x01.cur");
    file.content = FileFingerprint::Of("bytes");
    JournalRecord replaced = Record(RecordKind::FileReplaced, "C:\\windows\\logonui.exe");
    replaced.saved = "0";
    replaced.content = FileFingerprint{4000000000ULL, 0xDEADBEEF};
    JournalRecord deleted = Record(RecordKind::FileReplaced, "C:\\oeminfo.ini");
    deleted.saved = "1";
    JournalRecord setting = Record(RecordKind::Setting);
    setting.setting = SystemSetting::ShellIcons;
    const RegValue unterminated{kRegSz, std::string("a\0b", 3)};
    const std::vector<JournalRecord> records = {
        Record(RecordKind::Begin, "install"),
        Record(RecordKind::FolderCreated, "C:\\windows\\Media\\中国风"),
        file,
        replaced,
        deleted,
        Record(RecordKind::Scratch, "C:\\windows\\.lumaforge-extract-1"),
        Record(RecordKind::KeyCreated, "AppEvents\\Schemes\\Names\\中国风"),
        Record(RecordKind::KeyDeleted, "SOFTWARE\\x", RegRoot::LocalMachine),
        Value("Control Panel\\Cursors", "", std::nullopt, RegValue::String("Mine \"new\"")),
        Value("k", "n", RegValue::String("%SystemRoot%\\a.wav", true), std::nullopt),
        Value("k", "odd", unterminated, RegValue::Dword(42)),
        Value("k", "empty", RegValue{kRegBinary, {}}, RegValue{kRegSz, {}}),
        setting,
        Record(RecordKind::Done),
    };
    const std::string text = FormatJournal(records);
    EXPECT_EQ(ParseJournal(text), records) << text;
    // A person can read it.
    EXPECT_NE(text.find("value HKLM \"Control Panel\\\\Cursors\" \"\" was none now sz \"Mine \\\"new\\\"\""),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("setting shell-icons"), std::string::npos);
    EXPECT_FALSE(ParseJournal("Lumaforge install journal 1\r\nfile-created \"x\"\r\n"));
    EXPECT_FALSE(ParseJournal("something else"));
}

// A crash can cut short only the last write, and its changes were never made: a last line without
// its line end is read as never written.
TEST(InstallJournalFormat, AWriteCutShortIsReadAsNeverWritten) {
    const std::vector<JournalRecord> written = {Record(RecordKind::Begin, "install"),
                                                Record(RecordKind::Scratch, "C:\\windows\\.x")};
    const std::string whole = FormatJournal(written);
    const struct {
        std::string text;
        std::optional<std::vector<JournalRecord>> read;
    } cases[] = {
        {"", std::vector<JournalRecord>()},
        {whole.substr(0, 9), std::vector<JournalRecord>()},
        {whole.substr(0, whole.size() - 1), std::vector<JournalRecord>{written[0]}},
        {whole + "value HKCU \"Control", written},
        {whole + "done", written},
        {std::string(9, '\0'), std::nullopt},
        {"Lumaforge install journal 2\r\n", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseJournal(c.text), c.read) << c.text;
}

// A user's system: their own pointer scheme, a Windows file, a folder of theirs.
struct UserSystem {
    UserSystem() {
        system.files.Put("C:\\Program\\Lumaforge.exe", "MZ");
        system.files.Put("C:\\windows\\logonui.exe", "Windows' own");
        system.files.Put("C:\\windows\\Cursors\\mine.cur", "user's cursor");
        system.registry.Put(RegRoot::CurrentUser, "Control Panel\\Cursors", "", "Mine");
        system.registry.Put(RegRoot::CurrentUser, "Control Panel\\Cursors", "Arrow", "C:\\windows\\Cursors\\mine.cur");
        system.registry.Put(RegRoot::CurrentUser, "Software\\Old\\Sub", "v", "w");
        system.registry.Put(RegRoot::CurrentUser, "Software\\Old", "", "d");
        paths.SetProgramFolder("C:\\Program\\");
    }

    InstallJournal Journal() { return InstallJournal(system.files, "C:\\Program\\journal\\cursor\\Neon\\"); }

    // Changes of every kind, as an installer makes them.
    void Install(InstallJournal& journal) {
        InstallTransaction tx(system.Access(), journal, "install");
        tx.CreateFolderPath("C:\\windows\\Cursors\\Neon\\big");
        tx.WriteFile("C:\\windows\\Cursors\\Neon\\arrow.cur", "neon arrow");
        tx.WriteFile("C:\\windows\\logonui.exe", "ours");
        tx.SetValues({{RegRoot::CurrentUser, "Control Panel\\Cursors", "", RegValue::String("Neon")},
                      {RegRoot::CurrentUser, "Control Panel\\Cursors", "Arrow",
                       RegValue::String("C:\\windows\\Cursors\\Neon\\arrow.cur")},
                      {RegRoot::CurrentUser, "Control Panel\\Cursors\\Schemes", "Neon", RegValue::String("a,b")}});
        tx.DeleteKeyTree(RegRoot::CurrentUser, "Software\\Old");
        tx.RemoveFile("C:\\windows\\Cursors\\mine.cur");
        tx.Apply(SystemSetting::Pointers);
        tx.Commit();
    }

    std::map<std::string, std::string> Files() { return system.files.Snapshot("C:\\Program\\journal"); }

    MemorySystem system;
    ProgramPaths paths;
};

class TransactionTest : public ::testing::Test, protected UserSystem {};

TEST_F(TransactionTest, AReplayPutsBackExactlyWhatWasThere) {
    const auto filesBefore = Files();
    const auto registryBefore = system.registry.Snapshot();
    InstallJournal journal = Journal();
    Install(journal);
    EXPECT_EQ(system.files.ReadFile("C:\\windows\\logonui.exe"), "ours");
    EXPECT_EQ(system.registry.Text(RegRoot::CurrentUser, "Control Panel\\Cursors", ""), "Neon");
    EXPECT_FALSE(system.registry.KeyExists(RegRoot::CurrentUser, "Software\\Old"));

    InstallJournal reread = Journal();
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.Records(), journal.Records());
    system.settings.applied.clear();
    const ReplayResult result = ReplayBackwards(system.Access(), reread, 0, reread.Records().size());
    EXPECT_TRUE(result.Finished());
    EXPECT_TRUE(result.kept.empty());
    EXPECT_EQ(Files(), filesBefore);
    EXPECT_EQ(system.registry.Snapshot(), registryBefore);
    EXPECT_EQ(system.settings.applied, (std::vector<SystemSetting>{SystemSetting::Pointers}));
}

TEST_F(TransactionTest, AReplayKeepsWhatChangedSinceAndWhatItCannotRemove) {
    InstallJournal journal = Journal();
    Install(journal);
    // The user edits a file of the scheme, adds one of theirs, and picks another scheme; a file
    // of ours is in use.
    system.files.Put("C:\\windows\\Cursors\\Neon\\arrow.cur", "edited");
    system.files.Put("C:\\windows\\Cursors\\Neon\\big\\theirs.cur", "theirs");
    system.files.Put("C:\\windows\\logonui.exe", "patched by someone");
    system.registry.Put(RegRoot::CurrentUser, "Control Panel\\Cursors", "", "Other");
    InstallJournal again = Journal();
    ASSERT_TRUE(again.Load());
    const ReplayResult result = ReplayBackwards(system.Access(), again, 0, again.Records().size());
    EXPECT_TRUE(result.Finished());
    EXPECT_EQ(system.files.ReadFile("C:\\windows\\Cursors\\Neon\\arrow.cur"), "edited");
    EXPECT_EQ(system.files.ReadFile("C:\\windows\\Cursors\\Neon\\big\\theirs.cur"), "theirs");
    EXPECT_EQ(system.files.ReadFile("C:\\windows\\logonui.exe"), "patched by someone");
    EXPECT_EQ(result.kept,
              (std::vector<std::string>{"C:\\windows\\logonui.exe", "C:\\windows\\Cursors\\Neon\\arrow.cur",
                                        "C:\\windows\\Cursors\\Neon\\big", "C:\\windows\\Cursors\\Neon"}));
    // The other scheme stays; the values still ours come back.
    EXPECT_EQ(system.registry.Text(RegRoot::CurrentUser, "Control Panel\\Cursors", ""), "Other");
    EXPECT_EQ(system.registry.Text(RegRoot::CurrentUser, "Control Panel\\Cursors", "Arrow"),
              "C:\\windows\\Cursors\\mine.cur");
    EXPECT_EQ(system.files.ReadFile("C:\\windows\\Cursors\\mine.cur"), "user's cursor");

    system.files.Put("C:\\windows\\Cursors\\Neon\\locked.cur", "x");
    InstallJournal locked(system.files, "C:\\Program\\journal\\cursor\\Locked\\");
    {
        InstallTransaction tx(system.Access(), locked, "install");
        tx.WriteFile("C:\\windows\\Cursors\\Neon\\new.cur", "ours");
        tx.Commit();
    }
    system.files.Lock("C:\\windows\\Cursors\\Neon\\new.cur");
    EXPECT_EQ(ReplayBackwards(system.Access(), locked, 0, locked.Records().size()).stayed,
              (std::vector<std::string>{"C:\\windows\\Cursors\\Neon\\new.cur"}));
}

TEST_F(TransactionTest, ACrashAtAnyStepIsRolledBackAtTheNextStartAndNeverLeavesAMixture) {
    const auto filesBefore = Files();
    const auto registryBefore = system.registry.Snapshot();
    std::map<std::string, std::string> filesAfter, registryAfter;
    int crashes = 0;
    for (int step = 1;; ++step) {
        UserSystem fresh;
        fresh.system.crash.FailAt(step);
        InstallJournal journal = fresh.Journal();
        try {
            fresh.Install(journal);
        } catch (const test::InjectedCrash&) {
        }
        if (!fresh.system.crash.Crashed()) {
            filesAfter = fresh.Files();
            registryAfter = fresh.system.registry.Snapshot();
            break;
        }
        ++crashes;
        fresh.system.crash.Revive();
        const RecoveryReport report = RecoverInterruptedInstallations(fresh.paths, fresh.system.Access());
        EXPECT_TRUE(report.stayed.empty()) << "step " << step;
        EXPECT_EQ(fresh.Files(), filesBefore) << "step " << step;
        EXPECT_EQ(fresh.system.registry.Snapshot(), registryBefore) << "step " << step;
        EXPECT_FALSE(fresh.system.files.FolderExists("C:\\Program\\journal\\cursor\\Neon")) << "step " << step;
    }
    EXPECT_GT(crashes, 10);
    EXPECT_NE(filesAfter, filesBefore);
}

TEST_F(TransactionTest, AJournalCutShortIsMadeWholeBeforeItGrows) {
    InstallJournal journal = Journal();
    Install(journal);
    const std::string file = journal.File();
    system.files.Put(file, *system.files.ReadFile(file) + "begin \"unins");

    InstallJournal reread = Journal();
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.Records(), journal.Records());
    EXPECT_FALSE(reread.Whole());
    reread.Append({Record(RecordKind::Begin, "uninstall")});
    EXPECT_TRUE(reread.Whole());
    std::vector<JournalRecord> expected = journal.Records();
    expected.push_back(Record(RecordKind::Begin, "uninstall"));
    EXPECT_EQ(system.files.ReadFile(file), FormatJournal(expected));
}

// Values expected before an unpacking are written with its announcement; setting them afterwards
// writes nothing more, unless they changed meanwhile.
TEST_F(TransactionTest, ExpectedValuesJoinTheNextAnnouncement) {
    const auto registryBefore = system.registry.Snapshot();
    const std::vector<InstallTransaction::ValueWrite> values = {
        {RegRoot::CurrentUser, "Control Panel\\Cursors", "", RegValue::String("Neon")},
        {RegRoot::CurrentUser, "Software\\New", "v", RegValue::String("ours")}};
    InstallJournal journal = Journal();
    InstallTransaction tx(system.Access(), journal, "install");
    tx.ExpectValues(values);
    EXPECT_FALSE(system.files.FileExists(journal.File()));
    tx.CreateFolderPath("C:\\windows\\Cursors\\Neon");
    const std::optional<std::string> announced = system.files.ReadFile(journal.File());
    ASSERT_TRUE(announced);
    tx.SetValues(values);
    EXPECT_EQ(system.files.ReadFile(journal.File()), announced);
    EXPECT_EQ(system.registry.Text(RegRoot::CurrentUser, "Software\\New", "v"), "ours");

    // Changed by someone else after it was announced: recorded anew with what it then held.
    tx.ExpectValues({{RegRoot::CurrentUser, "Control Panel\\Cursors", "Arrow", RegValue::String("neon.cur")}});
    tx.CreateFolderPath("C:\\windows\\Cursors\\Neon\\big");
    system.registry.Put(RegRoot::CurrentUser, "Control Panel\\Cursors", "Arrow", "theirs.cur");
    tx.SetValues({{RegRoot::CurrentUser, "Control Panel\\Cursors", "Arrow", RegValue::String("neon.cur")}});
    tx.Commit();
    ASSERT_TRUE(journal.Load());
    const auto& records = journal.Records();
    EXPECT_EQ(std::count_if(records.begin(), records.end(),
                            [](const JournalRecord& r) { return r.kind == RecordKind::Value; }),
              4);
    // Taken back, each value holds what it held before the program wrote it.
    ReplayBackwards(system.Access(), journal, 0, records.size());
    EXPECT_EQ(system.registry.Text(RegRoot::CurrentUser, "Control Panel\\Cursors", "Arrow"), "theirs.cur");
    system.registry.Put(RegRoot::CurrentUser, "Control Panel\\Cursors", "Arrow", "C:\\windows\\Cursors\\mine.cur");
    EXPECT_EQ(system.registry.Snapshot(), registryBefore);
}

TEST_F(TransactionTest, AChangeThatLeavesThingsAsTheyAreIsNotRecorded) {
    InstallJournal journal = Journal();
    InstallTransaction tx(system.Access(), journal, "apply");
    tx.SetString(RegRoot::CurrentUser, "Control Panel\\Cursors", "", "Mine");
    tx.WriteFile("C:\\windows\\logonui.exe", "Windows' own");
    tx.DeleteValue(RegRoot::CurrentUser, "Nowhere", "x");
    tx.Commit();
    EXPECT_TRUE(journal.Records().empty());
    EXPECT_FALSE(system.files.FolderExists(journal.Folder()));
}

}  // namespace
}  // namespace lumaforge
