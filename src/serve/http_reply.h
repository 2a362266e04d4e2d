// What the server answers a request with, before the HTTP library writes it:
// a status, the body's type and the body. Made by the parts of the server
// that know nothing of HTTP's mechanics, so that they can be tested alone.
#pragma once

#include <string>

namespace velmora::serve {

inline constexpr char kHtml[] = "text/html; charset=utf-8";
inline constexpr char kText[] = "text/plain; charset=utf-8";
inline constexpr char kJson[] = "application/json";
inline constexpr char kJsonLines[] = "application/x-ndjson";
inline constexpr char kPdf[] = "application/pdf";

struct HttpReply {
    int status = 200;
    std::string type = kHtml;
    std::string body;
};

} // namespace velmora::serve
