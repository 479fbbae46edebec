// SHA-256 of a 100 MB package the way the program checks a download against its manifest
// (DigestOfFile: libsodium over 1 MiB reads), best of three rounds on a warm file cache.
// Then the download of a 100 MB package through the download manager from the local test server,
// with and without the check against its manifest's size and SHA-256, rounds interleaved.
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
#include "controls/ui_dispatcher_win.h"
#include "download/package_store_win.h"
#include "net/http_client_win.h"
#include "support/download_fakes.h"
#include "support/test_http_server.h"

using namespace lumaforge;
using Clock = std::chrono::steady_clock;

namespace {
constexpr size_t kPackageSize = 100 * 1000 * 1000;
constexpr int kRounds = 3;

// One download of the generated package into `file`; its seconds, or a negative number when it did
// not end as downloaded.
double Download(const test::TestHttpServer& server, const std::string& file, std::optional<FileDigest> expected) {
    WinPackageStore store;
    WinUiDispatcher dispatcher;
    test::FakeRows rows(1);
    TDownManager manager([] { return std::make_unique<TWinHttp>(); }, store, dispatcher);
    DeleteFileW(ToWide(file).c_str());
    const auto start = Clock::now();
    manager.AddTask(server.Url("/zip/gen/" + std::to_string(kPackageSize)), file, 0, &rows, expected);
    MSG msg;
    while (rows.State(0) == dsWaiting || rows.State(0) == dsDownloading) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return rows.State(0) == dsDownloaded ? seconds : -1;
}
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

    test::TestHttpServer server;
    const std::string file = ToUtf8(temp) + "lumaforge-verify-bench-download.zip";
    if (Download(server, file, std::nullopt) < 0) {
        std::printf("verify_bench: the download failed\n");
        return 1;
    }
    const std::optional<FileDigest> served = DigestOfFile(file);
    double plain = 0, checked = 0;
    for (int round = 0; round < kRounds; ++round) {
        const double p = Download(server, file, std::nullopt);
        const double c = Download(server, file, served);
        if (p < 0 || c < 0) {
            std::printf("verify_bench: a download failed\n");
            return 1;
        }
        plain = round == 0 ? p : std::min(plain, p);
        checked = round == 0 ? c : std::min(checked, c);
    }
    DeleteFileW(ToWide(file).c_str());
    std::printf("download seconds without the check: %.3f (%.0f MB/s)\n", plain, kPackageSize / plain / 1e6);
    std::printf("download seconds with the check: %.3f (%.0f MB/s)\n", checked, kPackageSize / checked / 1e6);
    std::printf("ratio download with / without the check: %.3f\n", checked / plain);
    return 0;
}
