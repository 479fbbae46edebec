#include "download/buffered_writer.h"

#include <cstring>

namespace lumaforge {

BufferedWriter::BufferedWriter(size_t bufferSize, RawWrite rawWrite)
    : buffer_(bufferSize), rawWrite_(std::move(rawWrite)) {}

void BufferedWriter::Write(const void* data, size_t count) {
    if (count < buffer_.size()) {
        if (buffered_ + count > buffer_.size())
            Flush();
        std::memcpy(buffer_.data() + buffered_, data, count);
        buffered_ += count;
        return;
    }
    Flush();
    if (rawWrite_(data, count))
        written_ += static_cast<int64_t>(count);
}

bool BufferedWriter::Flush() {
    if (buffered_ == 0)
        return true;
    if (!rawWrite_(buffer_.data(), buffered_))
        return false;
    written_ += static_cast<int64_t>(buffered_);
    buffered_ = 0;
    return true;
}

}  // namespace lumaforge
