#include "download/package_store_win.h"

#include <algorithm>

#include "base/unicode_win.h"
#include "download/package_check.h"

namespace lumaforge {

std::unique_ptr<TBufferFileStream> TBufferFileStream::Create(const std::string& path, size_t bufferSize) {
    UniqueHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return nullptr;
    return std::unique_ptr<TBufferFileStream>(new TBufferFileStream(std::move(file), bufferSize));
}

TBufferFileStream::TBufferFileStream(UniqueHandle file, size_t bufferSize)
    : file_(std::move(file)), writer_(bufferSize, [this](const void* data, size_t count) {
          DWORD written = 0;
          return WriteFile(file_.Get(), data, static_cast<DWORD>(count), &written, nullptr) && written == count;
      }) {}

std::unique_ptr<ByteSink> WinPackageStore::CreateTemp(const std::string& path) {
    return TBufferFileStream::Create(path, TDownManager::kBufferSize);
}

bool WinPackageStore::IsWholeArchive(const std::string& path) {
    UniqueHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size))
        return false;
    const uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
    std::string tail(static_cast<size_t>(std::min<uint64_t>(fileSize, kZipTailSize)), '\0');
    LARGE_INTEGER start{};
    start.QuadPart = static_cast<LONGLONG>(fileSize - tail.size());
    DWORD read = 0;
    if (!SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN) ||
        !ReadFile(file.Get(), tail.data(), static_cast<DWORD>(tail.size()), &read, nullptr) || read != tail.size())
        return false;
    return IsWholeZipArchive(tail, fileSize);
}

bool WinPackageStore::Move(const std::string& from, const std::string& to) {
    return MoveFileW(ToWide(from).c_str(), ToWide(to).c_str()) != FALSE;
}

void WinPackageStore::Delete(const std::string& path) {
    DeleteFileW(ToWide(path).c_str());
}

}  // namespace lumaforge
