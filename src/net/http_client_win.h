#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "net/http_client.h"

namespace lumaforge {

struct WinHttpTransfer;
struct WinHttpAnswer;

// The program's HTTP client over WinInet: one synchronous request at a time, each with its own
// handles, all closed before the request returns. Only a 200 answer writes its body; failures
// are quiet and show as an empty or short body.
//
// Timeout (milliseconds, 0 for the platform's limits) is the longest wait for any byte, the
// answer's first included. With an abort check set (and a time-out), the check ends a transfer
// within kAbortPollMs however long the server has kept silent: a helper thread sends the request
// and reads the answer while the caller hands the body on and asks the check.
class TWinHttp final : public HttpClient {
public:
    static constexpr size_t kChunkSize = 4096;
    static constexpr int32_t kAbortPollMs = 20;

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
    bool TimedOut() const override { return timedOut_; }

private:
    // Takes the answer's length and charset; false unless it is a 200 answer.
    bool TakeAnswer(const WinHttpAnswer& answer);
    void TransferHere(WinHttpTransfer& pending, const std::string& body, bool get, ByteSink& sink);
    void TransferOnHelper(std::shared_ptr<WinHttpTransfer> pending, const std::string& body, bool get, ByteSink& sink);

    int64_t contentLength_ = 0;
    bool timedOut_ = false;
    ProgressHandler onProgress_;
    AbortCheck abortCheck_;
};

}  // namespace lumaforge
