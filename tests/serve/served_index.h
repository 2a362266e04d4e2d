// A server as `velmora serve` runs one, in the test's own process: the index
// of a folder, kept by an IndexKeeper, served on 127.0.0.1 at a port the
// system chooses, from a thread of the test; and the checks every answer of
// it must pass.
#pragma once

#include "serve/http_server.h"
#include "serve/index_keeper.h"
#include "serve/raw_http.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>

namespace velmora::testing {

class ServedIndex {
public:
    // The folder is indexed before the first request; with a token, every
    // page asks for a login.
    explicit ServedIndex(const std::string& folder, const std::string& token = "",
                         serve::AuditLog* audit = nullptr)
        : ServedIndex(folder, optionsOf(token), audit) {}
    // Served with `options`, on 127.0.0.1 at a port the system chooses.
    ServedIndex(const std::string& folder, serve::ServeOptions options,
                serve::AuditLog* audit = nullptr)
        : keeper_(indexFolder_.file("index.db"), {folder}, std::chrono::hours(1), 1),
          server_(onAnyPort(std::move(options)), keeper_, audit) {
        keeper_.updateNow();
        if (!server_.bind()) {
            ADD_FAILURE() << "cannot listen on 127.0.0.1";
            return;
        }
        thread_ = std::thread([this] { server_.serve(); });
        // The listening socket holds this request until the server takes
        // it: once answered, the server runs, and stop() will end it.
        if (!client().Get("/health"))
            ADD_FAILURE() << "the server does not answer";
    }
    ~ServedIndex() {
        server_.stop();
        if (thread_.joinable())
            thread_.join();
    }
    ServedIndex(const ServedIndex&) = delete;
    ServedIndex& operator=(const ServedIndex&) = delete;

    int port() const { return server_.port(); }
    serve::IndexKeeper& index() { return keeper_; }
    const std::string& database() const { return keeper_.database(); }

    httplib::Client client() const {
        httplib::Client client("127.0.0.1", port());
        // Addresses go as the test writes them, as a browser sends what it
        // encoded itself.
        client.set_url_encode(false);
        client.set_read_timeout(kPatienceSeconds);
        client.set_write_timeout(kPatienceSeconds);
        return client;
    }

private:
    static serve::ServeOptions optionsOf(const std::string& token) {
        serve::ServeOptions options;
        options.token = token;
        return options;
    }
    static serve::ServeOptions onAnyPort(serve::ServeOptions options) {
        options.listen = {"127.0.0.1", 0};
        return options;
    }

    TempFolder indexFolder_;
    serve::IndexKeeper keeper_;
    serve::HttpServer server_;
    std::thread thread_;
};

// The policy pages run under: nothing from anywhere else, no inline script,
// and no framing. The statement page, which holds its own style sheet and no
// script at all, may allow inline style and must allow no script.
enum class Policy { Page, Statement };

inline ::testing::AssertionResult guarded(const httplib::Headers& headers,
                                          Policy policy = Policy::Page) {
    if (headers.count("Content-Security-Policy") != 1)
        return ::testing::AssertionFailure()
               << headers.count("Content-Security-Policy") << " Content-Security-Policy headers";
    const std::string csp = headers.find("Content-Security-Policy")->second;
    const auto holds = [&](const char* part) { return csp.find(part) != std::string::npos; };
    const bool scripts =
        policy == Policy::Page ? holds("script-src 'self';") : !holds("script-src");
    const bool inlineStyle = holds("'unsafe-inline'");
    if (!holds("default-src 'none'") || !holds("frame-ancestors 'none'") || !scripts ||
        holds("unsafe-eval") || holds("*") || holds("http") ||
        inlineStyle != (policy == Policy::Statement))
        return ::testing::AssertionFailure() << "Content-Security-Policy: " << csp;
    const auto valueOf = [&](const char* name) {
        const auto found = headers.find(name);
        return found == headers.end() ? std::string("(none)") : found->second;
    };
    if (valueOf("X-Content-Type-Options") != "nosniff" || valueOf("X-Frame-Options") != "DENY")
        return ::testing::AssertionFailure()
               << "X-Content-Type-Options: " << valueOf("X-Content-Type-Options")
               << ", X-Frame-Options: " << valueOf("X-Frame-Options");
    return ::testing::AssertionSuccess();
}

// Whether the server still answers a plain search, as after every fault.
inline ::testing::AssertionResult stillServing(const ServedIndex& served) {
    const httplib::Result found = served.client().Get("/?q=whitlock");
    if (!found)
        return ::testing::AssertionFailure() << "no answer: " << httplib::to_string(found.error());
    if (found->status != 200 || found->body.find("Dana Whitlock") == std::string::npos)
        return ::testing::AssertionFailure() << found->status << "\n" << found->body;
    return ::testing::AssertionSuccess();
}

} // namespace velmora::testing
