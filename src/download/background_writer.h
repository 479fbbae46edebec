#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace lumaforge {

// Collects writes into one of two buffers; a full buffer is written by a thread of its own while
// the other one fills, so the disk never holds up the network. Writes of a buffer's size or more
// go straight through after the buffers. The size counts what was written and what waits; a
// failed block is not counted, so a short file shows as short.
//
// Lifetime: the writer thread starts with the object and is joined by the destructor after it
// has written the block in hand; the open buffer is not written unless Flush was called.
class BackgroundWriter {
public:
    using RawWrite = std::function<bool(const void* data, size_t count)>;
    BackgroundWriter(size_t bufferSize, RawWrite rawWrite);
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    void Write(const void* data, size_t count);
    // Writes everything taken so far and waits for it; false when any block failed.
    bool Flush();
    int64_t Size() const;

private:
    void Submit();
    void WaitIdle(std::unique_lock<std::mutex>& lock);
    void Run();

    RawWrite rawWrite_;
    std::vector<unsigned char> buffers_[2];
    int active_ = 0;       // the buffer being filled (caller's thread)
    size_t buffered_ = 0;  // bytes in it (caller's thread)

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool pending_ = false;  // a block is handed over and not yet written
    int pendingIndex_ = 0;
    size_t pendingSize_ = 0;
    int64_t written_ = 0;
    bool failed_ = false;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace lumaforge
