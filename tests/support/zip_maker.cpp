#include "support/zip_maker.h"

#include <gtest/gtest.h>
#include <minizip/zip.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

namespace lumaforge::test {
namespace {
struct ZipCloser {
    void operator()(void* zip) const { zipClose(zip, nullptr); }
};

// minizip writes only to a named file; tests may run side by side, so each archive gets its own.
std::filesystem::path UniqueTempFile() {
    static std::atomic<int> counter{0};
    const auto thread = std::hash<std::thread::id>()(std::this_thread::get_id());
    return std::filesystem::temp_directory_path() /
           ("lumaforge-zip-" + std::to_string(thread) + "-" + std::to_string(counter++) + ".zip");
}
}  // namespace

std::string MakeZip(const std::vector<ZipEntry>& entries, const char* comment) {
    const std::filesystem::path path = UniqueTempFile();
    const std::string name = path.string();
    std::string bytes;
    {
        std::unique_ptr<void, ZipCloser> zip(zipOpen(name.c_str(), APPEND_STATUS_CREATE));
        if (!zip) {
            ADD_FAILURE() << "minizip cannot create " << name;
            return {};
        }
        for (const ZipEntry& entry : entries) {
            zipOpenNewFileInZip(zip.get(), entry.Name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr, 0, 0);
            zipWriteInFileInZip(zip.get(), entry.Data.data(), static_cast<unsigned>(entry.Data.size()));
            zipCloseFileInZip(zip.get());
        }
        if (zipClose(zip.release(), comment) != ZIP_OK)
            ADD_FAILURE() << "minizip cannot finish " << name;
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return bytes;
}

}  // namespace lumaforge::test
