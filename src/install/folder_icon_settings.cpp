#include "install/folder_icon_settings.h"

#include <stdexcept>
#include <vector>

#include "base/code_page.h"
#include "base/text.h"
#include "install/journal_store.h"
#include "install/journaled.h"

namespace lumaforge {
namespace {
constexpr char kSettingsFileName[] = "desktop.ini";
constexpr char kSection[] = "[.shellclassinfo]";

bool IsSectionHeader(std::string_view line) {
    return Trim(line).starts_with('[');
}

// The key of a "key=value" line, lowered and trimmed; empty for any other line.
std::string KeyOf(std::string_view line) {
    const size_t equals = line.find('=');
    return equals == std::string_view::npos ? std::string() : AsciiLower(Trim(line.substr(0, equals)));
}

std::string_view ValueOf(std::string_view line) {
    std::string_view value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

bool IsIconKey(const std::string& key) {
    return key == "iconfile" || key == "iconindex" || key == "iconresource";
}

// The lines of the icon section: [first, end) after its header; first == 0 when there is none.
struct SectionLines {
    size_t header = 0, first = 0, end = 0;
};
SectionLines FindIconSection(const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (AsciiLower(Trim(lines[i])) != kSection)
            continue;
        size_t end = i + 1;
        while (end < lines.size() && !IsSectionHeader(lines[end]))
            ++end;
        return {i, i + 1, end};
    }
    return {};
}

// The record that first wrote the settings file: whether the program made it.
bool JournalMadeFile(const InstallJournal& journal, const std::string& file) {
    for (const JournalRecord& record : journal.Records()) {
        if (record.path == file && (record.kind == RecordKind::FileCreated || record.kind == RecordKind::FileReplaced))
            return record.kind == RecordKind::FileCreated;
    }
    return false;
}

}  // namespace

std::string FolderSettingsFile(std::string_view folder) {
    std::string file(folder);
    if (file.empty() || file.back() != '\\')
        file += '\\';
    return file + kSettingsFileName;
}

std::string WithFolderIcon(std::string_view text, std::string_view iconFile) {
    std::vector<std::string> lines = SplitLines(text);
    const std::vector<std::string> icon = {"IconFile=" + std::string(iconFile), "IconIndex=0"};
    const SectionLines section = FindIconSection(lines);
    if (section.first == 0) {
        lines.push_back("[.ShellClassInfo]");
        lines.insert(lines.end(), icon.begin(), icon.end());
        return JoinLines(lines);
    }
    std::vector<std::string> result(lines.begin(), lines.begin() + static_cast<ptrdiff_t>(section.first));
    result.insert(result.end(), icon.begin(), icon.end());
    for (size_t i = section.first; i < lines.size(); ++i) {
        if (i >= section.end || !IsIconKey(KeyOf(lines[i])))
            result.push_back(lines[i]);
    }
    return JoinLines(result);
}

std::optional<std::string> WithoutProgramFolderIcon(std::string_view text, std::string_view iconsFolder) {
    std::vector<std::string> lines = SplitLines(text);
    const SectionLines section = FindIconSection(lines);
    if (section.first == 0)
        return std::nullopt;
    const std::string ours = AsciiLower(iconsFolder);
    bool named = false;
    for (size_t i = section.first; i < section.end; ++i) {
        if (KeyOf(lines[i]) == "iconfile" && AsciiLower(ValueOf(lines[i])).starts_with(ours))
            named = true;
    }
    if (!named)
        return std::nullopt;
    std::vector<std::string> result(lines.begin(), lines.begin() + static_cast<ptrdiff_t>(section.header));
    std::vector<std::string> rest;
    for (size_t i = section.first; i < section.end; ++i) {
        const std::string key = KeyOf(lines[i]);
        if (key != "iconfile" && key != "iconindex")
            rest.push_back(lines[i]);
    }
    if (!IsBlankText(JoinLines(rest))) {
        result.push_back(lines[section.header]);
        result.insert(result.end(), rest.begin(), rest.end());
    }
    result.insert(result.end(), lines.begin() + static_cast<ptrdiff_t>(section.end), lines.end());
    return JoinLines(result);
}

bool IsBlankText(std::string_view text) {
    return Trim(text).empty();
}

void SetFolderIcon(InstallHost& host, const std::string& folder, const std::string& iconFile) {
    const std::string file = FolderSettingsFile(folder);
    Journaled(host, FolderIconJournalFolder(host.paths, folder), "folder-icon", false, [&](InstallTransaction& tx) {
        const std::optional<std::string> bytes = tx.Files().ReadFile(file);
        const std::string text = bytes ? DecodeMarkedText(*bytes, CodePageOf(host)) : std::string();
        tx.WriteFile(file, EncodeAnsiOrUtf16(WithFolderIcon(text, iconFile), CodePageOf(host)));
        return true;
    });
}

std::vector<std::string> RestoreFolderIcon(InstallHost& host, const std::string& folder) {
    const std::string file = FolderSettingsFile(folder);
    const std::string journalFolder = FolderIconJournalFolder(host.paths, folder);
    // Without a journal (an icon set before there were journals) nobody can tell who made the file:
    // it goes only when nothing but the program's lines was in it.
    bool programMadeFile = true;
    if (host.keepJournal) {
        InstallJournal journal(host.system.files, journalFolder);
        if (journal.Load() && !journal.Records().empty()) {
            programMadeFile = JournalMadeFile(journal, file);
            const TakeBackResult back = TakeBackJournal(host.system, journal);
            if (!back.finished)
                return back.replay.stayed.empty() ? std::vector<std::string>{file} : back.replay.stayed;
        }
    }
    // What is left of the program's lines in a file changed since, or written before the journals.
    const std::optional<std::string> bytes = host.system.files.ReadFile(file);
    if (!bytes)
        return {};
    const std::optional<std::string> rest =
        WithoutProgramFolderIcon(DecodeMarkedText(*bytes, CodePageOf(host)), host.paths.FolderIconsFolder());
    if (!rest)
        return {};
    Journaled(host, journalFolder, "restore", true, [&](InstallTransaction& tx) {
        if (IsBlankText(*rest) && programMadeFile)
            tx.RemoveFile(file);
        else
            tx.WriteFile(file, EncodeAnsiOrUtf16(*rest, CodePageOf(host)));
        return true;
    });
    return {};
}

}  // namespace lumaforge
