#include "download/background_writer.h"

#include <cstring>

namespace lumaforge {

BackgroundWriter::BackgroundWriter(size_t bufferSize, RawWrite rawWrite)
    : rawWrite_(std::move(rawWrite)),
      buffers_{std::vector<unsigned char>(bufferSize), std::vector<unsigned char>(bufferSize)} {
    thread_ = std::thread([this] { Run(); });
}

BackgroundWriter::~BackgroundWriter() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void BackgroundWriter::Write(const void* data, size_t count) {
    const size_t capacity = buffers_[active_].size();
    if (count < capacity) {
        if (buffered_ + count > capacity)
            Submit();
        std::memcpy(buffers_[active_].data() + buffered_, data, count);
        buffered_ += count;
        return;
    }
    Flush();
    const bool ok = rawWrite_(data, count);
    std::lock_guard lock(mutex_);
    if (ok)
        written_ += static_cast<int64_t>(count);
    else
        failed_ = true;
}

void BackgroundWriter::WaitIdle(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [&] { return !pending_; });
}

void BackgroundWriter::Submit() {
    if (buffered_ == 0)
        return;
    {
        std::unique_lock lock(mutex_);
        WaitIdle(lock);  // the other buffer must be on disk before it is filled again
        pending_ = true;
        pendingIndex_ = active_;
        pendingSize_ = buffered_;
    }
    changed_.notify_all();
    active_ ^= 1;
    buffered_ = 0;
}

bool BackgroundWriter::Flush() {
    Submit();
    std::unique_lock lock(mutex_);
    WaitIdle(lock);
    return !failed_;
}

int64_t BackgroundWriter::Size() const {
    std::lock_guard lock(mutex_);
    return written_ + static_cast<int64_t>(pending_ ? pendingSize_ : 0) + static_cast<int64_t>(buffered_);
}

void BackgroundWriter::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return pending_ || stop_; });
        if (!pending_)
            return;
        const unsigned char* block = buffers_[pendingIndex_].data();
        const size_t size = pendingSize_;
        lock.unlock();
        const bool ok = rawWrite_(block, size);
        lock.lock();
        if (ok)
            written_ += static_cast<int64_t>(size);
        else
            failed_ = true;
        pending_ = false;
        changed_.notify_all();
    }
}

}  // namespace lumaforge
