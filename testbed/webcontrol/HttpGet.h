#pragma once
#include <string>

// One blocking HTTP/1.0 GET to the stand-in site on loopback. Whatever host
// the address names, the connection goes to 127.0.0.1:port; the Host header
// keeps the name as written.
class HttpGet {
public:
    struct Result {
        long error = 0;  // HRESULT: 0, or an INET_E_* code when no response came
        int status = 0;  // HTTP status when a response came
        std::string location;  // the Location header of a redirect, as sent
        std::string body;
    };

    static std::string request(const std::string& hostPort, const std::string& path,
                               const std::string& userAgent);
    static Result parseResponse(const std::string& raw);
    static Result fetch(unsigned short port, const std::string& hostPort, const std::string& path,
                        const std::string& userAgent);
};
