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
#include "serve/users_file.h"

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
    std::string usersFile;
    std::string addUser;
    std::string removeUser;
    unsigned sessionIdleMinutes = static_cast<unsigned>(serve::kSessionIdle.count());
    unsigned sessionMaxHours = static_cast<unsigned>(serve::kSessionLongest.count());
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
    if (!args.tokenFile.empty() && !args.usersFile.empty())
        throw CannotRun("give --users (a token for each person) or --token-file (one for "
                        "all), not both");
    if (!loopback && args.tokenFile.empty() && args.usersFile.empty())
        throw CannotRun(options.listen.host +
                        " reaches other machines: give --users or --token-file, so that people "
                        "log in");
    if (args.tlsCertificate.empty() != args.tlsKey.empty())
        throw CannotRun("HTTPS needs both --tls-cert and --tls-key");
    if (!args.usersFile.empty()) {
        // Read here only to refuse a bad file before anything else is done;
        // the server reads it again, and again whenever it changes.
        try {
            serve::readUsersFile(args.usersFile);
        } catch (const serve::UsersRefused& refusal) {
            throw CannotRun(refusal.what());
        }
        options.usersFile = args.usersFile;
    }
    if (!args.tokenFile.empty()) {
        try {
            options.token = serve::readAccessToken(args.tokenFile);
        } catch (const serve::TokenRefused& refusal) {
            throw CannotRun(refusal.what());
        }
    }
    options.sessionIdle = std::chrono::minutes(args.sessionIdleMinutes);
    options.sessionLongest = std::chrono::hours(args.sessionMaxHours);
    options.tlsCertificate = args.tlsCertificate;
    options.tlsKey = args.tlsKey;
    options.printing = render::pdf::kPrintsPdf && render::pdf::browserInstalled();
    return options;
}

// --add-user and --remove-user: the users file changed, and nothing served.
void changeUsers(const ServeArguments& args) {
    if (args.usersFile.empty())
        throw CannotRun((args.addUser.empty() ? "--remove-user" : "--add-user") +
                        std::string(" needs --users FILE"));
    if (!args.addUser.empty() && !args.removeUser.empty())
        throw CannotRun("give --add-user or --remove-user, one at a time");
    try {
        if (!args.removeUser.empty()) {
            serve::removeUser(args.usersFile, args.removeUser);
            std::cerr << "velmora: " << args.removeUser << " removed from " << args.usersFile
                      << "; a running server ends their sessions at their next request\n";
            return;
        }
        const std::string token = serve::addUser(args.usersFile, args.addUser);
        std::cout << token << std::endl;
        std::cerr << "velmora: that is " << args.addUser
                  << "'s token, shown this once and never again: give it to them alone ("
                  << args.usersFile << " keeps only its hash)\n";
    } catch (const serve::UsersRefused& refusal) {
        throw CannotRun(refusal.what());
    }
}

void runServe(const ServeArguments& args) {
    if (!args.addUser.empty() || !args.removeUser.empty()) {
        changeUsers(args);
        return;
    }
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
                 "pages, JSON for scripts. Keeps the index of the folders given current. "
                 "People log in with a token of their own (--users) or one for all "
                 "(--token-file); an address that fails 5 times in a minute waits out that "
                 "minute");
    serve->add_option("FOLDER", args->folders,
                      "Folders whose deals the index holds, updated at start and every "
                      "--refresh minutes (default: none; the index is served as it is)");
    serve->add_option("--db", args->database, kDatabaseHelp);
    serve
        ->add_option("--listen", args->listen,
                     serve::kServesTls
                         ? "ADDR:PORT to listen on (default 127.0.0.1:8080, this machine "
                           "alone); any other address needs --users or --token-file, and "
                           "HTTPS on a shared network"
                         : "ADDR:PORT to listen on (default 127.0.0.1:8080); this build "
                           "serves this machine alone")
        ->check(listenProblem);
    serve
        ->add_option("--refresh", args->refreshMinutes,
                     "Minutes between updates of the index (default 10)")
        ->check(CLI::Range(1u, 10080u));
    serve->add_option("-j,--jobs", args->jobs, "Files read at once while updating (default 1)")
        ->check(CLI::Range(1u, 256u));
    serve->add_option("--users", args->usersFile,
                      "A file of the people who may log in, each with a token of their own "
                      "(the file keeps a salted hash of each, never the token); changes take "
                      "effect while serving");
    serve->add_option("--add-user", args->addUser,
                      "Add NAME (letters, digits, . _ - @) to --users FILE, print their new "
                      "token once, and exit");
    serve->add_option("--remove-user", args->removeUser,
                      "Remove NAME from --users FILE and exit; a running server ends their "
                      "sessions");
    serve->add_option("--token-file", args->tokenFile,
                      "A file whose first line is the one secret everyone logs in with, as "
                      "\"owner\" (at least 22 characters; 32 random hexadecimal digits will "
                      "do); not with --users");
    serve
        ->add_option("--session-idle", args->sessionIdleMinutes,
                     "Minutes a login lasts unused (default 30)")
        ->check(CLI::Range(1u, 1440u));
    serve
        ->add_option("--session-max", args->sessionMaxHours,
                     "Hours a login lasts in all (default 12)")
        ->check(CLI::Range(1u, 720u));
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
