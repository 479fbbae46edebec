#include "net/http_client_win.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

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

// A response's headers as the client reads them.
struct WinHttpAnswer {
    std::string status;
    bool hasType = false;
    std::string contentType;
    bool hasLength = false;
    std::string contentLength;
};

WinHttpAnswer ReadAnswer(HINTERNET request) {
    WinHttpAnswer answer;
    bool present = false;
    answer.status = QueryHeader(request, HTTP_QUERY_STATUS_CODE, present);
    if (!present)
        answer.status.clear();
    answer.contentType = QueryHeader(request, HTTP_QUERY_CONTENT_TYPE, answer.hasType);
    answer.contentLength = QueryHeader(request, HTTP_QUERY_CONTENT_LENGTH, answer.hasLength);
    return answer;
}

// One request's handles and, when a helper runs it, what its transfer brought.
//
// Lifetime: with an abort check, a helper thread sends the request and reads the answer into
// `chunks` while the caller hands them on and asks the check. When the check ends the transfer, the
// caller tells the helper to stop and leaves it: it closes the handles once its wait returns, within
// the time-out (WinInet cannot interrupt a synchronous wait, and under Wine closing a handle from
// another thread does not either). The helper touches nothing of the client.
struct WinHttpTransfer {
    static constexpr size_t kMaxQueuedChunks = 64;

    UniqueHInternet root, connection, request;
    std::mutex lock;
    std::condition_variable changed;
    bool answered = false;
    bool sent = false;
    DWORD sendError = ERROR_SUCCESS;
    WinHttpAnswer answer;
    std::deque<std::string> chunks;
    bool finished = false;
    DWORD readError = ERROR_SUCCESS;
    bool stop = false;

    bool Send(const std::string& body, bool get, DWORD& error) {
        BOOL ok = FALSE;
        if (get) {
            ok = HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0);
        } else {
            const wchar_t kFormHeader[] = L"Content-Type: application/x-www-form-urlencoded";
            HttpAddRequestHeadersW(request.Get(), kFormHeader, static_cast<DWORD>(wcslen(kFormHeader)),
                                   HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
            ok = HttpSendRequestW(request.Get(), nullptr, 0, const_cast<char*>(body.data()),
                                  static_cast<DWORD>(body.size()));
        }
        error = ok ? ERROR_SUCCESS : GetLastError();
        return ok != FALSE;
    }

    // The helper's whole work.
    void Run(const std::string& body, bool get) {
        DWORD error = ERROR_SUCCESS;
        const bool ok = Send(body, get, error);
        WinHttpAnswer headers = ok ? ReadAnswer(request.Get()) : WinHttpAnswer();
        const bool reading = ok && headers.status == "200";
        {
            std::lock_guard guard(lock);
            sent = ok;
            sendError = error;
            answer = std::move(headers);
            answered = true;
            finished = !reading;
        }
        changed.notify_all();
        char chunk[TWinHttp::kChunkSize];
        while (reading) {
            {
                std::unique_lock wait(lock);
                changed.wait(wait, [&] { return stop || chunks.size() < kMaxQueuedChunks; });
                if (stop)
                    break;
            }
            DWORD read = 0;
            const BOOL readOk = InternetReadFile(request.Get(), chunk, sizeof chunk, &read);
            const DWORD failure = readOk ? ERROR_SUCCESS : GetLastError();
            const bool last = !readOk || read == 0;
            {
                std::lock_guard guard(lock);
                // A failed read may still hand over bytes that had arrived before it failed.
                if (read > 0)
                    chunks.emplace_back(chunk, read);
                readError = failure;
                finished = last;
            }
            changed.notify_all();
            if (last)
                break;
        }
        std::lock_guard guard(lock);
        finished = true;
        changed.notify_all();
    }
};

namespace {
// The helper of one request: joined when the transfer ended in order, otherwise told to stop and
// left to end on its own.
class Helper {
public:
    Helper(std::shared_ptr<WinHttpTransfer> pending, const std::string& body, bool get)
        : pending_(pending), thread_([pending, body, get] { pending->Run(body, get); }) {}
    ~Helper() {
        if (!thread_.joinable())
            return;
        {
            std::lock_guard guard(pending_->lock);
            pending_->stop = true;
        }
        pending_->changed.notify_all();
        thread_.detach();
    }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;
    void Join() { thread_.join(); }

private:
    std::shared_ptr<WinHttpTransfer> pending_;
    std::thread thread_;
};
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

    auto pending = std::make_shared<WinHttpTransfer>();
    pending->root.Reset(InternetOpenW(Agent.empty() ? nullptr : ToWide(Agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG,
                                      nullptr, nullptr, 0));
    if (!pending->root)
        return;
    pending->connection.Reset(InternetConnectW(
        pending->root.Get(), ToWide(Host).c_str(), Port, UserName.empty() ? nullptr : ToWide(UserName).c_str(),
        Password.empty() ? nullptr : ToWide(Password).c_str(), INTERNET_SERVICE_HTTP, 0, 0));
    if (!pending->connection)
        return;
    // Under Wine only a limit set on the connection, before the request is sent, reaches the
    // socket; the session's is ignored.
    if (Timeout > 0) {
        SetTimeouts(pending->root.Get(), static_cast<DWORD>(Timeout));
        SetTimeouts(pending->connection.Get(), static_cast<DWORD>(Timeout));
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
    pending->request.Reset(HttpOpenRequestW(pending->connection.Get(), get ? L"GET" : L"POST", object.c_str(),
                                            L"HTTP/1.0", Referer.empty() ? nullptr : referer.c_str(), acceptTypes,
                                            flags, 0));
    if (!pending->request)
        return;
    if (Timeout > 0 && abortCheck_)
        TransferOnHelper(std::move(pending), body, get, sink);
    else
        TransferHere(*pending, body, get, sink);
}

bool TWinHttp::TakeAnswer(const WinHttpAnswer& answer) {
    if (answer.status != "200")
        return false;
    if (answer.hasType) {
        const size_t charset = answer.contentType.find("charset=");
        if (charset != std::string::npos)
            Charset = AsciiLower(
                answer.contentType.substr(charset + 8, answer.contentType.find(';', charset) - (charset + 8)));
    }
    if (answer.hasLength) {
        const std::string& length = answer.contentLength;
        int64_t value = 0;
        auto [end, error] = std::from_chars(length.data(), length.data() + length.size(), value);
        // A malformed length is treated as absent: the download can then never count as complete.
        contentLength_ = error == std::errc() && end == length.data() + length.size() && value > 0 ? value : 0;
    }
    return true;
}

void TWinHttp::TransferHere(WinHttpTransfer& pending, const std::string& body, bool get, ByteSink& sink) {
    DWORD error = ERROR_SUCCESS;
    if (!pending.Send(body, get, error)) {
        timedOut_ = Timeout > 0 && IsTimeout(error);
        return;
    }
    if (!TakeAnswer(ReadAnswer(pending.request.Get())))
        return;
    char chunk[kChunkSize];
    bool abort = false;
    for (;;) {
        DWORD read = 0;
        const BOOL ok = InternetReadFile(pending.request.Get(), chunk, sizeof chunk, &read);
        const DWORD failure = ok ? ERROR_SUCCESS : GetLastError();
        // A failed read may still hand over bytes that had arrived before it failed.
        if (read > 0) {
            sink.Write(chunk, read);
            if (onProgress_)
                onProgress_(sink.Size(), contentLength_, abort);
        }
        if (!ok) {
            timedOut_ = Timeout > 0 && IsTimeout(failure);
            return;
        }
        if (read == 0 || abort)
            return;
    }
}

void TWinHttp::TransferOnHelper(std::shared_ptr<WinHttpTransfer> pending, const std::string& body, bool get,
                                ByteSink& sink) {
    // Declared before the lock, so the lock is let go before the helper is told to stop.
    Helper helper(pending, body, get);
    std::unique_lock lock(pending->lock);
    // Waits for `ready` while asking the check; false when the check ended the transfer first.
    const auto waitFor = [&](auto ready) {
        while (!pending->changed.wait_for(lock, std::chrono::milliseconds(kAbortPollMs), ready)) {
            lock.unlock();
            const bool abort = abortCheck_();
            lock.lock();
            if (abort && !ready())
                return false;
        }
        return true;
    };
    if (!waitFor([&] { return pending->answered; }))
        return;
    if (!pending->sent) {
        timedOut_ = Timeout > 0 && IsTimeout(pending->sendError);
        lock.unlock();
        helper.Join();
        return;
    }
    if (!TakeAnswer(pending->answer)) {
        lock.unlock();
        helper.Join();
        return;
    }
    bool abort = false;
    for (;;) {
        if (!waitFor([&] { return !pending->chunks.empty() || pending->finished; }))
            return;
        if (pending->chunks.empty()) {
            timedOut_ = pending->readError != ERROR_SUCCESS && IsTimeout(pending->readError);
            break;
        }
        const std::string chunk = std::move(pending->chunks.front());
        pending->chunks.pop_front();
        lock.unlock();
        pending->changed.notify_all();
        sink.Write(chunk.data(), chunk.size());
        if (onProgress_)
            onProgress_(sink.Size(), contentLength_, abort);
        lock.lock();
        if (abort)
            return;
    }
    lock.unlock();
    helper.Join();
}

std::string TWinHttp::GetText(const std::string& url) {
    StringSink sink;
    Get(url, sink);
    return std::move(sink.Text());
}

}  // namespace lumaforge
