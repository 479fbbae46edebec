#include "support/zip_maker.h"

#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <zlib.h>

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

void Put16(std::string& out, uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

uint32_t Crc32(const std::string& data) {
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

std::string RawDeflate(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
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

std::string BuildZip(const std::vector<RawZipEntry>& entries) {
    constexpr uint32_t kDosTime = 0;                         // 00:00:00
    constexpr uint32_t kDosDate = (40 << 9) | (1 << 5) | 1;  // 2020-01-01
    std::string archive;
    std::string central;
    for (const RawZipEntry& entry : entries) {
        const bool folder = !entry.Name.empty() && entry.Name.back() == '/';
        const std::string stored = entry.Deflate ? RawDeflate(entry.Data) : entry.Data;
        const uint16_t method = entry.Method.value_or(entry.Deflate ? Z_DEFLATED : 0);
        const uint32_t crc = entry.Crc.value_or(Crc32(entry.Data));
        const auto size = static_cast<uint32_t>(entry.DeclaredSize.value_or(entry.Data.size()));
        const auto offset = static_cast<uint32_t>(archive.size());
        auto common = [&](std::string& out) {
            Put16(out, 20);  // version needed
            Put16(out, entry.Flags);
            Put16(out, method);
            Put16(out, kDosTime);
            Put16(out, kDosDate);
            Put32(out, crc);
            Put32(out, static_cast<uint32_t>(stored.size()));
            Put32(out, size);
            Put16(out, static_cast<uint32_t>(entry.Name.size()));
            Put16(out, static_cast<uint32_t>(entry.Extra.size()));
        };
        Put32(archive, 0x04034B50);
        common(archive);
        archive += entry.Name + entry.Extra + stored;

        Put32(central, 0x02014B50);
        Put16(central, (3 << 8) | 20);  // made by Unix, so its mode bits count
        common(central);
        Put16(central, 0);  // comment length
        Put16(central, 0);  // disk
        Put16(central, 0);  // internal attributes
        Put32(central, folder ? (040755u << 16) | 0x10 : 0100644u << 16);
        Put32(central, offset);
        central += entry.Name + entry.Extra;
    }
    const auto centralOffset = static_cast<uint32_t>(archive.size());
    archive += central;
    Put32(archive, 0x06054B50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, static_cast<uint32_t>(entries.size()));
    Put16(archive, static_cast<uint32_t>(entries.size()));
    Put32(archive, static_cast<uint32_t>(central.size()));
    Put32(archive, centralOffset);
    Put16(archive, 0);
    return archive;
}

std::string UnicodePathExtra(const std::string& storedName, const std::string& utf8Name) {
    std::string extra;
    Put16(extra, 0x7075);
    Put16(extra, static_cast<uint32_t>(5 + utf8Name.size()));
    extra.push_back(1);  // version
    Put32(extra, Crc32(storedName));
    return extra + utf8Name;
}

}  // namespace lumaforge::test
