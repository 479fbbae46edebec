#include "net/http_client_win.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <charconv>
#include <chrono>

#include "base/handles_win.h"
#include "base/text.h"
#include "base/unicode_win.h"
#include "net/url.h"

namespace lumaforge {
namespace {
using Clock = std::chrono::steady_clock;

// A response header as text; empty when absent.
std::string QueryHeader(HINTERNET request, DWORD info, bool& present) {
    wchar_t buffer[4096 / sizeof(wchar_t)] = {};
    DWORD size = sizeof buffer;
    DWORD index = 0;
    present = HttpQueryInfoW(request, info, buffer, &size, &index) != FALSE;
    return present ? ToUtf8(std::wstring(buffer, size / sizeof(wchar_t))) : std::string();
}

// How a wait that ran out of time fails: WinInet's own code on Windows, the socket's (WSAETIMEDOUT)
// under Wine, and an aborted connection when the answer's headers were still awaited.
constexpr DWORD kSocketTimedOut = 10060;
bool IsTimeout(DWORD error) {
    return error == ERROR_INTERNET_TIMEOUT || error == kSocketTimedOut || error == ERROR_INTERNET_CONNECTION_ABORTED;
}

void SetTimeouts(HINTERNET handle, DWORD milliseconds) {
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(handle, option, &milliseconds, sizeof milliseconds);
}
}  // namespace

void TWinHttp::Request(const std::string& url, ByteSink& sink, bool get) {
    Charset.clear();
    contentLength_ = 0;
    timedOut_ = false;
    UrlParts parts = SplitUrl(url);
    Host = parts.host;
    ObjectName = parts.object;
    Port = parts.port;
    Secure = parts.secure;
    const size_t question = ObjectName.find('?');
    const std::string path = ObjectName.substr(0, question);
    const std::string body = question == std::string::npos ? std::string() : ObjectName.substr(question + 1);

    UniqueHInternet root(InternetOpenW(Agent.empty() ? nullptr : ToWide(Agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG,
                                       nullptr, nullptr, 0));
    if (!root)
        return;
    const bool polled = Timeout > 0 && abortCheck_;
    if (Attempt(root.Get(), path, body, get, polled ? kAbortPollMs : Timeout, polled, sink) ==
            Outcome::AnswerTooSlowForATick &&
        !abortCheck_())
        Attempt(root.Get(), path, body, get, Timeout, false, sink);
}

TWinHttp::Outcome TWinHttp::Attempt(void* root, const std::string& path, const std::string& body, bool get,
                                    int32_t socketTimeout, bool polled, ByteSink& sink) {
    timedOut_ = false;
    UniqueHInternet connection(InternetConnectW(
        static_cast<HINTERNET>(root), ToWide(Host).c_str(), Port, UserName.empty() ? nullptr : ToWide(UserName).c_str(),
        Password.empty() ? nullptr : ToWide(Password).c_str(), INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection)
        return Outcome::Done;
    // Under Wine only a limit set on the connection, before the request is sent, reaches the
    // socket; the session's is ignored.
    if (socketTimeout > 0) {
        SetTimeouts(static_cast<HINTERNET>(root), static_cast<DWORD>(socketTimeout));
        SetTimeouts(connection.Get(), static_cast<DWORD>(socketTimeout));
    }
    DWORD flags = UseCache ? 0 : INTERNET_FLAG_RELOAD;
    if (NoCookies)
        flags |= INTERNET_FLAG_NO_COOKIES;
    // None of the INTERNET_FLAG_IGNORE_CERT_* flags, ever: a certificate that is not valid for the
    // host makes the send fail, and the transfer with it.
    if (Secure)
        flags |= INTERNET_FLAG_SECURE;
    const std::wstring accept = ToWide(Accept);
    const wchar_t* acceptTypes[] = {accept.c_str(), nullptr};
    const std::wstring referer = ToWide(Referer);
    const std::wstring object = ToWide(get ? ObjectName : path);
    UniqueHInternet request(HttpOpenRequestW(connection.Get(), get ? L"GET" : L"POST", object.c_str(), L"HTTP/1.0",
                                             Referer.empty() ? nullptr : referer.c_str(), acceptTypes, flags, 0));
    if (!request)
        return Outcome::Done;
    BOOL sent = FALSE;
    if (get) {
        sent = HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0);
    } else {
        const wchar_t kFormHeader[] = L"Content-Type: application/x-www-form-urlencoded";
        HttpAddRequestHeadersW(request.Get(), kFormHeader, static_cast<DWORD>(wcslen(kFormHeader)),
                               HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
        sent = HttpSendRequestW(request.Get(), nullptr, 0, const_cast<char*>(body.data()),
                                static_cast<DWORD>(body.size()));
    }
    if (!sent) {
        if (socketTimeout > 0 && IsTimeout(GetLastError())) {
            if (polled)
                return Outcome::AnswerTooSlowForATick;
            timedOut_ = true;
        }
        return Outcome::Done;
    }

    bool present = false;
    const std::string status = QueryHeader(request.Get(), HTTP_QUERY_STATUS_CODE, present);
    if (!present || status != "200")
        return Outcome::Done;
    const std::string contentType = QueryHeader(request.Get(), HTTP_QUERY_CONTENT_TYPE, present);
    if (present) {
        const size_t charset = contentType.find("charset=");
        if (charset != std::string::npos)
            Charset = AsciiLower(contentType.substr(charset + 8, contentType.find(';', charset) - (charset + 8)));
    }
    const std::string length = QueryHeader(request.Get(), HTTP_QUERY_CONTENT_LENGTH, present);
    if (present) {
        int64_t value = 0;
        auto [end, error] = std::from_chars(length.data(), length.data() + length.size(), value);
        // A malformed length is treated as absent: the download can then never count as complete.
        contentLength_ = error == std::errc() && end == length.data() + length.size() && value > 0 ? value : 0;
    }
    ReadBody(request.Get(), polled, sink);
    return Outcome::Done;
}

void TWinHttp::ReadBody(void* handle, bool polled, ByteSink& sink) {
    const auto request = static_cast<HINTERNET>(handle);
    char chunk[kChunkSize];
    bool abort = false;
    auto lastByte = Clock::now();
    for (;;) {
        DWORD wanted = sizeof chunk;
        if (polled) {
            // Under Wine a read that runs out of time ends the request, while asking what has
            // arrived may run out of time again and again: the wait happens here, the read below
            // then takes what is there.
            DWORD available = 0;
            if (!InternetQueryDataAvailable(request, &available, 0, 0)) {
                if (!IsTimeout(GetLastError()))
                    break;
                if (abortCheck_())
                    break;
                if (Clock::now() - lastByte >= std::chrono::milliseconds(Timeout)) {
                    timedOut_ = true;
                    break;
                }
                continue;
            }
            if (available == 0)
                break;
            wanted = std::min<DWORD>(available, sizeof chunk);
        }
        DWORD read = 0;
        const BOOL ok = InternetReadFile(request, chunk, wanted, &read);
        const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
        // A failed read may still hand over bytes that had arrived before it failed.
        if (read > 0) {
            lastByte = Clock::now();
            sink.Write(chunk, read);
            if (onProgress_)
                onProgress_(sink.Size(), contentLength_, abort);
        }
        if (!ok) {
            timedOut_ = Timeout > 0 && IsTimeout(error);
            break;
        }
        if (read == 0 || abort)
            break;
    }
}

std::string TWinHttp::GetText(const std::string& url) {
    StringSink sink;
    Get(url, sink);
    return std::move(sink.Text());
}

}  // namespace lumaforge
