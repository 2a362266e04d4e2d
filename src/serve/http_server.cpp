#include "serve/http_server.h"

#include "index/deal_reading.h"
#include "index/index_search.h"
#include "serve/audit_log.h"
#include "serve/connection_pool.h"
#include "serve/deal_pages.h"
#include "serve/embedded_assets.h"
#include "serve/login_throttle.h"
#include "serve/page_html.h"
#include "serve/reader_pool.h"
#include "serve/search_request.h"
#include "serve/sessions.h"
#include "tree/json_text.h"
#include "tree/visible_text.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <iostream>
#include <thread>
#include <variant>

namespace velmora::serve {
namespace {

constexpr char kSessionCookie[] = "velmora_session";

// Pages run only the server's own script and style sheet; the statement
// page, self-contained, only its own inline style sheet.
constexpr char kPagePolicy[] = "default-src 'none'; script-src 'self'; style-src 'self'; "
                               "img-src 'self'; form-action 'self'; frame-ancestors 'none'; "
                               "base-uri 'none'";
constexpr char kStatementPolicy[] = "default-src 'none'; style-src 'unsafe-inline'; "
                                    "form-action 'none'; frame-ancestors 'none'; base-uri 'none'";

// How long a request waits for the index while it is being written.
constexpr int kReaderBusySeconds = 10;

// Connections to read the index through (reader_pool.h): the cores, and at
// least four.
std::size_t readingConnections() {
    return std::max<std::size_t>(4, std::thread::hardware_concurrency());
}

void reply(httplib::Response& response, const HttpReply& made) {
    response.status = made.status;
    response.set_content(made.body, made.type);
}

void replyText(httplib::Response& response, int status, const std::string& text) {
    reply(response, {status, kText, text + "\n"});
}

// The session id a request's cookie carries; empty when none.
std::string sessionOf(const httplib::Request& request) {
    const std::string cookies = request.get_header_value("Cookie");
    const std::string name = std::string(kSessionCookie) + "=";
    for (std::size_t at = 0; at < cookies.size();) {
        const std::size_t end = std::min(cookies.find(';', at), cookies.size());
        std::string_view pair(cookies.data() + at, end - at);
        while (!pair.empty() && pair.front() == ' ')
            pair.remove_prefix(1);
        if (pair.starts_with(name))
            return std::string(pair.substr(name.size()));
        at = end + 1;
    }
    return "";
}

std::string bearerOf(const httplib::Request& request) {
    const std::string header = request.get_header_value("Authorization");
    constexpr std::string_view kScheme = "Bearer ";
    return header.starts_with(kScheme) ? header.substr(kScheme.size()) : "";
}

// A request's query string as it was sent: what the search reads, and a
// search's words in the audit trail.
std::string queryOf(const httplib::Request& request) {
    const std::size_t mark = request.target.find('?');
    return mark == std::string::npos ? "" : request.target.substr(mark + 1);
}

// The query string as the search reads it: the HTTP library's reading of
// "where=lender=harbor" keeps only "harbor".
QueryParameters parametersOf(const httplib::Request& request) {
    return queryParameters(queryOf(request));
}

std::size_t headerBytes(const httplib::Request& request) {
    std::size_t bytes = 0;
    for (const auto& [name, value] : request.headers)
        bytes += name.size() + value.size() + 4; // ": " and the line's end
    return bytes;
}

bool isPublic(const std::string& path) {
    return path == "/login" || path == "/health" || path.starts_with("/assets/");
}

bool isApi(const std::string& path) {
    return path.starts_with("/api/");
}

// The index's own form of a moment: "2026-12-08T01:42:17Z".
std::string isoTime(std::chrono::system_clock::time_point when) {
    return index::isoTimeOfNanoseconds(
        std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch()).count());
}

// A short text for the statuses the library answers itself.
std::string statusText(int status) {
    switch (status) {
    case 400:
        return "bad request";
    case 404:
        return "not found";
    case 405:
        return "method not allowed";
    case 413:
        return "the request is too large";
    case 414:
        return "the address is too long";
    case 431:
        return "the request's headers are too large";
    case 503:
        return "the server is busy; try again in a moment";
    default:
        return status >= 500 ? "the server could not answer this request" : "refused";
    }
}

std::unique_ptr<People> peopleOf(const ServeOptions& options,
                                 const std::function<void(const std::string&)>& notice) {
    if (!options.usersFile.empty()) {
        try {
            return std::make_unique<UsersOnFile>(options.usersFile, options.now, notice);
        } catch (const UsersRefused& refusal) {
            throw ServeRefused(refusal.what());
        }
    }
    if (!options.token.empty())
        return std::make_unique<TokenOwner>(options.token);
    return nullptr;
}

std::function<void(const std::string&)> noticeOf(const ServeOptions& options) {
    if (options.notice)
        return options.notice;
    return [](const std::string& line) { std::cerr << "velmora serve: " + line + "\n"; };
}

} // namespace

// What the routes share. Requests run on many threads: each member is safe
// for that, and each request reads the index through a connection lent to
// it alone.
class AppState {
public:
    AppState(const ServeOptions& options, IndexKeeper& index, AuditLog* audit)
        : options_(options), index_(index), audit_(audit),
          readers_(index.database(), readingConnections(), kReaderBusySeconds),
          deals_(options.printing), notice_(noticeOf(options)), people_(peopleOf(options, notice_)),
          sessions_(options.sessionIdle, options.sessionLongest, options.now),
          throttle_(options.now) {}

    bool loginRequired() const { return people_ != nullptr; }

    // The name of the person `request` is served for: its session's or its
    // bearer token's ("owner" with a token file); "" when no login is asked
    // for; none when it names no one who may come in.
    std::optional<std::string> personOf(const httplib::Request& request) {
        if (!loginRequired())
            return std::string();
        const std::string bearer = bearerOf(request);
        const std::optional<Person> person =
            bearer.empty() ? sessionPerson(request) : people_->byToken(bearer);
        if (!person)
            return std::nullopt;
        return person->name;
    }

    // Logs what `response` answers to `request` before it goes out; an
    // answer that cannot be logged is not given: 503, and none of its
    // headers (a session's cookie, a redirect) either. `person` names whom
    // the answer was for when the request no longer tells it (a login, a
    // logout).
    void record(const httplib::Request& request, httplib::Response& response, AuditAction action,
                const std::string& deal = "", std::optional<std::string> person = std::nullopt) {
        if (!audit_)
            return;
        const bool known = action != AuditAction::LoginFailed && action != AuditAction::Refused;
        AuditEvent event;
        if (known)
            event.user = person ? *person : personOf(request).value_or("");
        event.address = request.remote_addr;
        event.action = action;
        if (action == AuditAction::Search)
            event.words = queryOf(request);
        event.deal = deal;
        if (!deal.empty())
            event.path = pathOfDeal(deal);
        event.status = response.status;
        try {
            audit_->append(event);
        } catch (const AuditLogFailed& failure) {
            std::cerr << "velmora serve: " << visibleText(failure.what()) << '\n';
            for (const char* header :
                 {"Set-Cookie", "Location", "Content-Disposition", "X-Total-Count"})
                response.headers.erase(header);
            replyText(response, 503, "the audit log cannot be written, so nothing is served");
        }
    }

    // Whether `request` may go on to its route; when not, `response` says why.
    bool letIn(const httplib::Request& request, httplib::Response& response) {
        if (!loginRequired() || isPublic(request.path))
            return true;
        const std::string bearer = bearerOf(request);
        if (bearer.empty()) {
            if (sessionPerson(request))
                return true;
        } else {
            if (refusedForFailures(request, response))
                return false;
            if (people_->byToken(bearer))
                return true;
            loginFailed(request);
        }
        if (isApi(request.path)) {
            response.set_header("WWW-Authenticate", "Bearer");
            replyText(response, 401, "log in first: send the token as Authorization: Bearer");
        } else {
            response.set_redirect("/login", 303);
        }
        return false;
    }

    // The file the index names for deal `id`; empty when it names none.
    std::string pathOfDeal(std::string_view id) {
        ReaderPool::Lease reader = readers_.borrow();
        return DealPages::indexedPath(reader.db(), id);
    }

    void searchPage(const httplib::Request& request, httplib::Response& response) {
        SearchPage page;
        page.loggedIn = loginRequired();
        page.person = personOf(request).value_or("");
        const QueryParameters parameters = parametersOf(request);
        const auto read = readSearchRequest(parameters);
        if (const auto* problem = std::get_if<std::string>(&read)) {
            page.problem = *problem;
            reply(response, {400, kHtml, searchPageHtml(page)});
            return;
        }
        const SearchRequest& search = std::get<SearchRequest>(read);
        page.request = &search;
        if (parameters.empty()) {
            reply(response, {200, kHtml, searchPageHtml(page)});
            return;
        }
        const index::SearchResult result = [&] {
            ReaderPool::Lease reader = readers_.borrow();
            return index::searchIndex(reader.db(), search.query, &reader.memo());
        }();
        page.result = &result;
        reply(response, {200, kHtml, searchPageHtml(page)});
    }

    void searchApi(const httplib::Request& request, httplib::Response& response) {
        const auto read = readSearchRequest(parametersOf(request));
        if (const auto* problem = std::get_if<std::string>(&read)) {
            replyText(response, 400, *problem);
            return;
        }
        std::string lines;
        const std::size_t matches = [&] {
            ReaderPool::Lease reader = readers_.borrow();
            return index::forEachHit(
                reader.db(), std::get<SearchRequest>(read).query,
                [&](const index::SearchHit& hit) { lines += index::jsonOfHit(hit) + "\n"; },
                &reader.memo());
        }();
        response.set_header("X-Total-Count", std::to_string(matches));
        reply(response, {200, kJsonLines, lines});
    }

    void dealPage(const httplib::Request& request, httplib::Response& response) {
        const std::string id = request.matches[1].str();
        const HttpReply page = deals_.page(id, pathOfDeal(id));
        if (page.status == 200)
            response.set_header("Content-Security-Policy", kStatementPolicy);
        reply(response, page);
    }

    void dealJson(const httplib::Request& request, httplib::Response& response) {
        const std::string id = request.matches[1].str();
        reply(response, deals_.json(pathOfDeal(id)));
    }

    void dealPdf(const httplib::Request& request, httplib::Response& response) {
        const HttpReply pdf = deals_.pdf(pathOfDeal(request.matches[1].str()));
        if (pdf.status == 200)
            response.set_header("Content-Disposition",
                                "inline; filename=\"deal-" + request.matches[1].str() + ".pdf\"");
        reply(response, pdf);
    }

    void health(httplib::Response& response) {
        const IndexHealth health = index_.health();
        nlohmann::ordered_json json = {{"documents", health.documents},
                                       {"updated", nullptr},
                                       {"age_seconds", nullptr},
                                       {"updating", health.updating},
                                       {"last_update", health.lastRun}};
        if (health.updated) {
            json["updated"] = isoTime(*health.updated);
            json["age_seconds"] = std::chrono::duration_cast<std::chrono::seconds>(
                                      std::chrono::system_clock::now() - *health.updated)
                                      .count();
        }
        reply(response, {200, kJson, jsonText(json) + "\n"});
    }

    void loginPage(httplib::Response& response) {
        if (!loginRequired()) {
            response.set_redirect("/", 303);
            return;
        }
        reply(response, {200, kHtml, loginPageHtml(false)});
    }

    void logIn(const httplib::Request& request, httplib::Response& response) {
        if (!loginRequired()) {
            response.set_redirect("/", 303);
            return;
        }
        if (refusedForFailures(request, response)) {
            record(request, response, AuditAction::Refused);
            return;
        }
        const std::optional<Person> person = people_->byToken(request.get_param_value("token"));
        if (!person) {
            loginFailed(request);
            reply(response, {401, kHtml, loginPageHtml(true)});
            record(request, response, AuditAction::LoginFailed);
            return;
        }
        response.set_header("Set-Cookie",
                            std::string(kSessionCookie) + "=" + sessions_.open(*person) +
                                "; Path=/; HttpOnly; SameSite=Strict" + (tls() ? "; Secure" : ""));
        response.set_redirect("/", 303);
        record(request, response, AuditAction::Login, "", person->name);
    }

    void logOut(const httplib::Request& request, httplib::Response& response) {
        const std::string person = personOf(request).value_or("");
        sessions_.close(sessionOf(request));
        response.set_header("Set-Cookie", std::string(kSessionCookie) +
                                              "=; Path=/; Max-Age=0; HttpOnly; SameSite=Strict" +
                                              (tls() ? "; Secure" : ""));
        response.set_redirect(loginRequired() ? "/login" : "/", 303);
        record(request, response, AuditAction::Logout, "", person);
    }

    void asset(const httplib::Request& request, httplib::Response& response) {
        const std::optional<Asset> found = assetNamed(request.matches[1].str());
        if (!found) {
            replyText(response, 404, "not found");
            return;
        }
        response.set_content(found->body.data(), found->body.size(), std::string(found->type));
    }

private:
    bool tls() const { return !options_.tlsCertificate.empty(); }

    // The person of the request's session, while they may still come in: a
    // session of someone taken out of the users file ends at their next
    // request.
    std::optional<Person> sessionPerson(const httplib::Request& request) {
        const std::string id = sessionOf(request);
        if (id.empty())
            return std::nullopt;
        const std::optional<Person> person = sessions_.use(id);
        if (!person || people_->present(*person))
            return person;
        sessions_.close(id);
        return std::nullopt;
    }

    // Whether the request's address failed too often to try now; then a
    // 429 says until when.
    bool refusedForFailures(const httplib::Request& request, httplib::Response& response) {
        const std::optional<std::chrono::seconds> wait = throttle_.waitFor(request.remote_addr);
        if (!wait)
            return false;
        const std::string seconds = std::to_string(wait->count());
        response.set_header("Retry-After", seconds);
        const std::string why =
            "too many failed logins from this address; try again in " + seconds + " seconds";
        if (isApi(request.path))
            replyText(response, 429, why);
        else
            reply(response, {429, kHtml, messagePageHtml("Too many failed logins", why)});
        return true;
    }

    // Counts the failure and tells it, never with the token given.
    void loginFailed(const httplib::Request& request) {
        throttle_.failed(request.remote_addr);
        notice_(isoTime(std::chrono::system_clock::now()) + " " + visibleText(request.remote_addr) +
                ": login failed");
    }

    const ServeOptions& options_;
    IndexKeeper& index_;
    AuditLog* audit_;
    ReaderPool readers_;
    DealPages deals_;
    const std::function<void(const std::string&)> notice_;
    const std::unique_ptr<People> people_;
    Sessions sessions_;
    LoginThrottle throttle_;
};

namespace {

// The pages' policy, unless the statement's own was set: two policies would
// both hold, and the statement's inline style sheet would not.
void setPolicy(httplib::Response& response) {
    if (!response.has_header("Content-Security-Policy"))
        response.set_header("Content-Security-Policy", kPagePolicy);
}

// A form posted from a page of another site is refused: the browser names
// the page's origin, which must be this server.
bool fromAnotherSite(const httplib::Request& request) {
    const std::string origin = request.get_header_value("Origin");
    if (origin.empty())
        return false;
    const std::size_t scheme = origin.find("://");
    return scheme == std::string::npos ||
           origin.substr(scheme + 3) != request.get_header_value("Host");
}

httplib::Server::HandlerResponse admit(AppState& state, const httplib::Request& request,
                                       httplib::Response& response) {
    using Handled = httplib::Server::HandlerResponse;
    if (ConnectionPool::servingOverflow()) {
        response.set_header("Retry-After", "5");
        response.set_header("Connection", "close");
        replyText(response, 503, statusText(503));
        return Handled::Handled;
    }
    if (request.target.size() > kLongestTarget) {
        replyText(response, 414, statusText(414));
        return Handled::Handled;
    }
    if (headerBytes(request) > kLongestHeaders) {
        replyText(response, 431, statusText(431));
        return Handled::Handled;
    }
    if (request.method == "POST" && fromAnotherSite(request)) {
        replyText(response, 403, "a form from another site is refused");
        state.record(request, response, AuditAction::Refused);
        return Handled::Handled;
    }
    if (state.letIn(request, response))
        return Handled::Unhandled;
    state.record(request, response, AuditAction::Refused);
    return Handled::Handled;
}

void route(httplib::Server& server, AppState& state) {
    using Request = httplib::Request;
    using Response = httplib::Response;
    // The search page without a query is the empty form: no search.
    server.Get("/", [&](const Request& q, Response& r) {
        state.searchPage(q, r);
        if (!queryOf(q).empty())
            state.record(q, r, AuditAction::Search);
    });
    server.Get("/api/search", [&](const Request& q, Response& r) {
        state.searchApi(q, r);
        state.record(q, r, AuditAction::Search);
    });
    server.Get(R"(/deal/(\d{1,19}))", [&](const Request& q, Response& r) {
        state.dealPage(q, r);
        state.record(q, r, AuditAction::View, q.matches[1].str());
    });
    server.Get(R"(/deal/(\d{1,19})\.pdf)", [&](const Request& q, Response& r) {
        state.dealPdf(q, r);
        state.record(q, r, AuditAction::Pdf, q.matches[1].str());
    });
    server.Get(R"(/api/deal/(\d{1,19}))", [&](const Request& q, Response& r) {
        state.dealJson(q, r);
        state.record(q, r, AuditAction::Json, q.matches[1].str());
    });
    server.Get("/health", [&](const Request&, Response& r) { state.health(r); });
    server.Get(R"(/assets/([a-z]{1,32}\.[a-z]{2,4}))",
               [&](const Request& q, Response& r) { state.asset(q, r); });
    server.Get("/login", [&](const Request&, Response& r) { state.loginPage(r); });
    server.Post("/login", [&](const Request& q, Response& r) { state.logIn(q, r); });
    server.Post("/logout", [&](const Request& q, Response& r) { state.logOut(q, r); });
}

std::unique_ptr<httplib::Server> makeServer(const ServeOptions& options) {
    if (options.tlsCertificate.empty())
        return std::make_unique<httplib::Server>();
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
    auto server = std::make_unique<httplib::SSLServer>(options.tlsCertificate.c_str(),
                                                       options.tlsKey.c_str());
    if (!server->is_valid())
        throw ServeRefused(options.tlsCertificate + ", " + options.tlsKey +
                           ": the certificate or its key cannot be used");
    return server;
#else
    throw ServeRefused("this build serves no HTTPS");
#endif
}

} // namespace

HttpServer::HttpServer(ServeOptions options, IndexKeeper& index, AuditLog* audit)
    : options_(std::move(options)), state_(std::make_unique<AppState>(options_, index, audit)),
      server_(makeServer(options_)) {
    httplib::Server& server = *server_;
    server.new_task_queue = [] { return new ConnectionPool(kServingThreads, kWaitingConnections); };
    server.set_read_timeout(kReadTimeout);
    server.set_write_timeout(kWriteTimeout);
    server.set_keep_alive_timeout(kReadTimeout.count());
    server.set_tcp_nodelay(true);
    server.set_payload_max_length(kLongestBody);
    server.set_request_head_max_length(kLongestHead);
    server.set_keep_alive_max_count(kKeepAliveRequests);
    // A reply goes out in two writes, headers then body: under Nagle's
    // algorithm the body would wait for the client's delayed acknowledgement,
    // some 40 ms on every request of a kept-alive connection but its first.
    server.set_default_headers({{"X-Content-Type-Options", "nosniff"},
                                {"X-Frame-Options", "DENY"},
                                // Not no-referrer: a browser then names no
                                // origin on the pages' own forms, and the
                                // login and logout would be refused.
                                {"Referrer-Policy", "same-origin"},
                                {"Cache-Control", "no-store"}});
    AppState& state = *state_;
    server.set_pre_routing_handler(
        [&state](const httplib::Request& request, httplib::Response& response) {
            return admit(state, request, response);
        });
    server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty())
            replyText(response, response.status, statusText(response.status));
        setPolicy(response);
    });
    server.set_post_routing_handler(
        [](const httplib::Request&, httplib::Response& response) { setPolicy(response); });
    server.set_exception_handler(
        [](const httplib::Request& request, httplib::Response& response, std::exception_ptr error) {
            std::string why = "unknown error";
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& failure) {
                why = failure.what();
            } catch (...) {
            }
            // The index busy past its wait, a file that vanished mid-read:
            // this request fails, the server goes on.
            std::cerr << "velmora serve: " << visibleText(request.method) << " "
                      << visibleText(request.path) << ": " << visibleText(why) << '\n';
            replyText(response, 503, statusText(503));
        });
    route(server, state);
}

HttpServer::~HttpServer() {
    stop();
}

bool HttpServer::bind() {
    if (options_.listen.port == 0) {
        port_ = server_->bind_to_any_port(options_.listen.host);
        return port_ > 0;
    }
    port_ = options_.listen.port;
    return server_->bind_to_port(options_.listen.host, port_);
}

bool HttpServer::serve() {
    {
        const std::lock_guard lock(runMutex_);
        if (stopAsked_)
            return true;
        serving_ = true;
    }
    const bool served = server_->listen_after_bind();
    const std::lock_guard lock(runMutex_);
    serving_ = false;
    return served;
}

// httplib stops only a server that runs already: a stop that came between
// serve()'s start and the server's would be lost, and serve() would never
// return. So a stop waits for a serve() that has begun to be running.
void HttpServer::stop() {
    std::unique_lock lock(runMutex_);
    stopAsked_ = true;
    while (serving_ && !server_->is_running()) {
        lock.unlock();
        std::this_thread::yield();
        lock.lock();
    }
    lock.unlock();
    if (server_)
        server_->stop();
}

} // namespace velmora::serve
