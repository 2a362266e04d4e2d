// Sixteen people searching and opening deals at once for ten seconds: every
// request is answered, and answered 200. How fast is the benchmark's
// business, not this test's.
#include "serve/served_archive.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace velmora::testing {
namespace {

using ServeLoad = ServedArchive;

constexpr int kClients = 16;
constexpr std::chrono::seconds kLoadTime{10};

struct Tally {
    int answered = 0;
    std::vector<std::string> failures;
};

// One person's requests, in turn: a search page, a deal, the API.
void browse(const ServedIndex& served, int person, const std::vector<std::string>& deals,
            std::chrono::steady_clock::time_point until, Tally& tally) {
    httplib::Client client = served.client();
    client.set_keep_alive(true);
    const std::vector<std::string> searches = {
        "/?q=pagewright&page=" + std::to_string(1 + person % 3),
        "/?q=whitlock",
        "/?from=2004-01-01&to=2006-12-31&sort=oldest",
        "/api/search?q=legacy",
    };
    for (std::size_t turn = 0; std::chrono::steady_clock::now() < until; ++turn) {
        for (const std::string& target :
             {searches[turn % searches.size()], deals[(turn + person) % deals.size()]}) {
            const httplib::Result answer = client.Get(target);
            ++tally.answered;
            if (!answer)
                tally.failures.push_back(target + ": " + httplib::to_string(answer.error()));
            else if (answer->status != 200)
                tally.failures.push_back(target + ": " + std::to_string(answer->status));
        }
    }
}

TEST_F(ServeLoad, SixteenClientsForTenSecondsAreAllAnswered) {
    std::vector<std::string> deals;
    for (const std::string& path : {archive().purchase, archive().refinance, archive().statement,
                                    archive().loan, archive().root.file("many/deal-042.hud")})
        deals.push_back("/deal/" + std::to_string(idOf(path)));
    const auto until = std::chrono::steady_clock::now() + kLoadTime;
    std::vector<Tally> tallies(kClients);
    std::vector<std::thread> clients;
    for (int person = 0; person < kClients; ++person)
        clients.emplace_back(
            [&, person] { browse(served(), person, deals, until, tallies[person]); });
    for (std::thread& client : clients)
        client.join();
    int answered = 0;
    for (const Tally& tally : tallies) {
        EXPECT_GT(tally.answered, 0);
        EXPECT_TRUE(tally.failures.empty())
            << tally.failures.size() << " failed, first " << tally.failures.front();
        answered += tally.answered;
    }
    RecordProperty("requests", answered);
    EXPECT_TRUE(stillServing(served()));
}

} // namespace
} // namespace velmora::testing
