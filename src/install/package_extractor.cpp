#include "install/package_extractor.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "base/device_names.h"
#include "base/little_endian.h"
#include "base/text.h"

namespace lumaforge {
namespace fs = std::filesystem;

namespace {
// Extraction runs on the user-interface thread: data moves in large pieces.
constexpr size_t kDataBufferSize = 256 * 1024;
// minizip reads its headers a few bytes at a time, hopping between the central directory and the
// entries; this much of the archive is kept at hand.
constexpr size_t kArchiveBufferSize = 64 * 1024;

constexpr unsigned kFlagEncrypted = 1;
constexpr unsigned kFlagUtf8Name = 1 << 11;
constexpr unsigned kMethodStored = 0;
constexpr unsigned kMethodDeflated = 8;
constexpr unsigned kUnicodePathField = 0x7075;
// The private folder inside the destination that holds the entries until every one is whole.
constexpr std::string_view kPrivatePrefix = ".lumaforge-extract-";

fs::path PathOf(std::string_view utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// What is wrong with the package, worded for the user; the extractor adds the package's name.
class PackageFault : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file or folder of the destination that cannot be written.
class WriteFault : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.append(1, '"').append(text).append(1, '"');
    return quoted;
}

[[noreturn]] void ThrowEntryFault(std::string_view name, std::string_view what) {
    throw PackageFault("the entry " + Quoted(name) + " " + std::string(what));
}

[[noreturn]] void ThrowWriteFault(std::string_view what, const fs::path& path, const std::error_code& error = {}) {
    std::string text = std::string(what) + " " + Quoted(Utf8Of(path));
    if (error)
        text += " (" + error.message() + ")";
    throw WriteFault(text);
}

// The archive as minizip reads it, through std::filesystem paths so that UTF-8 names work on
// every platform. Seeks inside the buffered window cost nothing.
class ArchiveStream {
public:
    bool Open(const fs::path& path) {
        file_.pubsetbuf(nullptr, 0);
        if (!file_.open(path, std::ios::in | std::ios::binary))
            return false;
        const auto end = file_.pubseekoff(0, std::ios::end, std::ios::in);
        if (end == std::streampos(-1))
            return false;
        size_ = static_cast<uint64_t>(static_cast<std::streamoff>(end));
        return true;
    }

    uint64_t Read(char* out, uint64_t size) {
        uint64_t done = 0;
        while (done < size && position_ < size_) {
            if (position_ >= bufferStart_ && position_ < bufferStart_ + buffer_.size()) {
                const uint64_t offset = position_ - bufferStart_;
                const uint64_t count = std::min<uint64_t>(size - done, buffer_.size() - offset);
                std::memcpy(out + done, buffer_.data() + offset, count);
                done += count;
                position_ += count;
            } else if (size - done >= kArchiveBufferSize) {
                const uint64_t count = ReadAt(position_, out + done, size - done);
                if (count == 0)
                    break;
                done += count;
                position_ += count;
            } else {
                buffer_.resize(kArchiveBufferSize);
                bufferStart_ = position_;
                buffer_.resize(ReadAt(position_, buffer_.data(), buffer_.size()));
                if (buffer_.empty())
                    break;
            }
        }
        return done;
    }

    uint64_t Tell() const { return position_; }

    // minizip steps back with a relative seek by an offset wrapped around as unsigned.
    bool Seek(uint64_t offset, int origin) {
        const uint64_t base = origin == ZLIB_FILEFUNC_SEEK_SET   ? 0
                              : origin == ZLIB_FILEFUNC_SEEK_CUR ? position_
                                                                 : size_;
        const uint64_t target = base + offset;
        if (target > size_)
            return false;
        position_ = target;
        return true;
    }

private:
    uint64_t ReadAt(uint64_t position, char* out, uint64_t size) {
        if (file_.pubseekoff(static_cast<std::streamoff>(position), std::ios::beg, std::ios::in) == std::streampos(-1))
            return 0;
        return static_cast<uint64_t>(file_.sgetn(out, static_cast<std::streamsize>(size)));
    }

    std::filebuf file_;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
    std::vector<char> buffer_;
    uint64_t bufferStart_ = 0;
};

voidpf ZCALLBACK OpenArchive(voidpf, const void* path, int mode) {
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ)
        return nullptr;
    auto stream = std::make_unique<ArchiveStream>();
    return stream->Open(*static_cast<const fs::path*>(path)) ? stream.release() : nullptr;
}

uLong ZCALLBACK ReadArchive(voidpf, voidpf stream, void* out, uLong size) {
    return static_cast<uLong>(static_cast<ArchiveStream*>(stream)->Read(static_cast<char*>(out), size));
}

uLong ZCALLBACK WriteArchive(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T ZCALLBACK TellArchive(voidpf, voidpf stream) {
    return static_cast<ArchiveStream*>(stream)->Tell();
}

long ZCALLBACK SeekArchive(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    return static_cast<ArchiveStream*>(stream)->Seek(offset, origin) ? 0 : -1;
}

int ZCALLBACK CloseArchive(voidpf, voidpf stream) {
    delete static_cast<ArchiveStream*>(stream);
    return 0;
}

int ZCALLBACK ArchiveError(voidpf, voidpf) {
    return 0;
}

struct ArchiveCloser {
    void operator()(void* archive) const { unzClose(archive); }
};
using Archive = std::unique_ptr<void, ArchiveCloser>;

// The package opened through the functions above (wide paths on Windows); empty when it is no ZIP.
Archive OpenPackage(const fs::path& package) {
    zlib_filefunc64_def io{OpenArchive, ReadArchive,  WriteArchive, TellArchive,
                           SeekArchive, CloseArchive, ArchiveError, nullptr};
    return Archive(unzOpen2_64(&package, &io));
}

// Info-ZIP's UTF-8 name of an entry, valid only while it still belongs to the stored name.
bool FindUnicodePath(std::string_view extra, std::string_view storedName, std::string& name) {
    for (size_t at = 0; at + 4 <= extra.size();) {
        const uint32_t id = ReadLittleEndian(extra, at, 2);
        const uint32_t size = ReadLittleEndian(extra, at + 2, 2);
        if (at + 4 + size > extra.size())
            return false;
        if (id == kUnicodePathField && size >= 5 && extra[at + 4] == 1) {
            const auto storedCrc = static_cast<uint32_t>(
                crc32(0, reinterpret_cast<const Bytef*>(storedName.data()), static_cast<uInt>(storedName.size())));
            if (ReadLittleEndian(extra, at + 5, 4) == storedCrc) {
                name.assign(extra.substr(at + 9, size - 5));
                return true;
            }
        }
        at += 4 + size;
    }
    return false;
}

// Windows compares names without regard to case; these are the letters a package may hold.
char16_t FoldCase(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB) ||
        (c >= 0x410 && c <= 0x42F) || (c >= 0xFF21 && c <= 0xFF3A))
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 0x50);
    return c;
}

// The key under which Windows finds the first `count` parts of a path.
std::u16string FoldedKey(const std::vector<std::string>& parts, size_t count) {
    std::string joined;
    for (size_t i = 0; i < count; ++i)
        joined += (i ? "/" : "") + parts[i];
    std::u16string key = Utf8ToUtf16(joined);
    std::transform(key.begin(), key.end(), key.begin(), FoldCase);
    return key;
}

struct Entry {
    std::string name;                // UTF-8, as the archive writes it: for messages
    std::vector<std::string> parts;  // the path under the destination
    bool folder = false;
    uint64_t size = 0;
    uint32_t crc = 0;
};

// Splits an entry name at either separator into the parts of its path under the destination;
// a name that would leave the destination, name a device or stream, or that Windows cannot
// create as written, is a fault of the package.
void SplitEntryName(Entry& entry) {
    const std::string& name = entry.name;
    if (name.empty())
        throw PackageFault("an entry has no name");
    if (name[0] == '/' || name[0] == '\\')
        ThrowEntryFault(name, "has an absolute path");
    if (name.size() >= 2 && name[1] == ':')
        ThrowEntryFault(name, "names a drive");
    if (name.find(':') != std::string::npos)
        ThrowEntryFault(name, "names a file stream (\":\")");
    for (unsigned char c : name) {
        if (c < 0x20 || std::strchr("<>\"|?*", c) != nullptr)
            ThrowEntryFault(name, "holds a character that file names cannot hold");
    }
    size_t start = 0;
    while (start < name.size()) {
        const size_t end = std::min(name.find_first_of("/\\", start), name.size());
        const std::string part = name.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..")
            ThrowEntryFault(name, "leads out of the destination folder (\"..\")");
        if (part.back() == '.' || part.back() == ' ')
            ThrowEntryFault(name, "has a name that ends in a dot or a space");
        if (IsDeviceName(part))
            ThrowEntryFault(name, "uses a device name (" + Quoted(part) + ")");
        entry.parts.push_back(part);
    }
    entry.folder = name.back() == '/' || name.back() == '\\';
    // A folder entry "./" names the destination itself and adds nothing.
    if (entry.parts.empty() && !entry.folder)
        ThrowEntryFault(name, "names no file");
}

// Whether an entry that declares `size` bytes from `compressed` bytes expands more than `maxRatio` times.
bool ExpandsBeyond(uint64_t size, uint64_t compressed, uint32_t maxRatio) {
    if (size == 0)
        return false;
    if (maxRatio == 0)
        return true;
    const uint64_t leastCompressed = size / maxRatio + (size % maxRatio != 0 ? 1 : 0);
    return compressed < leastCompressed;
}

// A rename, or a copy where the two lie on different volumes (the journal's folder and the
// Windows folder may).
void MoveAcross(const fs::path& from, const fs::path& to, std::error_code& error) {
    fs::rename(from, to, error);
    if (!error)
        return;
    std::error_code copied;
    if (fs::copy_file(from, to, fs::copy_options::overwrite_existing, copied) && fs::remove(from, copied))
        error.clear();
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

fs::path TargetOf(const fs::path& destination, const std::vector<std::string>& parts, size_t count) {
    fs::path path = destination;
    for (size_t i = 0; i < count; ++i)
        path /= PathOf(parts[i]);
    return path;
}

// The folders of a path that do not exist yet, the outermost first.
std::vector<fs::path> MissingFolders(const fs::path& folder) {
    std::vector<fs::path> missing;
    for (fs::path path = folder; !path.empty(); path = path.parent_path()) {
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        if (fs::is_directory(status))
            break;
        if (fs::exists(status))
            ThrowWriteFault("a file stands where there must be the folder", path);
        missing.insert(missing.begin(), path);
        if (path == path.parent_path())
            break;
    }
    return missing;
}

// What the private folder holds once every entry is staged, known from the list of entries before
// anything is written: the merge is planned from it, so that the journal hears of every placement
// while the disk is still quiet.
struct StagedItem {
    fs::path name;  // as the first entry that makes it spells it; Windows then folds the others in
    bool folder = true;
    FileFingerprint content;
    std::map<std::u16string, StagedItem> items;  // by folded name

    void Add(const Entry& entry) {
        StagedItem* item = this;
        const size_t depth = entry.parts.size();
        for (size_t i = 0; i < depth; ++i) {
            auto [found, added] = item->items.try_emplace(FoldedKey({entry.parts[i]}, 1));
            if (added)
                found->second.name = PathOf(entry.parts[i]);
            item = &found->second;
        }
        if (!entry.folder && depth != 0) {
            item->folder = false;
            item->content = {entry.size, entry.crc};
        }
    }

    // In name order, as a folder listing gives them, so that a failure leaves the same trace on
    // every file system.
    std::vector<const StagedItem*> Sorted() const {
        std::vector<const StagedItem*> sorted;
        for (const auto& [key, item] : items)
            sorted.push_back(&item);
        std::sort(sorted.begin(), sorted.end(),
                  [](const StagedItem* a, const StagedItem* b) { return a->name < b->name; });
        return sorted;
    }
};

// What one extraction changed in the destination, undone unless the extraction finished.
//
// The entries are first written into a private folder inside the destination, as the tree they
// make; only when every entry is whole is that tree merged into the destination. A staged folder
// that the destination lacks moves in one rename, so a fresh installation costs a few renames
// rather than one per file.
class Extraction {
public:
    explicit Extraction(InstallTransaction* tx) : tx_(tx) {}
    Extraction(const Extraction&) = delete;
    Extraction& operator=(const Extraction&) = delete;

    ~Extraction() {
        if (!finished_)
            Undo();
    }

    // Creates a folder and every missing parent.
    void CreateFolderPath(const fs::path& folder) {
        for (const fs::path& path : MissingFolders(folder)) {
            CreateFolder(path);
            createdFolders_.push_back(path);
        }
    }

    // A name for the private folder that no entry of the archive begins with and that nothing in
    // the destination has yet.
    static fs::path FreePrivateFolder(const fs::path& destination, const std::set<std::u16string>& taken,
                                      int after = 0) {
        for (int number = after + 1; number <= 1000; ++number) {
            const std::string name = std::string(kPrivatePrefix) + std::to_string(number);
            if (taken.count(FoldedKey({name}, 1)) == 0 && !Exists(destination / PathOf(name)))
                return destination / PathOf(name);
        }
        ThrowWriteFault("cannot find a free name for a temporary folder in", destination);
    }

    // Creates the private folder chosen (and announced) before; should something have taken the
    // name since, the next free one, announced first, so that a crash never leaves it off record.
    void CreatePrivateFolder(fs::path path, const std::set<std::u16string>& taken) {
        for (int number = 1;; ++number) {
            std::error_code error;
            if (fs::create_directory(path, error)) {
                private_ = path;
                CreateFolder(private_ / "new");
                CreateFolder(private_ / "old");
                return;
            }
            if (!Exists(path))
                ThrowWriteFault("cannot create the folder", path, error);
            path = FreePrivateFolder(path.parent_path(), taken, number);
            if (tx_)
                tx_->AnnounceScratch(Utf8Of(path));
        }
    }

    // Where an entry waits until every entry is whole, spelled as in `staged`; its folders are
    // created on the way.
    fs::path Stage(const StagedItem& staged, const Entry& entry) {
        fs::path path = private_ / "new";
        const StagedItem* item = &staged;
        for (size_t i = 0; i < entry.parts.size(); ++i) {
            item = &item->items.at(FoldedKey({entry.parts[i]}, 1));
            path /= item->name;
            if (item->folder && stagedFolders_.insert(path).second)
                CreateFolder(path);
        }
        return path;
    }

    struct Move {
        std::vector<const StagedItem*> from;  // the path under the private folder's "new"
        fs::path target;
        bool folder = false;
        bool replaces = false;
        size_t placement = 0;  // its announcement
    };
    struct Plan {
        std::vector<Move> moves;
        std::vector<InstallTransaction::Placement> placements;
    };

    // What the merge will move where, judged against the destination as it is now. With
    // `replace`, files there are replaced; otherwise they stay and the staged copy is dropped. A
    // staged folder that the destination lacks moves in one rename.
    static Plan PlanMerge(const StagedItem& staged, const fs::path& destination, bool replace) {
        Plan plan;
        PlanFolder(staged, {}, destination, replace, plan);
        return plan;
    }

    // Moves what was staged into the destination (the old bytes of replaced files kept aside, in
    // the journal when there is one, until the extraction finishes). The destination is judged
    // again: should it have changed since the plan was announced, the new plan is announced before
    // the first move.
    void Merge(const StagedItem& staged, const fs::path& destination, bool replace, const Plan& announced,
               std::vector<std::string> aside) {
        const Plan plan = PlanMerge(staged, destination, replace);
        if (tx_ && plan.placements != announced.placements)
            aside = tx_->AnnouncePlacements(plan.placements);
        for (const Move& move : plan.moves) {
            const std::string* journalAside =
                move.placement < aside.size() && !aside[move.placement].empty() ? &aside[move.placement] : nullptr;
            Execute(move, journalAside ? PathOf(*journalAside) : fs::path());
        }
    }

    void Finish() {
        finished_ = true;
        std::error_code ignored;
        // Best effort: a replaced program that is still running may refuse to go.
        if (!private_.empty())
            fs::remove_all(private_, ignored);
    }

private:
    struct Placed {
        fs::path target;
        bool folder = false;  // a whole folder of ours
        fs::path aside;       // the file it replaced, if any
    };

    static void CreateFolder(const fs::path& folder) {
        std::error_code error;
        if (!fs::create_directory(folder, error) && error)
            ThrowWriteFault("cannot create the folder", folder, error);
    }

    // What a staged folder that moves in whole brings along.
    static void AnnounceContent(const StagedItem& folder, const fs::path& to,
                                std::vector<InstallTransaction::Placement>& placements) {
        for (const StagedItem* item : folder.Sorted()) {
            placements.push_back({Utf8Of(to / item->name), item->folder, false, item->content});
            if (item->folder)
                AnnounceContent(*item, to / item->name, placements);
        }
    }

    static void PlanFolder(const StagedItem& folder, const std::vector<const StagedItem*>& from, const fs::path& to,
                           bool replace, Plan& plan) {
        std::error_code error;
        for (const StagedItem* item : folder.Sorted()) {
            std::vector<const StagedItem*> path = from;
            path.push_back(item);
            const fs::path target = to / item->name;
            const fs::file_status there = fs::symlink_status(target, error);
            if (!fs::exists(there)) {
                plan.moves.push_back({path, target, item->folder, false, plan.placements.size()});
                plan.placements.push_back({Utf8Of(target), item->folder, false, item->content});
                if (item->folder)
                    AnnounceContent(*item, target, plan.placements);
            } else if (item->folder) {
                if (!fs::is_directory(fs::status(target, error)))
                    ThrowWriteFault("a file stands where there must be the folder", target);
                PlanFolder(*item, path, target, replace, plan);
            } else if (replace) {
                if (fs::is_directory(there))
                    ThrowWriteFault("a folder stands where there must be the file", target);
                plan.moves.push_back({path, target, false, true, plan.placements.size()});
                plan.placements.push_back({Utf8Of(target), false, true, item->content});
            }
        }
    }

    // Where a staged item lies: the private folder's "new", then the names as the first entry that
    // made each folder spelled them.
    fs::path StagedPath(const std::vector<const StagedItem*>& items) const {
        fs::path path = private_ / "new";
        for (const StagedItem* item : items)
            path /= item->name;
        return path;
    }

    void Execute(const Move& move, fs::path aside) {
        std::error_code error;
        if (move.replaces) {
            if (aside.empty())
                aside = private_ / "old" / std::to_string(placed_.size());
            MoveAcross(move.target, aside, error);
            if (error)
                ThrowWriteFault("cannot replace the file", move.target, error);
            placed_.push_back({move.target, false, aside});
        }
        fs::rename(StagedPath(move.from), move.target, error);
        if (error)
            ThrowWriteFault(move.folder ? "cannot create the folder" : "cannot write the file", move.target, error);
        if (!move.replaces)
            placed_.push_back({move.target, move.folder, {}});
    }

    void Undo() {
        std::error_code ignored;
        for (auto placed = placed_.rbegin(); placed != placed_.rend(); ++placed) {
            if (placed->folder) {
                fs::remove_all(placed->target, ignored);
                continue;
            }
            fs::remove(placed->target, ignored);
            if (!placed->aside.empty())
                MoveAcross(placed->aside, placed->target, ignored);
        }
        if (!private_.empty())
            fs::remove_all(private_, ignored);
        for (auto folder = createdFolders_.rbegin(); folder != createdFolders_.rend(); ++folder)
            fs::remove(*folder, ignored);
    }

    std::vector<fs::path> createdFolders_;
    fs::path private_;
    std::set<fs::path> stagedFolders_;
    std::vector<Placed> placed_;
    InstallTransaction* tx_ = nullptr;
    bool finished_ = false;
};

// Reads the current entry whole, into `staged` unless that is empty, and checks it against its
// declared size and CRC.
void CopyEntry(unzFile archive, const Entry& entry, const fs::path& staged, std::vector<char>& buffer) {
    if (unzOpenCurrentFile(archive) != UNZ_OK)
        ThrowEntryFault(entry.name, "cannot be read");
    std::ofstream out;
    if (!staged.empty()) {
        // Unbuffered: every write hands a whole piece to the system.
        out.rdbuf()->pubsetbuf(nullptr, 0);
        out.open(staged, std::ios::out | std::ios::binary | std::ios::trunc);
        if (!out)
            ThrowWriteFault("cannot create the file", staged);
    }
    uint64_t produced = 0;
    for (;;) {
        const int count = unzReadCurrentFile(archive, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (count < 0)
            ThrowEntryFault(entry.name, "holds damaged data");
        if (count == 0)
            break;
        produced += static_cast<uint64_t>(count);
        // minizip itself stops at the declared size (the surplus then fails the CRC); this holds
        // the line whatever reader is underneath.
        if (produced > entry.size)
            ThrowEntryFault(entry.name, "is larger than it declares");
        if (out.is_open() && !out.write(buffer.data(), count))
            ThrowWriteFault("cannot write the file", staged);
    }
    const int closed = unzCloseCurrentFile(archive);
    if (out.is_open()) {
        out.close();
        if (!out)
            ThrowWriteFault("cannot write the file", staged);
    }
    if (produced != entry.size)
        ThrowEntryFault(entry.name, "is smaller than it declares");
    if (closed == UNZ_CRCERROR)
        ThrowEntryFault(entry.name, "does not match its checksum");
    if (closed != UNZ_OK)
        ThrowEntryFault(entry.name, "cannot be read");
}

}  // namespace

TPackageExtractor::TPackageExtractor(const AnsiCodePage& entryNameCodePage, ExtractLimits limits)
    : entryNameCodePage_(entryNameCodePage), limits_(limits) {}

void TPackageExtractor::ExtractPackage(const std::string& packagePath, const std::string& destination,
                                       TOverwriteMode mode) {
    Run(packagePath, destination, mode, nullptr);
}

void TPackageExtractor::Unpack(const std::string& packagePath, const std::string& destination, TOverwriteMode mode,
                               InstallTransaction& tx) {
    Run(packagePath, destination, mode, &tx);
}

void TPackageExtractor::Run(const std::string& packagePath, const std::string& destination, TOverwriteMode mode,
                            InstallTransaction* tx) const {
    const fs::path package = PathOf(packagePath);
    const std::string packageName = Utf8Of(package.filename());
    fs::path target = PathOf(destination);
    if (!target.has_filename() && target.has_relative_path())
        target = target.parent_path();
    try {
        Extract(package, target, mode, tx);
    } catch (const PackageFault& fault) {
        throw DamagedPackageError("The package " + Quoted(packageName) + " is damaged: " + fault.what() + ".");
    } catch (const WriteFault& fault) {
        throw std::runtime_error("The package " + Quoted(packageName) + " cannot be extracted into " +
                                 Quoted(Utf8Of(target)) + ": " + fault.what() + ".");
    }
}

std::optional<std::vector<PackageUnpacker::PackageFile>> TPackageExtractor::ListFiles(
    const std::string& packagePath) const {
    std::vector<PackageFile> files;
    try {
        Extract(PathOf(packagePath), {}, TOverwriteMode::Never, nullptr, &files);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return files;
}

std::optional<std::string> TPackageExtractor::ReadTopFile(const std::string& packagePath,
                                                          const std::string& name) const {
    // An INF is a few kilobytes; anything larger is not what the caller looks for.
    constexpr uint64_t kLargest = 1 << 20;
    const Archive archive = OpenPackage(PathOf(packagePath));
    // 2: names compared without regard to case, as Windows finds the file once it is unpacked.
    if (!archive || unzLocateFile(archive.get(), name.c_str(), 2) != UNZ_OK)
        return std::nullopt;
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(archive.get(), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
        info.uncompressed_size > kLargest || (info.flag & kFlagEncrypted) ||
        (info.compression_method != kMethodStored && info.compression_method != kMethodDeflated) ||
        unzOpenCurrentFile(archive.get()) != UNZ_OK)
        return std::nullopt;
    std::string bytes(info.uncompressed_size, '\0');
    const int count =
        bytes.empty() ? 0 : unzReadCurrentFile(archive.get(), bytes.data(), static_cast<unsigned>(bytes.size()));
    char surplus = 0;
    const bool whole = count == static_cast<int>(bytes.size()) && unzReadCurrentFile(archive.get(), &surplus, 1) == 0;
    if (unzCloseCurrentFile(archive.get()) != UNZ_OK || !whole)
        return std::nullopt;
    return bytes;
}

void TPackageExtractor::Extract(const std::filesystem::path& package, const std::filesystem::path& destination,
                                TOverwriteMode mode, InstallTransaction* tx, std::vector<PackageFile>* list) const {
    std::error_code error;
    if (!fs::is_regular_file(package, error))
        throw PackageFault("the file cannot be found");
    Archive archive = OpenPackage(package);
    if (!archive)
        throw PackageFault("it is not a ZIP archive");
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(archive.get(), &global) != UNZ_OK)
        throw PackageFault("it is not a ZIP archive");
    const std::string tooMany = "it holds more than " + std::to_string(limits_.maxEntries) + " entries";
    if (global.number_entry > limits_.maxEntries)
        throw PackageFault(tooMany);

    // Every entry is judged before anything is written.
    std::vector<Entry> entries;
    std::set<std::u16string> files;
    std::set<std::u16string> folders;
    std::set<std::u16string> roots;
    uint64_t total = 0;
    std::string storedName(0xFFFF, '\0');
    std::string extra(0xFFFF, '\0');
    int step = global.number_entry == 0 ? UNZ_END_OF_LIST_OF_FILE : unzGoToFirstFile(archive.get());
    for (; step != UNZ_END_OF_LIST_OF_FILE; step = unzGoToNextFile(archive.get())) {
        if (step != UNZ_OK)
            throw PackageFault("its list of entries is damaged");
        if (entries.size() >= limits_.maxEntries)
            throw PackageFault(tooMany);
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(archive.get(), &info, storedName.data(), storedName.size(), extra.data(),
                                    extra.size(), nullptr, 0) != UNZ_OK)
            throw PackageFault("its list of entries is damaged");
        const std::string_view stored(storedName.data(), info.size_filename);
        const std::string_view extraField(extra.data(), info.size_file_extra);

        Entry& entry = entries.emplace_back();
        const bool ascii = std::all_of(stored.begin(), stored.end(), [](char c) { return (c & 0x80) == 0; });
        if (!FindUnicodePath(extraField, stored, entry.name))
            entry.name = ascii || (info.flag & kFlagUtf8Name) ? std::string(stored) : entryNameCodePage_.ToUtf8(stored);
        if (!IsValidUtf8(entry.name))
            throw PackageFault("the name of an entry is not valid UTF-8");
        SplitEntryName(entry);

        const size_t depth = entry.parts.size();
        for (size_t count = 1; count < depth + (entry.folder ? 1 : 0); ++count) {
            const std::u16string key = FoldedKey(entry.parts, count);
            if (files.count(key) != 0)
                ThrowEntryFault(entry.name, "lies in a folder that is also a file");
            folders.insert(key);
        }
        if (depth != 0)
            roots.insert(FoldedKey(entry.parts, 1));
        if (entry.folder)
            continue;

        const std::u16string key = FoldedKey(entry.parts, depth);
        if (folders.count(key) != 0)
            ThrowEntryFault(entry.name, "is a file and a folder at once");
        if (!files.insert(key).second)
            ThrowEntryFault(entry.name, "appears twice");
        if (info.flag & kFlagEncrypted)
            ThrowEntryFault(entry.name, "is encrypted");
        if (info.compression_method != kMethodStored && info.compression_method != kMethodDeflated)
            ThrowEntryFault(entry.name, "is compressed with a method other than deflate");
        if (info.compression_method == kMethodStored && info.compressed_size != info.uncompressed_size)
            ThrowEntryFault(entry.name, "is stored with two different sizes");
        if (ExpandsBeyond(info.uncompressed_size, info.compressed_size, limits_.maxRatio))
            ThrowEntryFault(entry.name, "expands more than " + std::to_string(limits_.maxRatio) + " times");
        if (info.uncompressed_size > limits_.maxTotalSize - total)
            throw PackageFault("its entries together are larger than " + std::to_string(limits_.maxTotalSize) +
                               " bytes");
        total += info.uncompressed_size;
        entry.size = info.uncompressed_size;
        entry.crc = static_cast<uint32_t>(info.crc);
    }
    if (list) {
        for (const Entry& entry : entries) {
            if (entry.folder)
                continue;
            std::string path;
            for (const std::string& part : entry.parts)
                path += (path.empty() ? "" : "\\") + part;
            list->push_back({path, {entry.size, entry.crc}});
        }
        return;
    }

    // What will be staged: in Never mode, an entry whose target is there is read but not written.
    const auto kept = [&](const Entry& entry) {
        return !entry.folder && mode == TOverwriteMode::Never &&
               Exists(TargetOf(destination, entry.parts, entry.parts.size()));
    };
    StagedItem staged;
    std::vector<bool> keptEntries;
    for (const Entry& entry : entries) {
        keptEntries.push_back(kept(entry));
        if (!keptEntries.back())
            staged.Add(entry);
    }

    // The destination's missing folders, the private folder and every placement are announced
    // in one write before the first of them is made.
    Extraction extraction(tx);
    const fs::path scratch = Extraction::FreePrivateFolder(destination, roots);
    Extraction::Plan announced;
    std::vector<std::string> aside;
    if (tx) {
        std::vector<InstallTransaction::Placement> placements;
        for (const fs::path& folder : MissingFolders(destination))
            placements.push_back({Utf8Of(folder), true, false, {}});
        announced = Extraction::PlanMerge(staged, destination, mode == TOverwriteMode::Always);
        placements.insert(placements.end(), announced.placements.begin(), announced.placements.end());
        aside = tx->AnnounceExtraction(Utf8Of(scratch), placements);
        aside.erase(aside.begin(), aside.end() - static_cast<std::ptrdiff_t>(announced.placements.size()));
    }
    extraction.CreateFolderPath(destination);
    extraction.CreatePrivateFolder(scratch, roots);

    // Every entry whole in the private folder first: a damaged one then replaces nothing.
    std::vector<char> buffer(kDataBufferSize);
    step = entries.empty() ? UNZ_END_OF_LIST_OF_FILE : unzGoToFirstFile(archive.get());
    for (size_t index = 0; index < entries.size(); ++index, step = unzGoToNextFile(archive.get())) {
        if (step != UNZ_OK)
            throw PackageFault("its list of entries is damaged");
        const Entry& entry = entries[index];
        if (entry.folder) {
            extraction.Stage(staged, entry);
            continue;
        }
        // An entry that is not written is read all the same: a damaged package installs nothing.
        CopyEntry(archive.get(), entry, keptEntries[index] ? fs::path() : extraction.Stage(staged, entry), buffer);
    }
    archive.reset();
    extraction.Merge(staged, destination, mode == TOverwriteMode::Always, announced, std::move(aside));
    extraction.Finish();
}

}  // namespace lumaforge
