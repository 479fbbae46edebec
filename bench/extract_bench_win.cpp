// Extraction of a 200 MB package of 2,000 deflated files through the package extractor against
// minizip's plain extraction loop (same 256 KiB reads, fopen/fwrite, no checks), best of five
// interleaved rounds. scripts/extract-bench.sh runs this and then times Info-ZIP unzip natively
// on the same archive; it reads the "seconds" lines below.
#include <windows.h>

#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/code_page_win.h"
#include "base/files_win.h"
#include "base/unicode_win.h"
#include "install/package_extractor.h"

using namespace lumaforge;
using Clock = std::chrono::steady_clock;

namespace {
constexpr int kFiles = 2000;
constexpr int kFileSize = 100'000;
constexpr unsigned kBufferSize = 256 * 1024;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Text-like data: words of a small vocabulary in a pseudo-random order, so deflate has work to do
// and still gains about three to one.
std::string FileData(int index) {
    static const std::vector<std::string> words = [] {
        std::vector<std::string> list;
        uint32_t state = 7;
        for (int i = 0; i < 4096; ++i) {
            std::string word;
            const int length = 3 + i % 7;
            for (int c = 0; c < length; ++c) {
                state = state * 1664525 + 1013904223;
                word += static_cast<char>('a' + (state >> 24) % 26);
            }
            list.push_back(word);
        }
        return list;
    }();
    std::string data;
    data.reserve(kFileSize + 16);
    uint32_t state = 2166136261u ^ static_cast<uint32_t>(index);
    while (data.size() < kFileSize) {
        state = state * 1103515245 + 12345;
        data += words[(state >> 8) % words.size()];
        data += (state & 0xF) == 0 ? '\n' : ' ';
    }
    data.resize(kFileSize);
    return data;
}

bool MakeArchive(const std::string& path) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "folder" + std::to_string(i / 100) + "/file" + std::to_string(i) + ".dat";
        const std::string data = FileData(i);
        zip_fileinfo info{};
        zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                              Z_DEFAULT_COMPRESSION, 0);
        zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size()));
        zipCloseFileInZip(zip);
    }
    return zipClose(zip, nullptr) == ZIP_OK;
}

// What any extraction with minizip costs at least.
double PlainLoop(const std::string& archivePath, const std::string& folder) {
    const auto start = Clock::now();
    unzFile zip = unzOpen64(archivePath.c_str());
    std::vector<char> buffer(kBufferSize);
    char name[1024];
    std::string lastFolder;
    for (int step = unzGoToFirstFile(zip); step == UNZ_OK; step = unzGoToNextFile(zip)) {
        unz_file_info64 info;
        unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0);
        std::string path = folder + "\\" + name;
        std::replace(path.begin(), path.end(), '/', '\\');
        // The entries come folder by folder.
        const std::string entryFolder = path.substr(0, path.rfind('\\'));
        if (entryFolder != lastFolder)
            CreateDirectoryA(entryFolder.c_str(), nullptr);
        lastFolder = entryFolder;
        unzOpenCurrentFile(zip);
        FILE* out = std::fopen(path.c_str(), "wb");
        int count = 0;
        while ((count = unzReadCurrentFile(zip, buffer.data(), kBufferSize)) > 0)
            std::fwrite(buffer.data(), 1, static_cast<size_t>(count), out);
        std::fclose(out);
        unzCloseCurrentFile(zip);
    }
    unzClose(zip);
    return Seconds(start);
}

double Ours(const std::string& archivePath, const std::string& folder) {
    WinAnsiCodePage names(936);
    TPackageExtractor extractor(names);
    const auto start = Clock::now();
    extractor.ExtractPackage(archivePath, folder, TOverwriteMode::Always);
    return Seconds(start);
}
}  // namespace

int main() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string work = std::string(temp) + "lumaforge-extract-bench";
    const std::string archive = work + "\\bench.zip";
    CreateFolderPath(work);
    if (GetFileAttributesA(archive.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("making the package (once)...\n");
        std::fflush(stdout);
        if (!MakeArchive(archive)) {
            std::printf("cannot write %s\n", archive.c_str());
            return 1;
        }
    }
    std::printf("archive: %s\n", archive.c_str());
    std::fflush(stdout);

    double plain = 1e9, ours = 1e9;
    for (int round = 0; round < 5; ++round) {
        const std::string plainFolder = work + "\\plain";
        const std::string oursFolder = work + "\\ours";
        DeleteFolderTree(plainFolder);
        DeleteFolderTree(oursFolder);
        CreateDirectoryA(plainFolder.c_str(), nullptr);
        plain = std::min(plain, PlainLoop(archive, plainFolder));
        try {
            ours = std::min(ours, Ours(archive, oursFolder));
        } catch (const std::exception& error) {
            std::printf("extraction failed: %s\n", error.what());
            return 1;
        }
        for (const std::string& folder : {plainFolder, oursFolder}) {
            std::string last;
            ReadWholeFile(folder + "\\folder" + std::to_string((kFiles - 1) / 100) + "\\file" +
                              std::to_string(kFiles - 1) + ".dat",
                          last);
            if (last != FileData(kFiles - 1))
                std::printf("%s: the last file is not as packed\n", folder.c_str());
        }
        DeleteFolderTree(plainFolder);
        DeleteFolderTree(oursFolder);
    }
    std::printf("minizip plain loop seconds: %.3f\n", plain);
    std::printf("package extractor seconds: %.3f\n", ours);
    std::printf("ratio package extractor / minizip loop: %.2f (target <= 1.1)\n", ours / plain);
    return 0;
}
