#include "install/install_journal.h"

#include <zlib.h>

#include <charconv>
#include <cstdio>
#include <stdexcept>

#include "base/code_page.h"
#include "base/text.h"

namespace lumaforge {
namespace {
constexpr std::string_view kHeader = "Lumaforge install journal 1";

// zlib takes at most 4 GiB - 1 per call.
uint32_t Crc32(std::string_view bytes) {
    uLong crc = crc32(0, nullptr, 0);
    while (!bytes.empty()) {
        const size_t piece = std::min<size_t>(bytes.size(), 1u << 30);
        crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(piece));
        bytes.remove_prefix(piece);
    }
    return static_cast<uint32_t>(crc);
}

constexpr const char* kKindNames[] = {"begin",   "done",        "folder-created", "file-created", "file-replaced",
                                      "scratch", "key-created", "key-deleted",    "value",        "setting"};
constexpr const char* kSettingNames[] = {"pointers", "screen-saver", "shell-icons"};

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        out += kDigits[static_cast<unsigned char>(c) >> 4];
        out += kDigits[static_cast<unsigned char>(c) & 0xF];
    }
    return out;
}

std::string FormatValue(const std::optional<RegValue>& value) {
    if (!value)
        return "none";
    if (value->IsString()) {
        if (const std::optional<std::string> text = value->Text();
            text && RegValue::String(*text) == RegValue{kRegSz, value->data})
            return std::string(value->type == kRegSz ? "sz " : "expand-sz ") + Quote(*text);
    }
    return "hex " + std::to_string(value->type) + " " + (value->data.empty() ? "-" : Hex(value->data));
}

std::string RootName(RegRoot root) {
    return root == RegRoot::CurrentUser ? "HKCU" : "HKLM";
}

std::string FormatRecord(const JournalRecord& record) {
    std::string line = kKindNames[static_cast<int>(record.kind)];
    auto fingerprint = [](const std::optional<FileFingerprint>& content) {
        if (!content)
            return std::string("none");
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08x", content->crc);
        return std::to_string(content->size) + " " + crc;
    };
    switch (record.kind) {
        case RecordKind::Done:
            break;
        case RecordKind::Begin:
        case RecordKind::FolderCreated:
        case RecordKind::Scratch:
            line += " " + Quote(record.path);
            break;
        case RecordKind::FileCreated:
            line += " " + Quote(record.path) + " " + fingerprint(record.content);
            break;
        case RecordKind::FileReplaced:
            line += " " + Quote(record.path) + " saved " + Quote(record.saved) + " now " + fingerprint(record.content);
            break;
        case RecordKind::KeyCreated:
        case RecordKind::KeyDeleted:
            line += " " + RootName(record.root) + " " + Quote(record.path);
            break;
        case RecordKind::Value:
            line += " " + RootName(record.root) + " " + Quote(record.path) + " " + Quote(record.valueName) + " was " +
                    FormatValue(record.before) + " now " + FormatValue(record.after);
            break;
        case RecordKind::Setting:
            line += std::string(" ") + kSettingNames[static_cast<int>(record.setting)];
            break;
    }
    return line;
}

// Reads the words and quoted texts of one line in turn.
class LineReader {
public:
    explicit LineReader(std::string_view line) : line_(line) {}

    bool AtEnd() {
        SkipBlanks();
        return at_ >= line_.size();
    }

    std::optional<std::string> Word() {
        SkipBlanks();
        const size_t start = at_;
        while (at_ < line_.size() && line_[at_] != ' ')
            ++at_;
        if (start == at_)
            return std::nullopt;
        return std::string(line_.substr(start, at_ - start));
    }

    std::optional<std::string> Quoted() {
        SkipBlanks();
        if (at_ >= line_.size() || line_[at_] != '"')
            return std::nullopt;
        std::string text;
        for (++at_; at_ < line_.size(); ++at_) {
            const char c = line_[at_];
            if (c == '"') {
                ++at_;
                return text;
            }
            if (c != '\\') {
                text += c;
                continue;
            }
            if (++at_ >= line_.size())
                return std::nullopt;
            if (line_[at_] == 'x') {
                unsigned byte = 0;
                if (at_ + 2 >= line_.size() ||
                    std::from_chars(line_.data() + at_ + 1, line_.data() + at_ + 3, byte, 16).ptr !=
                        line_.data() + at_ + 3)
                    return std::nullopt;
                text += static_cast<char>(byte);
                at_ += 2;
            } else {
                text += line_[at_];
            }
        }
        return std::nullopt;
    }

private:
    void SkipBlanks() {
        while (at_ < line_.size() && line_[at_] == ' ')
            ++at_;
    }
    std::string_view line_;
    size_t at_ = 0;
};

template <typename T>
bool Number(const std::optional<std::string>& word, T& value, int base = 10) {
    if (!word)
        return false;
    const char* end = word->data() + word->size();
    return std::from_chars(word->data(), end, value, base).ptr == end;
}

bool ReadFingerprint(LineReader& reader, std::optional<FileFingerprint>& content) {
    const std::optional<std::string> size = reader.Word();
    if (size == "none") {
        content.reset();
        return true;
    }
    FileFingerprint fingerprint;
    if (!Number(size, fingerprint.size) || !Number(reader.Word(), fingerprint.crc, 16))
        return false;
    content = fingerprint;
    return true;
}

bool ReadValue(LineReader& reader, std::optional<RegValue>& value) {
    const std::optional<std::string> form = reader.Word();
    if (form == "none") {
        value.reset();
        return true;
    }
    if (form == "sz" || form == "expand-sz") {
        const std::optional<std::string> text = reader.Quoted();
        if (!text)
            return false;
        value = RegValue::String(*text, form == "expand-sz");
        return true;
    }
    if (form != "hex")
        return false;
    RegValue raw;
    if (!Number(reader.Word(), raw.type))
        return false;
    const std::optional<std::string> bytes = reader.Word();
    if (!bytes || (*bytes != "-" && bytes->size() % 2 != 0))
        return false;
    if (*bytes != "-") {
        for (size_t i = 0; i < bytes->size(); i += 2) {
            unsigned byte = 0;
            if (std::from_chars(bytes->data() + i, bytes->data() + i + 2, byte, 16).ptr != bytes->data() + i + 2)
                return false;
            raw.data += static_cast<char>(byte);
        }
    }
    value = std::move(raw);
    return true;
}

bool ReadRoot(LineReader& reader, RegRoot& root) {
    const std::optional<std::string> word = reader.Word();
    if (word == "HKCU")
        root = RegRoot::CurrentUser;
    else if (word == "HKLM")
        root = RegRoot::LocalMachine;
    else
        return false;
    return true;
}

std::optional<JournalRecord> ParseRecord(std::string_view line) {
    LineReader reader(line);
    const std::optional<std::string> kindName = reader.Word();
    JournalRecord record;
    size_t kind = 0;
    while (kind < std::size(kKindNames) && kindName != kKindNames[kind])
        ++kind;
    if (kind == std::size(kKindNames))
        return std::nullopt;
    record.kind = static_cast<RecordKind>(kind);
    auto quoted = [&reader](std::string& into) {
        std::optional<std::string> text = reader.Quoted();
        if (text)
            into = std::move(*text);
        return text.has_value();
    };
    bool ok = true;
    switch (record.kind) {
        case RecordKind::Done:
            break;
        case RecordKind::Begin:
        case RecordKind::FolderCreated:
        case RecordKind::Scratch:
            ok = quoted(record.path);
            break;
        case RecordKind::FileCreated:
            ok = quoted(record.path) && ReadFingerprint(reader, record.content) && record.content;
            break;
        case RecordKind::FileReplaced:
            ok = quoted(record.path) && reader.Word() == "saved" && quoted(record.saved) && reader.Word() == "now" &&
                 ReadFingerprint(reader, record.content);
            break;
        case RecordKind::KeyCreated:
        case RecordKind::KeyDeleted:
            ok = ReadRoot(reader, record.root) && quoted(record.path);
            break;
        case RecordKind::Value:
            ok = ReadRoot(reader, record.root) && quoted(record.path) && quoted(record.valueName) &&
                 reader.Word() == "was" && ReadValue(reader, record.before) && reader.Word() == "now" &&
                 ReadValue(reader, record.after);
            break;
        case RecordKind::Setting: {
            const std::optional<std::string> name = reader.Word();
            size_t setting = 0;
            while (setting < std::size(kSettingNames) && name != kSettingNames[setting])
                ++setting;
            ok = setting < std::size(kSettingNames);
            record.setting = static_cast<SystemSetting>(setting);
            break;
        }
    }
    if (!ok || !reader.AtEnd())
        return std::nullopt;
    return record;
}
}  // namespace

RegValue RegValue::String(std::string_view utf8, bool expandable) {
    RegValue value{expandable ? kRegExpandSz : kRegSz, {}};
    const std::u16string wide = Utf8ToUtf16(utf8);
    value.data.reserve((wide.size() + 1) * 2);
    for (const char16_t c : wide) {
        value.data += static_cast<char>(c & 0xFF);
        value.data += static_cast<char>(c >> 8);
    }
    value.data.append(2, '\0');
    return value;
}

RegValue RegValue::Dword(uint32_t number) {
    RegValue value{kRegDword, {}};
    for (int i = 0; i < 4; ++i)
        value.data += static_cast<char>((number >> (8 * i)) & 0xFF);
    return value;
}

std::optional<std::string> RegValue::Text() const {
    if (!IsString())
        return std::nullopt;
    std::u16string wide;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        const auto c =
            static_cast<char16_t>(static_cast<unsigned char>(data[i]) | static_cast<unsigned char>(data[i + 1]) << 8);
        if (c == 0)
            break;
        wide += c;
    }
    return Utf16ToUtf8(wide);
}

FileFingerprint FileFingerprint::Of(std::string_view bytes) {
    return {bytes.size(), Crc32(bytes)};
}

namespace {
std::string FormatLines(const std::vector<JournalRecord>& records) {
    std::string text;
    for (const JournalRecord& record : records)
        text += FormatRecord(record) + "\r\n";
    return text;
}

std::string_view Header() {
    static const std::string header = std::string(kHeader) + "\r\n";
    return header;
}

// The text up to its last line end: a line without one is a write that a crash cut short.
std::string_view WholeLines(std::string_view text) {
    const size_t end = text.rfind('\n');
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}
}  // namespace

std::string FormatJournal(const std::vector<JournalRecord>& records) {
    return std::string(Header()) + FormatLines(records);
}

std::optional<std::vector<JournalRecord>> ParseJournal(std::string_view text) {
    const std::vector<std::string> lines = SplitLines(WholeLines(text));
    // Records go to the disk before the changes they announce, so a journal whose first write was
    // cut short announces nothing.
    if (lines.empty())
        return Header().starts_with(text) ? std::optional(std::vector<JournalRecord>()) : std::nullopt;
    if (lines[0] != kHeader)
        return std::nullopt;
    std::vector<JournalRecord> records;
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty())
            continue;
        std::optional<JournalRecord> record = ParseRecord(lines[i]);
        if (!record)
            return std::nullopt;
        records.push_back(std::move(*record));
    }
    return records;
}

InstallJournal::InstallJournal(SystemFiles& files, std::string folder) : files_(files), folder_(std::move(folder)) {}

bool InstallJournal::Load() {
    records_.clear();
    onDisk_ = OnDisk::Unknown;
    const std::optional<std::string> text = files_.ReadFile(File());
    if (!text) {
        if (!files_.FileExists(File()))
            onDisk_ = OnDisk::Nothing;
        return false;
    }
    std::optional<std::vector<JournalRecord>> records = ParseJournal(*text);
    if (!records)
        return false;
    records_ = std::move(*records);
    // Records are added at the end only to a file that ends where its last record does.
    if (WholeLines(*text).size() == text->size())
        onDisk_ = text->empty() ? OnDisk::Nothing : OnDisk::Whole;
    folderMade_ = true;
    for (const JournalRecord& record : records_) {
        int number = 0;
        if (record.kind == RecordKind::FileReplaced &&
            std::from_chars(record.saved.data(), record.saved.data() + record.saved.size(), number).ec == std::errc())
            nextSaved_ = std::max(nextSaved_, number + 1);
    }
    return true;
}

void InstallJournal::EnsureFolder() {
    if (folderMade_)
        return;
    // The folder and its missing parents, down from the first one that exists.
    std::vector<std::string> missing;
    for (std::string folder = folder_.substr(0, folder_.size() - 1); !folder.empty() && !files_.FolderExists(folder);) {
        missing.push_back(folder);
        const size_t slash = folder.find_last_of('\\');
        if (slash == std::string::npos)
            break;
        folder.resize(slash);
    }
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder)
        files_.CreateFolder(*folder);
    folderMade_ = true;
}

void InstallJournal::Write() {
    EnsureFolder();
    onDisk_ = OnDisk::Unknown;
    files_.WriteFileDurably(File(), FormatJournal(records_));
    onDisk_ = OnDisk::Whole;
}

void InstallJournal::Add(const std::vector<JournalRecord>& added, bool flush) {
    records_.insert(records_.end(), added.begin(), added.end());
    if (onDisk_ == OnDisk::Unknown) {
        Write();
        return;
    }
    EnsureFolder();
    std::string text = onDisk_ == OnDisk::Nothing ? std::string(Header()) : std::string();
    text += FormatLines(added);
    // Until the append has returned, the file may end in the middle of a line.
    onDisk_ = OnDisk::Unknown;
    files_.AppendToFile(File(), text, flush);
    onDisk_ = OnDisk::Whole;
}

void InstallJournal::Rewrite(std::vector<JournalRecord> records) {
    records_ = std::move(records);
    if (records_.empty())
        Remove();
    else
        Write();
}

std::optional<std::string> InstallJournal::NewSavedFile(std::string& savedName) {
    EnsureFolder();
    const std::string savedFolder = folder_ + "saved";
    if (!files_.FolderExists(savedFolder))
        files_.CreateFolder(savedFolder);
    savedName = std::to_string(nextSaved_++);
    return SavedPath(savedName);
}

bool InstallJournal::Remove() {
    folderMade_ = false;
    onDisk_ = OnDisk::Unknown;
    return folder_.empty() || files_.RemoveTree(folder_.substr(0, folder_.size() - 1));
}

}  // namespace lumaforge
