#pragma once
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "fuzz_support.h"
#include "install/package_extractor.h"

namespace lumaforge::fuzz {

namespace fs = std::filesystem;

// A folder of this process with a destination that already holds files and a sentinel beside it.
// An extraction may change the destination only, and nothing at all when it refuses the package.
class ExtractorSandbox {
public:
    // In memory where the system has a place for it: the fuzzer writes the folders thousands of times.
    ExtractorSandbox()
        : root_((fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
                ("lumaforge-fuzz-" + std::to_string(::getpid()))) {}
    ~ExtractorSandbox() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    // Extracts the archive `bytes` and checks what happened to the folders.
    void Run(const std::string& bytes, TOverwriteMode mode) {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
        Write(root_ / "dest" / "old.txt", "old");
        Write(root_ / "dest" / "a" / "old b.txt", "old b");
        Write(root_ / "outside" / "sentinel.txt", "sentinel");
        Write(root_ / "package.zip", bytes);
        const std::map<std::string, std::string> before = Tree();

        bool refused = false;
        try {
            TPackageExtractor(Gbk()).ExtractPackage(Utf8(root_ / "package.zip"), Utf8(root_ / "dest"), mode);
        } catch (const DamagedPackageError&) {
            refused = true;
        } catch (const std::runtime_error&) {
            // A name the file system here cannot create: refused as well.
            refused = true;
        }
        const std::map<std::string, std::string> after = Tree();
        if (refused) {
            FUZZ_CHECK(after == before, Describe(before, after));
            return;
        }
        // Outside the destination nothing changed; inside, the files that were there keep their bytes
        // unless the package replaced them.
        for (const auto& [path, content] : after) {
            if (!path.starts_with("dest/"))
                FUZZ_CHECK(before.contains(path) && before.at(path) == content, Describe(before, after));
        }
        for (const auto& [path, content] : before) {
            FUZZ_CHECK(after.contains(path), Describe(before, after));
            if (mode == TOverwriteMode::Never)
                FUZZ_CHECK(after.at(path) == content, Describe(before, after));
        }
    }

private:
    static std::string Utf8(const fs::path& path) {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    }
    static void Write(const fs::path& path, const std::string& content) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    // Every file and folder below the root: relative path -> content, "<folder>" for folders.
    std::map<std::string, std::string> Tree() const {
        std::map<std::string, std::string> tree;
        for (const auto& item : fs::recursive_directory_iterator(root_)) {
            const std::string relative = Utf8(fs::relative(item.path(), root_));
            if (item.is_directory()) {
                tree[relative] = "<folder>";
            } else {
                std::ifstream in(item.path(), std::ios::binary);
                tree[relative].assign(std::istreambuf_iterator<char>(in), {});
            }
        }
        return tree;
    }
    static std::string Describe(const std::map<std::string, std::string>& before,
                                const std::map<std::string, std::string>& after) {
        std::string text = "\nbefore:";
        for (const auto& entry : before)
            text += " " + Printable(entry.first);
        text += "\nafter:";
        for (const auto& entry : after)
            text += " " + Printable(entry.first);
        return text;
    }

    fs::path root_;
};

}  // namespace lumaforge::fuzz
