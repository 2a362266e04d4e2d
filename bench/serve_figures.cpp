#include "serve_figures.h"

#include "median.h"
#include "sample_deals.h"

#include "batch/migration.h"
#include "index/deal_reading.h"
#include "index/index_writer.h"
#include "platform/file_stamp.h"
#include "serve/audit_log.h"
#include "serve/http_server.h"
#include "serve/index_keeper.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <latch>
#include <optional>
#include <thread>
#include <vector>

namespace velmora::bench {
namespace {

using Clock = std::chrono::steady_clock;

// The people searching at once.
constexpr std::size_t kClients = 16;
// Times each converted deal's page is asked for.
constexpr std::size_t kPageRounds = 3;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The value that `fraction` of `values` do not exceed, by nearest rank.
double percentileOf(std::vector<double> values, double fraction) {
    const auto rank =
        static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
    const std::size_t at = std::clamp<std::size_t>(rank, 1, values.size()) - 1;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at),
                     values.end());
    return values[at];
}

// Legacy deals written under `folder` and converted to XML by the batch
// road, as an office's archive holds them after `convert`; the paths of
// those converted, all of them or none.
std::vector<std::string> convertedDeals(const std::string& folder, std::size_t count) {
    std::filesystem::create_directories(folder);
    std::vector<std::string> paths;
    for (std::size_t n = 0; n < count; ++n) {
        const std::string name = "deal-" + std::to_string(n) + ".hud";
        const std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary) << makeArchiveDeal(n);
        if (batch::migrateFile({path, name}, {}).outcome != batch::Outcome::Converted) {
            std::fprintf(stderr, "serve figures: %s was not converted\n", path.c_str());
            return {};
        }
        paths.push_back(path);
    }
    return paths;
}

// Adds the files at `paths` to the index at `database` as `index` reads them;
// gives their row ids, or none when a file could not be read.
std::optional<std::vector<std::int64_t>> addToIndex(const std::string& database,
                                                    const std::vector<std::string>& paths) {
    index::Database db(database, index::OpenMode::ReadWrite, 10);
    index::IndexWriter writer(db);
    for (const std::string& path : paths) {
        const std::optional<FileStamp> stamp = fileStamp(path);
        const std::optional<index::IndexEntry> entry =
            stamp ? index::readIndexEntry(path, path, *stamp) : std::nullopt;
        if (!entry)
            return std::nullopt;
        writer.put(*entry);
    }
    writer.commit();
    std::vector<std::int64_t> ids;
    index::Statement idOfPath = db.prepare("SELECT id FROM documents WHERE path = ?");
    for (const std::string& path : paths) {
        idOfPath.bind(1, path);
        if (!idOfPath.step())
            return std::nullopt;
        ids.push_back(idOfPath.integer(0));
        idOfPath.reset();
    }
    return ids;
}

// The server over the index at `database`, on a loopback port the system
// chose, serving on a thread of its own while it lives. It keeps its audit
// trail beside the index, as `velmora serve` does: every search waits for
// its line to reach the disk.
class LoopbackServer {
public:
    explicit LoopbackServer(const std::string& database)
        : keeper_(database, {}, std::chrono::hours(1), 1), audit_(database + "-audit.log"),
          server_(loopbackOptions(), keeper_, &audit_) {
        if (server_.bind())
            thread_ = std::thread([this] { server_.serve(); });
    }

    ~LoopbackServer() {
        server_.stop();
        if (thread_.joinable())
            thread_.join();
    }

    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    bool serving() const { return thread_.joinable(); }

    std::unique_ptr<httplib::Client> client() const {
        auto made = std::make_unique<httplib::Client>("127.0.0.1", server_.port());
        made->set_keep_alive(true);
        return made;
    }

private:
    static serve::ServeOptions loopbackOptions() {
        serve::ServeOptions options;
        options.listen.port = 0;
        return options;
    }

    serve::IndexKeeper keeper_;
    serve::AuditLog audit_;
    serve::HttpServer server_;
    std::thread thread_;
};

// One search as a person makes it, through the page or the JSON API.
struct Search {
    std::string route;
    httplib::Params params;
};

std::string yearOf(const DealSample& deal) {
    return deal.settlementDate.substr(deal.settlementDate.rfind('/') + 1);
}

// The `r`th search: each kind in turn, each of them by both routes, about
// deals spread over the index's first `deals`.
Search searchNumber(std::size_t r, std::size_t deals) {
    const DealSample deal = sampleOf(r * 7919 % deals);
    Search search{(r / 6) % 2 == 0 ? "/api/search" : "/", {}};
    switch (r % 6) {
    case 0: // a borrower's surname
        search.params.emplace("q", deal.borrower.substr(deal.borrower.find(' ') + 1));
        break;
    case 1: // a street with its number, as a person writes it
        search.params.emplace("q", deal.street);
        break;
    case 2: // the start of a file number
        search.params.emplace("q", deal.fileNumber.substr(0, 5));
        break;
    case 3: // a word every deal holds
        search.params.emplace("q", "fee");
        break;
    case 4: // a lender in a few years
        search.params.emplace("field", "lender");
        search.params.emplace("value", deal.lender);
        search.params.emplace("from", yearOf(deal) + "-01-01");
        search.params.emplace("to", std::to_string(std::stoi(yearOf(deal)) + 2) + "-12-31");
        break;
    default: // a whole name, the latest deal first
        search.params.emplace("q", deal.borrower);
        search.params.emplace("sort", "newest");
        break;
    }
    return search;
}

// Whether the search was answered and found something.
bool foundSomething(const httplib::Result& result, const Search& search) {
    if (!result || result->status != 200)
        return false;
    if (search.route == "/")
        return result->body.find("No deal matches.") == std::string::npos;
    return result->get_header_value("X-Total-Count") != "0" && !result->body.empty();
}

// Makes the `r`th search; false, said on the error stream, when it failed or
// found nothing.
bool searched(httplib::Client& http, std::size_t r, std::size_t deals) {
    const Search search = searchNumber(r, deals);
    const httplib::Result result = http.Get(search.route, search.params, {});
    if (foundSomething(result, search))
        return true;
    std::fprintf(stderr, "serve_search_p95_ms: %s search %zu failed (status %d)\n",
                 search.route.c_str(), r, result ? result->status : -1);
    return false;
}

// What one client measured: the time of each of its searches.
struct ClientRun {
    std::vector<double> milliseconds;
    bool failed = false;
};

// The generated deals of the index; the converted ones hold other names.
std::size_t sampleDeals(const Sizes& sizes) {
    return sizes.serveDeals - static_cast<std::size_t>(sizes.repetitions);
}

void searchAsClient(const LoopbackServer& server, const Sizes& sizes, std::size_t client,
                    std::latch& ready, ClientRun& run) {
    const std::unique_ptr<httplib::Client> http = server.client();
    const std::size_t first = client * sizes.serveSearchesPerClient;
    // The connection opened and the server's thread at work: what an open
    // browser tab has already paid.
    run.failed = !searched(*http, first, sampleDeals(sizes));
    ready.arrive_and_wait();
    for (std::size_t r = first; r < first + sizes.serveSearchesPerClient && !run.failed; ++r) {
        const auto start = Clock::now();
        run.failed = !searched(*http, r, sampleDeals(sizes));
        run.milliseconds.push_back(millisecondsSince(start));
    }
}

double searchP95Milliseconds(const LoopbackServer& server, const Sizes& sizes) {
    std::vector<ClientRun> runs(kClients);
    std::latch ready(static_cast<std::ptrdiff_t>(kClients));
    std::vector<std::thread> clients;
    for (std::size_t c = 0; c < kClients; ++c)
        clients.emplace_back([&, c] { searchAsClient(server, sizes, c, ready, runs[c]); });
    for (std::thread& client : clients)
        client.join();
    std::vector<double> milliseconds;
    for (const ClientRun& run : runs) {
        if (run.failed)
            return -1;
        milliseconds.insert(milliseconds.end(), run.milliseconds.begin(), run.milliseconds.end());
    }
    return percentileOf(std::move(milliseconds), 0.95);
}

double dealPageMilliseconds(const LoopbackServer& server, const std::vector<std::int64_t>& ids) {
    const std::unique_ptr<httplib::Client> http = server.client();
    std::vector<double> milliseconds;
    for (std::size_t round = 0; round < kPageRounds; ++round) {
        for (const std::int64_t id : ids) {
            const std::string route = "/deal/" + std::to_string(id);
            const auto start = Clock::now();
            const httplib::Result result = http->Get(route);
            milliseconds.push_back(millisecondsSince(start));
            if (!result || result->status != 200) {
                std::fprintf(stderr, "serve_deal_page_ms: %s answered %d\n", route.c_str(),
                             result ? result->status : -1);
                return -1;
            }
        }
    }
    return medianOf(std::move(milliseconds));
}

} // namespace

ServeFigures serveFigures(const std::string& folder, const Sizes& sizes) {
    const std::string database = folder + "/serve.db";
    writeSampleIndex(database, sampleDeals(sizes));
    const std::vector<std::string> converted =
        convertedDeals(folder + "/serve-deals", static_cast<std::size_t>(sizes.repetitions));
    const std::optional<std::vector<std::int64_t>> ids = addToIndex(database, converted);
    ServeFigures figures;
    if (converted.empty() || !ids) {
        std::fprintf(stderr, "serve figures: the index could not be made\n");
        return figures;
    }
    LoopbackServer server(database);
    if (!server.serving()) {
        std::fprintf(stderr, "serve figures: no loopback port could be bound\n");
        return figures;
    }
    figures.searchP95Milliseconds = searchP95Milliseconds(server, sizes);
    figures.dealPageMilliseconds = dealPageMilliseconds(server, *ids);
    return figures;
}

} // namespace velmora::bench
