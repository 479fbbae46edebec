#include "download/package_store_win.h"

#include "base/unicode_win.h"

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

bool WinPackageStore::Move(const std::string& from, const std::string& to) {
    return MoveFileW(ToWide(from).c_str(), ToWide(to).c_str()) != FALSE;
}

void WinPackageStore::Delete(const std::string& path) {
    DeleteFileW(ToWide(path).c_str());
}

}  // namespace lumaforge
