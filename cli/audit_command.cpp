// velmora audit: lists the server's audit trail, or checks its chain. The
// reading and the checking are the serve layer's (serve/audit_*.h).
//
// Exit codes: 0 listed, or the chain intact (a torn last line, the trace of
// a crash, is warned about on standard error but is no tampering); 1 a line
// was changed, removed or inserted; 2 the log cannot be read.
#include "commands.h"
#include "index_database.h"
#include "shown_lines.h"

#include "serve/audit_chain.h"
#include "serve/audit_listing.h"

#include <iostream>

namespace velmora::cli {
namespace {

struct AuditArguments {
    std::string file;
    bool verify = false;
    std::string user;
    std::string deal;
    std::string since;
    bool json = false;
};

constexpr char kAuditLogHolds[] = "who looked at which deal";

std::string sinceCheck(const std::string& text) {
    return serve::sinceTime(text) ? std::string()
                                  : "takes a date such as 2026-12-08, or 2026-12-08T01:42:17Z";
}

std::string readLog(const std::string& path) {
    try {
        std::string bytes = serve::readAuditFile(path);
        warnIfReadableByOthers(path, kAuditLogHolds);
        return bytes;
    } catch (const serve::AuditLogFailed& failure) {
        throw CannotRun(failure.what());
    }
}

std::string_view faultName(serve::AuditFault fault) {
    switch (fault) {
    case serve::AuditFault::Changed:
        return "was changed";
    case serve::AuditFault::Removed:
        return "follows removed lines";
    case serve::AuditFault::Inserted:
        return "was inserted";
    }
    return "is wrong";
}

void runVerify(const AuditArguments& args) {
    const serve::AuditVerdict verdict = serve::verifyAuditText(readLog(args.file));
    for (const std::size_t torn : verdict.tornLines)
        printLine(std::cerr, "velmora: " + args.file + ": line " + std::to_string(torn) +
                                 " is torn: its write did not finish (a crash), which is no "
                                 "tampering");
    if (const auto& problem = verdict.problem)
        throw CommandFailed(args.file + ": line " + std::to_string(problem->line) + " " +
                            std::string(faultName(problem->fault)) + ": " + problem->detail);
    printLine(std::cout, std::to_string(verdict.entries) +
                             " entries, chain intact; the last line's SHA-256 is " + verdict.head);
}

serve::AuditFilter filterOf(const AuditArguments& args) {
    serve::AuditFilter filter;
    if (!args.user.empty())
        filter.user = args.user;
    if (!args.deal.empty())
        filter.deal = args.deal;
    if (!args.since.empty())
        filter.since = serve::sinceTime(args.since);
    return filter;
}

void runList(const AuditArguments& args) {
    const std::string bytes = readLog(args.file);
    const serve::AuditFilter filter = filterOf(args);
    if (!args.json)
        printRow(std::cout, serve::auditTableHeader());
    std::size_t number = 0;
    for (const serve::AuditLine& line : serve::splitAuditLines(bytes)) {
        ++number;
        if (!line.entry) {
            printLine(std::cerr, "velmora: " + args.file + ": line " + std::to_string(number) +
                                     " is no entry (torn?); skipped");
            continue;
        }
        if (!serve::auditFilterMatches(filter, *line.entry))
            continue;
        if (args.json)
            std::cout << line.bytes << '\n';
        else
            printRow(std::cout, serve::auditTableRow(*line.entry));
    }
}

} // namespace

void addAuditCommand(CLI::App& app, const GlobalOptions&) {
    auto args = std::make_shared<AuditArguments>();
    CLI::App* audit = app.add_subcommand(
        "audit", "List the entries of velmora serve's audit log, or check with --verify that "
                 "none was changed, removed or inserted");
    audit->add_option("FILE", args->file, "The audit log (velmora serve --audit-log)")->required();
    CLI::Option* verify = audit->add_flag(
        "--verify", args->verify,
        "Check the chain of the log: exit 0 when it is intact (a torn last line is warned "
        "about), 1 naming the first line changed, removed or inserted");
    for (CLI::Option* listing :
         {audit->add_option("--user", args->user, "Entries of this user only"),
          audit->add_option("--deal", args->deal, "Entries of this deal (its id) only"),
          audit->add_option("--since", args->since, "Entries at or after this UTC date or time")
              ->check(sinceCheck),
          audit->add_flag("--json", args->json,
                          "The entries' lines as stored, one JSON object a line")})
        listing->excludes(verify);
    audit->callback([args] { args->verify ? runVerify(*args) : runList(*args); });
}

} // namespace velmora::cli
