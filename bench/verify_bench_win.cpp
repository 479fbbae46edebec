// SHA-256 of a 100 MB package the way the program checks a download against its manifest
// (DigestOfFile: libsodium over 1 MiB reads), best of three rounds on a warm file cache.
// scripts/verify-bench.sh runs this and then Debian's sha256sum natively on the same file; it reads
// the "package:", "sha256:" and "seconds" lines below.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base/crypto.h"
#include "base/unicode_win.h"

using namespace lumaforge;
using Clock = std::chrono::steady_clock;

namespace {
constexpr size_t kPackageSize = 100 * 1000 * 1000;
constexpr int kRounds = 3;
}  // namespace

int main() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path path = std::filesystem::path(temp) / L"lumaforge-verify-bench.zip";
    {
        // Random bytes, as a compressed package holds.
        std::mt19937_64 random(15);
        std::vector<uint64_t> block(1 << 17);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (size_t written = 0; written < kPackageSize;) {
            for (uint64_t& word : block)
                word = random();
            const size_t count = std::min(block.size() * sizeof(uint64_t), kPackageSize - written);
            out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(count));
            written += count;
        }
    }
    const std::string utf8 = ToUtf8(path.wstring());
    double best = 0;
    std::optional<FileDigest> digest;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        digest = DigestOfFile(utf8);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (!digest || digest->size != kPackageSize) {
            std::printf("verify_bench: the package cannot be read\n");
            return 1;
        }
        best = round == 0 ? seconds : std::min(best, seconds);
    }
    std::printf("package: %s\n", utf8.c_str());
    std::printf("sha256: %s\n", ToHex(digest->sha256).c_str());
    std::printf("DigestOfFile seconds: %.3f (%.0f MB/s)\n", best, kPackageSize / best / 1e6);
    return 0;
}
