#pragma once
#include <cstdint>
#include <functional>
#include <vector>

namespace lumaforge {

// Collects small writes into one buffer and hands them to `rawWrite` in large blocks; writes of
// the buffer's size or more go straight through. The size counts what was written and what waits.
class BufferedWriter {
public:
    using RawWrite = std::function<bool(const void* data, size_t count)>;
    BufferedWriter(size_t bufferSize, RawWrite rawWrite);

    void Write(const void* data, size_t count);
    bool Flush();
    int64_t Size() const { return written_ + static_cast<int64_t>(buffered_); }
    int64_t Written() const { return written_; }

private:
    std::vector<unsigned char> buffer_;
    size_t buffered_ = 0;
    int64_t written_ = 0;
    RawWrite rawWrite_;
};

}  // namespace lumaforge
