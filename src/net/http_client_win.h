#pragma once
#include <cstdint>
#include <string>

#include "net/http_client.h"

namespace lumaforge {

// The program's HTTP client over WinInet: one synchronous request at a time, each with its own
// handles, all closed before the request returns. Only a 200 answer writes its body; failures
// are quiet and show as an empty or short body.
//
// Timeout (milliseconds, 0 for the platform's limits) is the longest wait for any byte, the
// answer's first included. With an abort check set, the waits are cut into ticks of
// kAbortPollMs so the check can end a stalled transfer at once; a server slower than a tick to
// start its answer is asked once more with the whole time-out for each wait.
class TWinHttp final : public HttpClient {
public:
    static constexpr size_t kChunkSize = 4096;
    static constexpr int32_t kAbortPollMs = 500;

    std::string Host;
    std::string ObjectName;
    uint16_t Port = 0;
    // The last request's address was https: TLS, and a certificate the system does not trust for
    // the host fails the request like any network failure.
    bool Secure = false;
    bool UseCache = false;
    std::string UserName;
    std::string Password;
    std::string Accept = "text/html, */*";
    std::string Agent;
    std::string Referer;
    int32_t Timeout = 0;
    bool NoCookies = false;
    std::string Charset;

    // Appends the body to `sink`; `get` false sends the query as a form POST body instead.
    void Request(const std::string& url, ByteSink& sink, bool get);
    void Get(const std::string& url, ByteSink& sink) override { Request(url, sink, true); }
    std::string GetText(const std::string& url);
    int64_t ContentLength() const override { return contentLength_; }
    void SetOnProgress(ProgressHandler handler) override { onProgress_ = std::move(handler); }
    void SetTimeout(int32_t milliseconds) override { Timeout = milliseconds; }
    void SetAbortCheck(AbortCheck check) override { abortCheck_ = std::move(check); }
    // The last request ended because the server kept silent for Timeout.
    bool TimedOut() const { return timedOut_; }

private:
    enum class Outcome { Done, AnswerTooSlowForATick };
    Outcome Attempt(void* root, const std::string& path, const std::string& body, bool get, int32_t socketTimeout,
                    bool polled, ByteSink& sink);
    void ReadBody(void* request, bool polled, ByteSink& sink);

    int64_t contentLength_ = 0;
    bool timedOut_ = false;
    ProgressHandler onProgress_;
    AbortCheck abortCheck_;
};

}  // namespace lumaforge
