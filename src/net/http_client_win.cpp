#include "net/http_client_win.h"

#include <windows.h>
#include <wininet.h>

#include <charconv>

#include "base/handles_win.h"
#include "base/text.h"
#include "base/unicode_win.h"
#include "net/url.h"

namespace lumaforge {
namespace {

// A response header as text; empty when absent.
std::string QueryHeader(HINTERNET request, DWORD info, bool& present) {
    wchar_t buffer[4096 / sizeof(wchar_t)] = {};
    DWORD size = sizeof buffer;
    DWORD index = 0;
    present = HttpQueryInfoW(request, info, buffer, &size, &index) != FALSE;
    return present ? ToUtf8(std::wstring(buffer, size / sizeof(wchar_t))) : std::string();
}

}  // namespace

void TWinHttp::Request(const std::string& url, ByteSink& sink, bool get) {
    Charset.clear();
    contentLength_ = 0;
    UrlParts parts = SplitUrl(url);
    Host = parts.host;
    ObjectName = parts.object;
    Port = parts.port;
    const size_t question = ObjectName.find('?');
    const std::string path = ObjectName.substr(0, question);
    const std::string body = question == std::string::npos ? std::string() : ObjectName.substr(question + 1);

    UniqueHInternet root(InternetOpenW(Agent.empty() ? nullptr : ToWide(Agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG,
                                       nullptr, nullptr, 0));
    if (!root)
        return;
    if (Timeout != 0) {
        DWORD timeout = static_cast<DWORD>(Timeout);
        for (DWORD option :
             {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT,
              INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT})
            InternetSetOptionW(root.Get(), option, &timeout, sizeof timeout);
    }
    UniqueHInternet connection(
        InternetConnectW(root.Get(), ToWide(Host).c_str(), Port, UserName.empty() ? nullptr : ToWide(UserName).c_str(),
                         Password.empty() ? nullptr : ToWide(Password).c_str(), INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection)
        return;
    DWORD flags = UseCache ? 0 : INTERNET_FLAG_RELOAD;
    if (NoCookies)
        flags |= INTERNET_FLAG_NO_COOKIES;
    const std::wstring accept = ToWide(Accept);
    const wchar_t* acceptTypes[] = {accept.c_str(), nullptr};
    const std::wstring referer = ToWide(Referer);
    const std::wstring object = ToWide(get ? ObjectName : path);
    UniqueHInternet request(HttpOpenRequestW(connection.Get(), get ? L"GET" : L"POST", object.c_str(), L"HTTP/1.0",
                                             Referer.empty() ? nullptr : referer.c_str(), acceptTypes, flags, 0));
    if (!request)
        return;
    if (get) {
        HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0);
    } else {
        const wchar_t kFormHeader[] = L"Content-Type: application/x-www-form-urlencoded";
        HttpAddRequestHeadersW(request.Get(), kFormHeader, static_cast<DWORD>(wcslen(kFormHeader)),
                               HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
        HttpSendRequestW(request.Get(), nullptr, 0, const_cast<char*>(body.data()), static_cast<DWORD>(body.size()));
    }

    bool present = false;
    const std::string status = QueryHeader(request.Get(), HTTP_QUERY_STATUS_CODE, present);
    if (!present || status != "200")
        return;
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

    char chunk[kChunkSize];
    bool abort = false;
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request.Get(), chunk, sizeof chunk, &read) || read == 0)
            break;
        sink.Write(chunk, read);
        if (onProgress_)
            onProgress_(sink.Size(), contentLength_, abort);
        if (abort)
            break;
    }
}

std::string TWinHttp::GetText(const std::string& url) {
    StringSink sink;
    Get(url, sink);
    return std::move(sink.Text());
}

}  // namespace lumaforge
