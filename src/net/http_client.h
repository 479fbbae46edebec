#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace lumaforge {

// Where a response body goes, chunk by chunk.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Write(const void* data, size_t count) = 0;
    virtual int64_t Size() const = 0;
    // Hands buffered bytes on; false when that failed.
    virtual bool Flush() { return true; }
};

class StringSink final : public ByteSink {
public:
    void Write(const void* data, size_t count) override { text_.append(static_cast<const char*>(data), count); }
    int64_t Size() const override { return static_cast<int64_t>(text_.size()); }
    std::string& Text() { return text_; }

private:
    std::string text_;
};

// Raised after every received chunk: the sink's size now, the announced length (0 when none) and
// a flag that ends the transfer after this chunk when set.
using ProgressHandler = std::function<void(int64_t current, int64_t total, bool& abort)>;
// Asked while a transfer waits for bytes; true ends it.
using AbortCheck = std::function<bool()>;

// One synchronous HTTP client, used by one thread at a time.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    // Appends the body of a 200 response to `sink`; any failure leaves the sink as it was.
    virtual void Get(const std::string& url, ByteSink& sink) = 0;
    // The Content-Length of the last successful response; 0 when absent or failed.
    virtual int64_t ContentLength() const = 0;
    virtual void SetOnProgress(ProgressHandler handler) = 0;
    // No byte for this long ends a request as failed; 0 leaves the platform's own limits.
    virtual void SetTimeout(int32_t milliseconds) = 0;
    // With a time-out set, a transfer that waits for bytes asks the check about twice a second.
    virtual void SetAbortCheck(AbortCheck check) = 0;
    // The last request ended because the server kept silent for the time-out.
    virtual bool TimedOut() const = 0;
};

using HttpClientFactory = std::function<std::unique_ptr<HttpClient>()>;

}  // namespace lumaforge
