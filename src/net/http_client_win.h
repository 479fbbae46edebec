#pragma once
#include <cstdint>
#include <string>

#include "net/http_client.h"

namespace lumaforge {

// The program's HTTP client over WinInet: one synchronous request at a time, each with its own
// handles, all closed before the request returns. Only a 200 answer writes its body; failures
// are quiet and show as an empty or short body.
class TWinHttp final : public HttpClient {
public:
    static constexpr size_t kChunkSize = 4096;

    std::string Host;
    std::string ObjectName;
    uint16_t Port = 0;
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

private:
    int64_t contentLength_ = 0;
    ProgressHandler onProgress_;
};

}  // namespace lumaforge
