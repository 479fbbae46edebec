#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "base/handles_win.h"
#include "download/background_writer.h"
#include "download/down_manager.h"

namespace lumaforge {

// A file written through large buffers: downloads arrive in 4 KiB chunks, the disk sees 2 MiB
// blocks, written beside the transfer. Closing does not flush; the owner flushes first.
class TBufferFileStream final : public ByteSink {
public:
    // Creates (or truncates) the file; nothing when it cannot be created.
    static std::unique_ptr<TBufferFileStream> Create(const std::string& path, size_t bufferSize);

    void Write(const void* data, size_t count) override { writer_.Write(data, count); }
    bool Flush() override { return writer_.Flush(); }
    int64_t Size() const override { return writer_.Size(); }

private:
    TBufferFileStream(UniqueHandle file, size_t bufferSize);
    UniqueHandle file_;
    BackgroundWriter writer_;  // declared after the file: it stops writing before the file closes
};

// The package cache on disk.
class WinPackageStore final : public PackageStore {
public:
    std::unique_ptr<ByteSink> CreateTemp(const std::string& path) override;
    bool IsWholeArchive(const std::string& path) override;
    bool Move(const std::string& from, const std::string& to) override;
    void Delete(const std::string& path) override;
};

}  // namespace lumaforge
