// `velmora serve`'s HTTP front: the routes, the login, the headers every
// response carries and the limits every request meets. What each page holds
// is made by the parts it calls (page_html.h, deal_pages.h); this part only
// connects them to HTTP.
//
//   GET  /                 the search page (the query in the address)
//   GET  /deal/ID          a deal's statement; /deal/ID.pdf its PDF
//   GET  /api/search?...   the matches as `search --json` gives them
//   GET  /api/deal/ID      the deal as `export --json` gives it
//   GET  /health           the index's age and size, for monitoring
//   GET  /assets/NAME      the pages' style sheet and script
//   GET, POST /login       the token traded for a session; POST /logout
//
// With an audit log, logins (and failed ones), logouts, searches, deals
// shown (page, PDF, JSON) and refusals are each logged before they are
// answered; one that cannot be logged is answered 503 instead.
#pragma once

#include "serve/index_keeper.h"
#include "serve/serve_options.h"

#include <memory>
#include <mutex>

namespace httplib {
class Server;
}

namespace velmora::serve {

class AppState;
class AuditLog;

class HttpServer {
public:
    // Throws ServeRefused when the TLS certificate or key cannot be used.
    // With `audit`, each action is logged there before it is answered.
    HttpServer(ServeOptions options, IndexKeeper& index, AuditLog* audit = nullptr);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds the address; false when it cannot be (in use, not this machine's).
    bool bind();
    // The port bound (the one asked for, or the one the system chose for 0).
    int port() const { return port_; }
    // Serves until stop(), at once done when stop() came first; false when
    // serving failed.
    bool serve();
    // From any thread, before serve() or while it runs.
    void stop();

private:
    const ServeOptions options_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<httplib::Server> server_;
    int port_ = 0;
    std::mutex runMutex_;
    bool stopAsked_ = false; // under runMutex_
    bool serving_ = false;   // under runMutex_: serve() has begun and not ended
};

class ServeRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace velmora::serve
