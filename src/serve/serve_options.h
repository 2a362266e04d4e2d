// What `velmora serve` is asked to do.
#pragma once

#include "serve/listen_address.h"
#include "serve/steady_now.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace velmora::serve {

// Whether this build serves HTTPS: the Windows build has no TLS library,
// and so serves this machine alone.
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
inline constexpr bool kServesTls = true;
#else
inline constexpr bool kServesTls = false;
#endif

// A session ends after this long unused, and after this long in all.
inline constexpr std::chrono::minutes kSessionIdle{30};
inline constexpr std::chrono::hours kSessionLongest{12};

struct ServeOptions {
    ListenAddress listen{kDefaultHost, kDefaultPort};
    // Who logs in: the people of a users file, or the one person ("owner")
    // of a token; neither: no login (loopback only).
    std::string usersFile;
    std::string token;
    std::chrono::seconds sessionIdle = kSessionIdle;
    std::chrono::seconds sessionLongest = kSessionLongest;
    std::string tlsCertificate; // PEM files; both or neither
    std::string tlsKey;
    // Whether the statement pages offer PDFs.
    bool printing = false;
    // The time of sessions and of the login limit, and where the server's
    // notices go (failed logins, a users file gone bad); a test gives its own.
    SteadyNow now = SteadyClock::now;
    std::function<void(const std::string&)> notice;
};

// Connections served at once, and connections waiting for a thread.
inline constexpr std::size_t kServingThreads = 32;
inline constexpr std::size_t kWaitingConnections = 64;
// Requests one connection may make before it is closed.
inline constexpr std::size_t kKeepAliveRequests = 100;
// A request line with its query, and a login's form.
inline constexpr std::size_t kLongestTarget = 4096;
inline constexpr std::size_t kLongestBody = 4096;
// A request's headers together: the HTTP library bounds each line alone.
inline constexpr std::size_t kLongestHeaders = 8192;
// What the HTTP library reads of a request's line and headers at most; it
// refuses a request past this without reading further, and closes its
// connection. Above the two limits before, which get their own answers.
inline constexpr std::size_t kLongestHead = 16384;
// A client that sends nothing for this long is let go: a request sent half
// and stalled holds a thread no longer.
inline constexpr std::chrono::seconds kReadTimeout{5};
inline constexpr std::chrono::seconds kWriteTimeout{10};
} // namespace velmora::serve
