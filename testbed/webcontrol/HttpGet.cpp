#include "HttpGet.h"

#include <winsock2.h>
#include <windows.h>
#include <urlmon.h>

#include <cstdlib>
#include <cstring>

namespace {

// Closes the socket on every return path.
class Socket {
public:
    Socket() : s_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {}
    ~Socket() {
        if (s_ != INVALID_SOCKET) closesocket(s_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    SOCKET get() const { return s_; }

private:
    SOCKET s_;
};

class WinsockSession {
public:
    WinsockSession() { ok_ = WSAStartup(MAKEWORD(2, 2), &data_) == 0; }
    ~WinsockSession() {
        if (ok_) WSACleanup();
    }
    bool ok() const { return ok_; }

private:
    WSADATA data_{};
    bool ok_;
};

}  // namespace

std::string HttpGet::request(const std::string& hostPort, const std::string& path,
                             const std::string& userAgent) {
    std::string r = "GET " + path + " HTTP/1.0\r\nHost: " + hostPort + "\r\n";
    if (!userAgent.empty()) r += "User-Agent: " + userAgent + "\r\n";
    return r + "Accept: */*\r\nConnection: close\r\n\r\n";
}

HttpGet::Result HttpGet::parseResponse(const std::string& raw) {
    Result r;
    // "HTTP/1.x NNN reason"
    if (raw.compare(0, 5, "HTTP/") != 0 || raw.find(' ') == std::string::npos) {
        r.error = INET_E_INVALID_URL;  // not HTTP at all
        return r;
    }
    r.status = std::atoi(raw.c_str() + raw.find(' ') + 1);
    auto head = raw.find("\r\n\r\n");
    if (head != std::string::npos) r.body = raw.substr(head + 4);
    // Header names are case-insensitive; the value runs to the line's end.
    const std::string headers = raw.substr(0, head);
    for (size_t line = headers.find("\r\n"); line != std::string::npos; line = headers.find("\r\n", line + 2)) {
        const size_t start = line + 2;
        if (_strnicmp(headers.c_str() + start, "Location:", 9) != 0) continue;
        const size_t end = headers.find("\r\n", start);
        r.location = headers.substr(start + 9, end == std::string::npos ? std::string::npos : end - start - 9);
        r.location.erase(0, r.location.find_first_not_of(" \t"));
        r.location.erase(r.location.find_last_not_of(" \t") + 1);
        break;
    }
    if (r.status < 100) r.error = INET_E_INVALID_URL;
    return r;
}

HttpGet::Result HttpGet::fetch(unsigned short port, const std::string& hostPort, const std::string& path,
                               const std::string& userAgent) {
    Result failed;
    failed.error = INET_E_CANNOT_CONNECT;
    WinsockSession session;
    if (!session.ok()) return failed;
    Socket s;
    if (s.get() == INVALID_SOCKET) return failed;
    DWORD timeoutMs = 15000;
    setsockopt(s.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return failed;

    std::string req = request(hostPort, path, userAgent);
    for (size_t sent = 0; sent < req.size();) {
        int n = send(s.get(), req.data() + sent, static_cast<int>(req.size() - sent), 0);
        if (n <= 0) return failed;
        sent += n;
    }
    std::string raw;
    char buf[8192];
    for (int n; (n = recv(s.get(), buf, sizeof buf, 0)) > 0;) raw.append(buf, n);
    if (raw.empty()) {
        failed.error = INET_E_DOWNLOAD_FAILURE;
        return failed;
    }
    return parseResponse(raw);
}
