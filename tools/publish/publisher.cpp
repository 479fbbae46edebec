#include "publish/publisher.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <random>

#include "app/catalog.h"
#include "base/code_page.h"
#include "base/crypto.h"
#include "base/manifest.h"
#include "base/program_paths.h"
#include "base/resource_kind.h"
#include "base/text.h"
#include "publish/package_rules.h"

namespace lumaforge::publish {
namespace fs = std::filesystem;

namespace {
// A row of the program keeps at most this many bytes of a name in the ANSI code page.
constexpr size_t kMaxNameBytes = 255;
constexpr char kStatusFile[] = "status.txt";
constexpr char kApiFile[] = "api.txt";

fs::path PathOf(std::string_view utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8Of(const fs::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

bool IsValidUtf8(std::string_view text) {
    return Utf16ToUtf8(Utf8ToUtf16(text)) == text;
}

std::optional<std::string> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    if (in.bad())
        return std::nullopt;
    return bytes;
}

bool WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

// A text in the code page, exactly: nothing when a character has no form there or does not read
// back as itself.
std::optional<std::string> Encode(std::string_view utf8, const AnsiCodePage& codePage) {
    std::string bytes;
    for (char16_t c : Utf8ToUtf16(utf8)) {
        const std::string character = c >= 0xD800 && c <= 0xDFFF ? std::string() : codePage.EncodeChar(c);
        if (character.empty())
            return std::nullopt;
        bytes += character;
    }
    if (codePage.ToUtf8(bytes) != utf8)
        return std::nullopt;
    return bytes;
}

// The key under which Windows finds a name in a folder (ASCII letters in any case).
std::string FoldedName(std::string_view name) {
    return AsciiLower(name);
}

// One package of the source, with its preview when it has one.
struct SourcePackage {
    int kind = 0;
    std::string category;  // visual styles only
    std::string name;
    std::string where;  // its path below SOURCE, for messages
    fs::path package;
    std::optional<fs::path> preview;
};

struct Source {
    std::string statusText;
    std::optional<std::string> apiText;
    std::vector<SourcePackage> packages;
    std::vector<std::string> categories;
};

class SourceReader {
public:
    SourceReader(const fs::path& root, const AnsiCodePage& codePage, std::vector<Problem>& problems)
        : root_(root), codePage_(codePage), problems_(problems) {}

    Source Read() {
        Source source;
        std::error_code error;
        if (!fs::is_directory(root_, error)) {
            Report(Utf8Of(root_), "is no folder");
            return source;
        }
        for (const fs::directory_entry& item : SortedEntries(root_)) {
            const std::string name = Utf8Of(item.path().filename());
            if (name.starts_with('.'))
                continue;  // a version-control folder and the like
            if (name == kStatusFile && item.is_regular_file()) {
                ReadStatusText(item.path(), source);
            } else if (name == kApiFile && item.is_regular_file()) {
                source.apiText = ReadFile(item.path());
                if (!source.apiText)
                    Report(name, "cannot be read");
            } else if (const std::optional<int> kind = KindOfFolder(name); kind && item.is_directory()) {
                if (*kind == static_cast<int>(TResourceKind::Theme))
                    ReadCategories(item.path(), source);
                else
                    ReadKindFolder(*kind, "", item.path(), name, source);
            } else {
                Report(name,
                       "is neither a kind folder (theme, logon, cursor, screensave, icon, sound) nor status.txt or "
                       "api.txt");
            }
        }
        return source;
    }

private:
    static std::vector<fs::directory_entry> SortedEntries(const fs::path& folder) {
        std::vector<fs::directory_entry> entries{fs::directory_iterator(folder), fs::directory_iterator()};
        std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
            return Utf8Of(a.path().filename()) < Utf8Of(b.path().filename());
        });
        return entries;
    }

    static std::optional<int> KindOfFolder(std::string_view name) {
        for (int kind = 0; kind < kResourceKindCount; ++kind) {
            if (KindName(kind) == name)
                return kind;
        }
        return std::nullopt;
    }

    void Report(std::string where, std::string reason) { problems_.push_back({std::move(where), std::move(reason)}); }

    void ReadStatusText(const fs::path& path, Source& source) {
        std::optional<std::string> text = ReadFile(path);
        if (!text) {
            Report(kStatusFile, "cannot be read");
            return;
        }
        std::string_view status = *text;
        if (status.starts_with("\xEF\xBB\xBF"))
            status.remove_prefix(3);
        status = Trim(status);
        if (!IsValidUtf8(status))
            Report(kStatusFile, "is not UTF-8 text");
        else if (status.find_first_of("\r\n") != std::string_view::npos)
            Report(kStatusFile, "holds more than one line; the status bar shows one");
        else if (!Encode(status, codePage_))
            Report(kStatusFile, "holds a character that code page 936, the catalog's, cannot hold");
        else
            source.statusText = status;
    }

    void ReadCategories(const fs::path& folder, Source& source) {
        for (const fs::directory_entry& item : SortedEntries(folder)) {
            const std::string name = Utf8Of(item.path().filename());
            const std::string where = "theme/" + name;
            if (!item.is_directory()) {
                Report(where, "visual styles lie in a folder per category: theme/<category>/<name>.zip");
                continue;
            }
            if (!IsValidUtf8(name))
                Report(where, "the category's name is not valid UTF-8");
            else if (Trim(name).empty())
                Report(where, "the category's name is blank; the catalog leaves such a category out");
            else if (Trim(name) != name)
                Report(where, "the category's name begins or ends with white space, which the catalog trims away");
            else if (!Encode(name, codePage_))
                Report(where, "the category's name holds a character that code page 936, the catalog's, cannot hold");
            source.categories.push_back(name);
            ReadKindFolder(static_cast<int>(TResourceKind::Theme), name, item.path(), where, source);
        }
    }

    void ReadKindFolder(int kind, const std::string& category, const fs::path& folder, const std::string& where,
                        Source& source) {
        std::map<std::string, fs::path> previews;
        for (const fs::directory_entry& item : SortedEntries(folder)) {
            const std::string file = Utf8Of(item.path().filename());
            const std::string at = where + "/" + file;
            if (!item.is_regular_file()) {
                Report(at, "packages of this kind lie directly in " + where + "/, not in sub-folders");
                continue;
            }
            const std::string stem = Utf8Of(item.path().stem());
            const std::string extension = Utf8Of(item.path().extension());
            if (extension == ".jpg") {
                previews.emplace(stem, item.path());
            } else if (extension == ".zip") {
                CheckName(kind, stem, at);
                source.packages.push_back({kind, category, stem, at, item.path(), std::nullopt});
            } else {
                Report(at, "is neither a package (.zip) nor a preview (.jpg)");
            }
        }
        for (auto& [stem, path] : previews) {
            auto package = std::find_if(source.packages.begin(), source.packages.end(), [&](const SourcePackage& p) {
                return p.kind == kind && p.category == category && p.name == stem;
            });
            if (package == source.packages.end())
                Report(where + "/" + stem + ".jpg", "a preview without its package " + Quoted(stem + ".zip"));
            else
                package->preview = path;
        }
    }

    // The names the program would leave out, change or mix up with another.
    void CheckName(int kind, const std::string& name, const std::string& where) {
        std::optional<std::string> bytes;
        if (!IsValidUtf8(name)) {
            Report(where, "the name is not valid UTF-8");
        } else if (Trim(name) != name) {
            Report(where, "the name begins or ends with white space, which the catalog trims away");
        } else if (!IsUsablePackageName(name)) {
            Report(where,
                   "the catalog leaves this name out: it holds a character Windows refuses in file names, is \".\" "
                   "or \"..\", or names a device");
        } else if (!(bytes = Encode(name, codePage_))) {
            Report(where, "the name holds a character that code page 936, the catalog's, cannot hold");
        } else if (bytes->size() > kMaxNameBytes) {
            Report(where, "the name takes more than 255 bytes in code page 936; the program would cut it");
        }
        auto [other, added] = names_.emplace(std::make_pair(kind, FoldedName(name)), where);
        if (!added)
            Report(where, "the package has the name of " + other->second +
                              "; one kind's packages need names that differ in more than letter case");
    }

    fs::path root_;
    const AnsiCodePage& codePage_;
    std::vector<Problem>& problems_;
    std::map<std::pair<int, std::string>, std::string> names_;
};

std::string JsonString(const std::string& text) {
    return nlohmann::json(text).dump(-1, ' ', /*ensure_ascii=*/false);
}

std::string JsonList(const std::vector<std::string>& names) {
    std::string list = "[";
    for (size_t i = 0; i < names.size(); ++i)
        list += (i ? ", " : "") + JsonString(names[i]);
    return list + "]";
}

// The catalog as the program reads it: one member per line, in code page 936 with CR LF.
std::string CatalogText(const Source& source) {
    std::vector<std::string> lines;
    lines.push_back("{");
    lines.push_back("  \"status_text\": " + JsonString(source.statusText) + ",");
    lines.push_back("  \"themes\": [");
    for (size_t i = 0; i < source.categories.size(); ++i) {
        std::vector<std::string> names;
        for (const SourcePackage& package : source.packages) {
            if (package.kind == static_cast<int>(TResourceKind::Theme) && package.category == source.categories[i])
                names.push_back(package.name);
        }
        lines.push_back("    {\"name\": " + JsonString(source.categories[i]) + ", \"list\": " + JsonList(names) + "}" +
                        (i + 1 < source.categories.size() ? "," : ""));
    }
    lines.push_back("  ],");
    for (size_t m = 0; m < std::size(kFlatMembers); ++m) {
        std::vector<std::string> names;
        for (const SourcePackage& package : source.packages) {
            if (package.kind == static_cast<int>(kFlatMembers[m].kind))
                names.push_back(package.name);
        }
        lines.push_back("  \"" + std::string(kFlatMembers[m].key) + "\": " + JsonList(names) +
                        (m + 1 < std::size(kFlatMembers) ? "," : ""));
    }
    lines.push_back("}");
    return JoinLines(lines);
}

// Whether the program, reading the catalog, finds exactly the source's categories and names.
bool ReadsBackAsSource(const std::string& utf8Catalog, const Source& source) {
    const std::optional<Catalog> catalog = ParseCatalog(utf8Catalog);
    if (!catalog || catalog->statusText != source.statusText || catalog->themes.size() != source.categories.size())
        return false;
    std::vector<std::pair<int, std::string>> read;
    std::vector<std::pair<int, std::string>> expected;
    for (const CatalogCategory& category : catalog->themes) {
        for (const std::string& name : category.items)
            read.emplace_back(static_cast<int>(TResourceKind::Theme), category.name + "/" + name);
    }
    for (int kind = 0; kind < kResourceKindCount; ++kind) {
        for (const std::string& name : catalog->lists[kind])
            read.emplace_back(kind, name);
    }
    for (const SourcePackage& package : source.packages)
        expected.emplace_back(package.kind,
                              package.category.empty() ? package.name : package.category + "/" + package.name);
    std::sort(read.begin(), read.end());
    std::sort(expected.begin(), expected.end());
    return read == expected;
}

std::optional<SigningKeys> ReadSecretKey(const fs::path& keyFile, std::string& reason) {
    const std::optional<std::string> text = ReadFile(keyFile);
    if (!text) {
        reason = "cannot be read";
        return std::nullopt;
    }
    SigningSeed seed;
    if (!FromHex(Trim(*text), seed)) {
        reason = "is not a secret key made by \"lumaforge-publish keygen\"";
        return std::nullopt;
    }
    SigningKeys keys = SigningKeysFromSeed(seed);
    std::fill(seed.begin(), seed.end(), 0);
    return keys;
}

// A folder of its own beside `near`, removed with everything in it unless released.
class TemporaryFolder {
public:
    TemporaryFolder(const fs::path& near, std::string_view purpose) {
        std::random_device random;
        path_ = near;
        path_ += PathOf("." + std::string(purpose) + "-" + std::to_string(random()));
        fs::create_directories(path_);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder() {
        std::error_code ignored;
        if (!path_.empty())
            fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }
    void Release() { path_.clear(); }

private:
    fs::path path_;
};

// Whether OUT may be replaced: absent, empty, or an earlier publication.
bool IsReplaceable(const fs::path& out) {
    std::error_code error;
    if (!fs::exists(out, error))
        return true;
    if (!fs::is_directory(out, error))
        return false;
    return fs::is_empty(out, error) || fs::is_regular_file(out / PathOf(ProgramPaths::kManifestServerPath), error);
}

void WriteTree(const fs::path& root, const Source& source, const std::string& catalogBytes, const Manifest& manifest,
               const std::string& signatureText) {
    const fs::path xp = root / "softdata" / "xp";
    const fs::path res = root / PathOf(ProgramPaths::kResourceServerFolder);
    fs::create_directories(res);
    fs::create_directories(root / "api");
    bool written = WriteFile(root / PathOf(ProgramPaths::kCatalogServerPath), catalogBytes);
    for (const SourcePackage& package : source.packages) {
        const fs::path folder = res / PathOf(*KindName(package.kind));
        fs::create_directories(folder);
        fs::copy_file(package.package, folder / PathOf(package.name + ".zip"));
        if (package.preview)
            fs::copy_file(*package.preview, folder / PathOf(package.name + ".jpg"));
    }
    // The program reads [Lumaforge] ADHomeURL; without a file of the maintainer's it finds none.
    written = written && WriteFile(root / PathOf(ProgramPaths::kApiServerPath),
                                   source.apiText.value_or("[Lumaforge]\r\nADHomeURL=\r\n"));
    written = written && WriteFile(root / PathOf(ProgramPaths::kManifestServerPath), manifest.Text());
    written = written && WriteFile(root / PathOf(ProgramPaths::kManifestSignatureServerPath), signatureText);
    if (!written)
        throw fs::filesystem_error("cannot write the published files", xp, std::make_error_code(std::errc::io_error));
}
}  // namespace

PublishResult Publish(const fs::path& keyFile, const fs::path& source, const fs::path& out,
                      const AnsiCodePage& codePage) {
    PublishResult result;
    std::vector<Problem>& problems = result.problems;
    std::string keyReason;
    const std::optional<SigningKeys> keys = ReadSecretKey(keyFile, keyReason);
    if (!keys)
        problems.push_back({Utf8Of(keyFile), keyReason});
    if (!IsReplaceable(out))
        problems.push_back({Utf8Of(out),
                            "holds files that are no publication of lumaforge-publish; name a new or "
                            "empty folder"});
    const Source tree = SourceReader(source, codePage, problems).Read();

    // Every package and preview is checked, also after a first problem, so one run names them all.
    const TemporaryFolder scratch(fs::temp_directory_path() / "lumaforge-publish", "check");
    std::vector<ManifestEntry> entries;
    for (const SourcePackage& package : tree.packages) {
        for (const std::string& fault :
             PackageFaults(package.kind, package.name, package.package, scratch.Path(), codePage))
            problems.push_back({package.where, fault});
        const std::optional<FileDigest> digest = DigestOfFile(Utf8Of(package.package));
        if (!digest)
            problems.push_back({package.where, "cannot be read"});
        else
            entries.push_back({ManifestRole::Package, package.kind, package.name, *digest});
        if (!package.preview)
            continue;
        const std::string previewWhere = package.where.substr(0, package.where.size() - 4) + ".jpg";
        const std::optional<std::string> picture = ReadFile(*package.preview);
        if (!picture) {
            problems.push_back({previewWhere, "cannot be read"});
            continue;
        }
        if (const std::string fault = JpegFault(*picture); !fault.empty())
            problems.push_back({previewWhere, fault});
        entries.push_back({ManifestRole::Preview, package.kind, package.name, {picture->size(), Sha256Of(*picture)}});
    }

    std::string catalogBytes;
    if (problems.empty()) {
        const std::string text = CatalogText(tree);
        const std::optional<std::string> encoded = Encode(text, codePage);
        if (!encoded || !ReadsBackAsSource(codePage.ToUtf8(*encoded), tree))
            problems.push_back({ProgramPaths::kCatalogServerPath, "the program would not read the catalog as written"});
        else
            catalogBytes = *encoded;
    }
    if (!problems.empty())
        return result;

    Manifest manifest(FileDigest{catalogBytes.size(), Sha256Of(catalogBytes)});
    std::sort(entries.begin(), entries.end(), [](const ManifestEntry& a, const ManifestEntry& b) {
        return std::tie(a.kind, a.name, a.role) < std::tie(b.kind, b.name, b.role);
    });
    for (const ManifestEntry& entry : entries) {
        if (!manifest.Add(entry)) {
            problems.push_back({"manifest", "cannot list " + Quoted(entry.name)});
            return result;
        }
        (entry.role == ManifestRole::Package ? result.packages : result.previews) += 1;
    }
    const std::string signatureText = SignatureText(Sign(manifest.Text(), *keys));

    // The new tree is made beside OUT and takes its place only whole.
    fs::path absoluteOut = fs::absolute(out).lexically_normal();
    if (!absoluteOut.has_filename())
        absoluteOut = absoluteOut.parent_path();
    try {
        fs::create_directories(absoluteOut.parent_path());
        TemporaryFolder staged(absoluteOut, "new");
        WriteTree(staged.Path(), tree, catalogBytes, manifest, signatureText);
        if (fs::exists(absoluteOut)) {
            TemporaryFolder old(absoluteOut, "old");
            fs::remove(old.Path());
            fs::rename(absoluteOut, old.Path());
            fs::rename(staged.Path(), absoluteOut);
        } else {
            fs::rename(staged.Path(), absoluteOut);
        }
        staged.Release();
    } catch (const fs::filesystem_error& error) {
        problems.push_back({Utf8Of(out), std::string("cannot be written: ") + error.what()});
    }
    return result;
}

std::optional<std::string> MakeKeys(const fs::path& folder) {
    const fs::path secret = folder / kSecretKeyFile;
    const fs::path pub = folder / kPublicKeyFile;
    std::error_code error;
    for (const fs::path& file : {secret, pub}) {
        if (fs::exists(file, error))
            return Utf8Of(file) +
                   ": exists; a new key would lock out every build that trusts the old one, so move it away first";
    }
    fs::create_directories(folder, error);
    if (error)
        return Utf8Of(folder) + ": cannot be created (" + error.message() + ")";
    const SigningKeys keys = NewSigningKeys();
    {
        // The secret file is the owner's alone before a byte of the key is in it.
        std::ofstream created(secret, std::ios::binary);
        created.close();
        fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write, error);
    }
    if (!WriteFile(secret, ToHex(keys.seed) + "\n") || !WriteFile(pub, PublicKeyText(keys.publicKey) + "\n"))
        return Utf8Of(folder) + ": the key files cannot be written";
    return std::nullopt;
}

int RunPublishTool(const std::vector<std::string>& arguments, const AnsiCodePage& codePage, std::ostream& out,
                   std::ostream& err) {
    const char kUsage[] =
        "usage: lumaforge-publish keygen DIR\n"
        "       lumaforge-publish build --key DIR/catalog.key SOURCE OUT\n";
    if (arguments.size() == 2 && arguments[0] == "keygen") {
        const fs::path folder = PathOf(arguments[1]);
        if (const std::optional<std::string> failure = MakeKeys(folder)) {
            err << "lumaforge-publish: " << *failure << "\n";
            return 1;
        }
        const std::optional<std::string> pub = ReadFile(folder / kPublicKeyFile);
        out << "lumaforge-publish: wrote " << Utf8Of(folder / kSecretKeyFile)
            << " (secret: keep it off the server) and " << Utf8Of(folder / kPublicKeyFile)
            << "\npublic key: " << Trim(pub.value_or("")) << "\n";
        return 0;
    }
    if (arguments.size() == 5 && arguments[0] == "build" && arguments[1] == "--key") {
        const PublishResult result =
            Publish(PathOf(arguments[2]), PathOf(arguments[3]), PathOf(arguments[4]), codePage);
        for (const Problem& problem : result.problems)
            err << problem.where << ": " << problem.reason << "\n";
        if (!result.problems.empty()) {
            err << "lumaforge-publish: nothing was written\n";
            return 1;
        }
        out << "lumaforge-publish: published " << result.packages << " packages and " << result.previews
            << " previews into " << arguments[4] << "\n";
        return 0;
    }
    err << kUsage;
    return 2;
}

}  // namespace lumaforge::publish
