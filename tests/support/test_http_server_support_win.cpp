#include <winsock2.h>
#include <ws2tcpip.h>

#include "support/test_http_server.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lumaforge::test {
namespace {
struct WinsockInit {
    WinsockInit() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};

bool SendAll(SOCKET s, const char* data, size_t size) {
    while (size > 0) {
        int sent = send(s, data, static_cast<int>(std::min<size_t>(size, 1 << 20)), 0);
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

bool SendText(SOCKET s, const std::string& text) {
    return SendAll(s, text.data(), text.size());
}

constexpr int64_t kEndRecordSize = 22;

// The end-of-central-directory record of an empty archive standing at `offset`: whatever precedes
// it, a body that ends with it is a whole ZIP archive.
std::string EmptyArchiveEnd(int64_t offset) {
    std::string record("PK\5\6", 4);
    record.append(12, '\0');  // disk numbers, entry counts and directory size: all zero
    for (int i = 0; i < 4; ++i)
        record += static_cast<char>(offset >> (8 * i));
    return record + std::string(2, '\0');
}

// Sends bytes [offset, offset + count) of a generated body of `total` bytes, in blocks of `block`.
// The pattern repeats every 26 bytes, so one prepared buffer serves every block without per-byte
// work. A body that is an archive ends with an empty archive's end record instead of the pattern.
bool SendGenerated(SOCKET s, int64_t offset, int64_t count, size_t block, int delayMs, const std::atomic<bool>& stop,
                   int64_t total = -1, bool archive = false) {
    if (total < 0)
        total = offset + count;
    const int64_t patternEnd = archive && total >= kEndRecordSize ? total - kEndRecordSize : total;
    const std::string record = EmptyArchiveEnd(patternEnd);
    std::string pattern(block + 26, '\0');
    for (size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = GeneratedByte(static_cast<int64_t>(i));
    for (int64_t at = offset; at < offset + count;) {
        if (stop)
            return false;
        int64_t n = std::min<int64_t>(static_cast<int64_t>(block), offset + count - at);
        const char* data = pattern.data() + at % 26;
        if (at >= patternEnd)
            data = record.data() + (at - patternEnd);
        else
            n = std::min(n, patternEnd - at);
        if (!SendAll(s, data, static_cast<size_t>(n)))
            return false;
        at += n;
        if (delayMs > 0)
            Sleep(static_cast<DWORD>(delayMs));
    }
    return true;
}

std::string Header(int status, const char* reason, const std::string& contentType, int64_t length) {
    std::string header = "HTTP/1.0 " + std::to_string(status) + " " + reason + "\r\n";
    if (!contentType.empty())
        header += "Content-Type: " + contentType + "\r\n";
    if (length >= 0)
        header += "Content-Length: " + std::to_string(length) + "\r\n";
    return header + "Connection: close\r\n\r\n";
}

std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}
}  // namespace

TestHttpServer::TestHttpServer() {
    static WinsockInit init;
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener, 64);
    int size = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    listener_ = listener;
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

TestHttpServer::~TestHttpServer() {
    stopping_ = true;
    closesocket(static_cast<SOCKET>(listener_));
    acceptThread_.join();
    std::vector<std::thread> connections;
    {
        std::lock_guard lock(mutex_);
        connections.swap(connections_);
    }
    for (std::thread& t : connections)
        t.join();
}

std::string TestHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void TestHttpServer::SetContent(const std::string& path, const std::string& body) {
    std::lock_guard lock(mutex_);
    content_[path] = body;
}

void TestHttpServer::RemoveContent(const std::string& path) {
    std::lock_guard lock(mutex_);
    content_.erase(path);
}

int TestHttpServer::RequestCount(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto it = requests_.find(path);
    return it == requests_.end() ? 0 : it->second;
}

std::vector<std::string> TestHttpServer::Targets(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto it = targets_.find(path);
    return it == targets_.end() ? std::vector<std::string>() : it->second;
}

void TestHttpServer::AcceptLoop() {
    while (!stopping_) {
        SOCKET client = accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return;
        std::lock_guard lock(mutex_);
        connections_.emplace_back([this, client] { Serve(client); });
    }
}

void TestHttpServer::Serve(uintptr_t handle) {
    SOCKET client = static_cast<SOCKET>(handle);
    std::string request;
    char buffer[8192];
    size_t headerEnd = std::string::npos;
    while (headerEnd == std::string::npos) {
        int got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) {
            closesocket(client);
            return;
        }
        request.append(buffer, static_cast<size_t>(got));
        headerEnd = request.find("\r\n\r\n");
    }
    const std::string method = request.substr(0, request.find(' '));
    const size_t targetStart = method.size() + 1;
    const std::string target = request.substr(targetStart, request.find(' ', targetStart) - targetStart);
    size_t bodyLength = 0;
    for (const char* name : {"Content-Length:", "content-length:"}) {
        size_t at = request.find(name);
        if (at != std::string::npos && at < headerEnd)
            bodyLength = std::strtoul(request.c_str() + at + std::strlen(name), nullptr, 10);
    }
    std::string body = request.substr(headerEnd + 4);
    while (body.size() < bodyLength) {
        int got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        body.append(buffer, static_cast<size_t>(got));
    }
    Respond(client, method, target, body);
    shutdown(client, SD_SEND);
    closesocket(client);
}

bool TestHttpServer::Respond(uintptr_t handle, const std::string& method, const std::string& target,
                             const std::string& body) {
    SOCKET client = static_cast<SOCKET>(handle);
    const std::string path = target.substr(0, target.find('?'));
    std::string content;
    bool found = false;
    {
        std::lock_guard lock(mutex_);
        ++requests_[path];
        targets_[path].push_back(target);
        auto it = content_.find(path);
        if (it != content_.end()) {
            content = it->second;
            found = true;
        }
    }
    if (found)
        return SendText(client, Header(200, "OK", "text/plain", static_cast<int64_t>(content.size())) + content);

    std::vector<std::string> parts = PathParts(path);
    const bool archive = !parts.empty() && parts[0] == "zip";
    if (archive)
        parts.erase(parts.begin());
    auto number = [&](size_t i) { return i < parts.size() ? std::strtoll(parts[i].c_str(), nullptr, 10) : 0LL; };
    const std::string& route = parts.empty() ? std::string() : parts[0];
    if (route == "gen")
        return SendText(client, Header(200, "OK", "application/zip", number(1))) &&
               SendGenerated(client, 0, number(1), 64 * 1024, 0, stopping_, number(1), archive);
    if (route == "nolength")
        return SendText(client, Header(200, "OK", "application/zip", -1)) &&
               SendGenerated(client, 0, number(1), 4096, 0, stopping_, number(1), archive);
    if (route == "short")
        return SendText(client, Header(200, "OK", "application/zip", number(1))) &&
               SendGenerated(client, 0, number(2), 4096, 0, stopping_, number(1), archive);
    if (route == "cut")
        return SendText(client, Header(200, "OK", "application/zip", number(2))) &&
               SendGenerated(client, 0, number(2), 4096, 0, stopping_, number(1), archive);
    if (route == "slow")
        return SendText(client, Header(200, "OK", "application/zip", number(1))) &&
               SendGenerated(client, 0, number(1), 4096, static_cast<int>(number(2)), stopping_, number(1), archive);
    if (route == "badlength")
        return SendText(client, "HTTP/1.0 200 OK\r\nContent-Length: 12abc\r\n\r\n0123456789ab");
    if (route == "stall") {
        // Announces N bytes, sends 4096 of them, then goes quiet until the server stops.
        if (!SendText(client, Header(200, "OK", "application/zip", number(1))) ||
            !SendGenerated(client, 0, 4096, 4096, 0, stopping_))
            return false;
        while (!stopping_)
            Sleep(20);
        return false;
    }
    if (route == "hang") {
        // Takes the request and never answers until the server stops.
        while (!stopping_)
            Sleep(20);
        return false;
    }
    if (route == "late") {
        // Answers N bytes after MS milliseconds of silence.
        for (int64_t waited = 0; waited < number(1) && !stopping_; waited += 10)
            Sleep(10);
        return SendText(client, Header(200, "OK", "application/zip", number(2))) &&
               SendGenerated(client, 0, number(2), 4096, 0, stopping_);
    }
    if (route == "pause") {
        // N bytes: the first half, MS milliseconds of silence, the rest.
        const int64_t half = number(1) / 2;
        if (!SendText(client, Header(200, "OK", "application/zip", number(1))) ||
            !SendGenerated(client, 0, half, 4096, 0, stopping_))
            return false;
        for (int64_t waited = 0; waited < number(2) && !stopping_; waited += 10)
            Sleep(10);
        return SendGenerated(client, half, number(1) - half, 4096, 0, stopping_);
    }
    if (route == "status") {
        const std::string page = "<html>error " + parts[1] + "</html>";
        return SendText(
            client,
            Header(static_cast<int>(number(1)), "Error", "text/html", static_cast<int64_t>(page.size())) + page);
    }
    if (route == "redirect") {
        const std::string location = Url(path.substr(std::strlen("/redirect")));
        return SendText(client, "HTTP/1.0 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\n\r\n");
    }
    if (route == "ctype") {
        const std::string type = number(1) == 1 ? "text/html; charset=GBK; x=y" : "text/html; Charset=GBK";
        return SendText(client, Header(200, "OK", type, 2) + "ok");
    }
    if (route == "echo") {
        const std::string echo = method + " " + target + "\n" + body;
        return SendText(client, Header(200, "OK", "text/plain", static_cast<int64_t>(echo.size())) + echo);
    }
    if (route == "slowbody" && parts.size() > 2) {
        // The content set for the rest of the path: the header at once, the body after MS milliseconds.
        const std::string rest = path.substr(path.find('/', std::strlen("/slowbody/")));
        std::string stored;
        {
            std::lock_guard lock(mutex_);
            auto it = content_.find(rest);
            if (it != content_.end())
                stored = it->second;
        }
        if (!SendText(client, Header(200, "OK", "image/png", static_cast<int64_t>(stored.size()))))
            return false;
        for (int64_t waited = 0; waited < number(1) && !stopping_; waited += 10)
            Sleep(10);
        return !stopping_ && SendText(client, stored);
    }
    const std::string missing = "<html>not found</html>";
    return SendText(client, Header(404, "Not Found", "text/html", static_cast<int64_t>(missing.size())) + missing);
}

}  // namespace lumaforge::test
