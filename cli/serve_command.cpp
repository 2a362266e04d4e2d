// velmora serve: the archive in a browser. Keeps the index of the folders
// current and serves its search and its deals' statements over HTTP, on
// this machine alone unless told otherwise. The server is the serve
// layer's; this command reads the options, refuses unsafe ones, and runs it
// until Ctrl-C.
#include "commands.h"
#include "index_database.h"
#include "quiet_dialog.h"

#include "platform/code_page.h"
#include "platform/path_parts.h"
#include "platform/stop_request.h"
#include "render/pdf/chromium.h"
#include "serve/access_token.h"
#include "serve/audit_log.h"
#include "serve/http_server.h"
#include "serve/index_keeper.h"

#include <chrono>
#include <iostream>
#include <thread>

namespace velmora::cli {
namespace {

struct ServeArguments {
    std::vector<std::string> folders;
    std::string database;
    std::string listen;
    unsigned refreshMinutes = 10;
    unsigned jobs = 1;
    std::string tokenFile;
    std::string tlsCertificate;
    std::string tlsKey;
    std::string auditLog;
};

// Beside the index: velmora-audit.log in its folder.
std::string auditLogPathOf(const ServeArguments& args, const std::string& database) {
    if (!args.auditLog.empty())
        return args.auditLog;
    const std::size_t separator = lastSeparator(database);
    return (separator == std::string::npos ? std::string() : database.substr(0, separator + 1)) +
           "velmora-audit.log";
}

std::unique_ptr<serve::AuditLog> openAuditLog(const std::string& path) {
    try {
        auto log = std::make_unique<serve::AuditLog>(path);
        warnIfReadableByOthers(path, "who looked at which deal");
        return log;
    } catch (const serve::AuditLogFailed& failure) {
        throw CannotRun(failure.what());
    }
}

std::string listenProblem(const std::string& text) {
    return serve::parseListenAddress(text)
               ? std::string()
               : "takes ADDR:PORT, such as 127.0.0.1:8080, [::1]:8080 or 0.0.0.0:8443";
}

serve::ServeOptions optionsOf(const ServeArguments& args) {
    serve::ServeOptions options;
    if (!args.listen.empty())
        options.listen = *serve::parseListenAddress(args.listen);
    const bool loopback = serve::isLoopback(options.listen.host);
    if (!loopback && !serve::kServesTls)
        throw CannotRun("this build serves this machine alone (it has no HTTPS); listen on "
                        "127.0.0.1");
    if (!loopback && args.tokenFile.empty())
        throw CannotRun(options.listen.host +
                        " reaches other machines: give --token-file, the secret people log in "
                        "with");
    if (args.tlsCertificate.empty() != args.tlsKey.empty())
        throw CannotRun("HTTPS needs both --tls-cert and --tls-key");
    if (!args.tokenFile.empty()) {
        try {
            options.token = serve::readAccessToken(args.tokenFile);
        } catch (const serve::TokenRefused& refusal) {
            throw CannotRun(refusal.what());
        }
    }
    options.tlsCertificate = args.tlsCertificate;
    options.tlsKey = args.tlsKey;
    options.printing = render::pdf::kPrintsPdf && render::pdf::browserInstalled();
    return options;
}

void runServe(const ServeArguments& args) {
    serve::ServeOptions options = optionsOf(args);
    const bool tls = !options.tlsCertificate.empty();
    const std::string database = indexPathOf(args.database, !args.folders.empty());
    if (args.folders.empty())
        openIndexForReading(database);
    // The engine's messages about one file are no questions for anyone here.
    QuietDialog quiet;
    ScopedDialog scoped(quiet);
    serve::IndexKeeper index(treeTextToUtf8(database), args.folders,
                             std::chrono::minutes(args.refreshMinutes), args.jobs);
    warnIfReadableByOthers(database);
    const std::unique_ptr<serve::AuditLog> audit = openAuditLog(auditLogPathOf(args, database));
    std::unique_ptr<serve::HttpServer> server;
    try {
        server = std::make_unique<serve::HttpServer>(options, index, audit.get());
    } catch (const serve::ServeRefused& refusal) {
        throw CannotRun(refusal.what());
    }
    if (!server->bind())
        throw CommandFailed(serve::addressUrl(options.listen, tls) +
                            ": cannot listen there (in use, or not this machine's address)");
    options.listen.port = server->port();
    std::cout << "serving " << serve::addressUrl(options.listen, tls) << " (index " << database
              << (args.folders.empty() ? ", not updated" : "") << "); Ctrl-C stops" << std::endl;
    index.start();
    const StopRequests stopRequests;
    std::thread watcher([&] {
        while (stopRequested() == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        server->stop();
    });
    const bool served = server->serve();
    if (!served)
        server->stop();
    watcher.join();
    if (!served)
        throw CommandFailed("the server stopped serving");
}

} // namespace

void addServeCommand(CLI::App& app, const GlobalOptions&) {
    auto args = std::make_shared<ServeArguments>();
    CLI::App* serve = app.add_subcommand(
        "serve", "Serve the index and the deals' statements to browsers: search, statement "
                 "pages, JSON for scripts. Keeps the index of the folders given current");
    serve->add_option("FOLDER", args->folders,
                      "Folders whose deals the index holds, updated at start and every "
                      "--refresh minutes (default: none; the index is served as it is)");
    serve->add_option("--db", args->database, kDatabaseHelp);
    serve
        ->add_option("--listen", args->listen,
                     serve::kServesTls
                         ? "ADDR:PORT to listen on (default 127.0.0.1:8080, this machine "
                           "alone); any other address needs --token-file, and HTTPS on a "
                           "shared network"
                         : "ADDR:PORT to listen on (default 127.0.0.1:8080); this build "
                           "serves this machine alone")
        ->check(listenProblem);
    serve
        ->add_option("--refresh", args->refreshMinutes,
                     "Minutes between updates of the index (default 10)")
        ->check(CLI::Range(1u, 10080u));
    serve->add_option("-j,--jobs", args->jobs, "Files read at once while updating (default 1)")
        ->check(CLI::Range(1u, 256u));
    serve->add_option("--token-file", args->tokenFile,
                      "A file whose first line is the secret people log in with (at least 22 "
                      "characters; 32 random hexadecimal digits will do)");
    serve->add_option("--audit-log", args->auditLog,
                      "The audit log: a line for each login, search and deal shown, chained so "
                      "that tampering shows (default: velmora-audit.log in the index's folder; "
                      "see velmora audit)");
    if (serve::kServesTls) {
        serve->add_option("--tls-cert", args->tlsCertificate,
                          "Serve HTTPS with this certificate (PEM)");
        serve->add_option("--tls-key", args->tlsKey, "The certificate's private key (PEM)");
    }
    serve->callback([args] { runServe(*args); });
}

} // namespace velmora::cli
