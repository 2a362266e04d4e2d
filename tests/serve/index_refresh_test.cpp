// The index updated while requests run, as the server's refresh does every
// few minutes: eight clients search and open deals all the while, and every
// answer is whole: no error, and no search that finds fewer deals than one
// before it.
#include "serve/served_index.h"
#include "support/index_archive.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace velmora::testing {
namespace {

constexpr int kClients = 8;
constexpr int kUpdates = 10;

struct Tally {
    int answered = 0;
    std::vector<std::string> failures;
    // Deals found by the search of the new borrower, in the order asked.
    std::vector<int> found;
};

void searchUntil(const ServedIndex& served, const std::string& deal, const std::atomic<bool>& done,
                 Tally& tally) {
    httplib::Client client = served.client();
    client.set_keep_alive(true);
    const auto ask = [&](const std::string& target) -> httplib::Result {
        httplib::Result answer = client.Get(target);
        ++tally.answered;
        if (!answer)
            tally.failures.push_back(target + ": " + httplib::to_string(answer.error()));
        else if (answer->status != 200)
            tally.failures.push_back(target + ": " + std::to_string(answer->status));
        return answer;
    };
    // Once more after the last update, to see it.
    for (bool last = false; !last;) {
        last = done;
        ask("/?q=whitlock");
        ask(deal);
        const httplib::Result counted = ask("/api/search?q=refresher");
        if (counted && counted->status == 200)
            tally.found.push_back(std::stoi(counted->get_header_value("X-Total-Count")));
    }
}

TEST(ServeIndexRefresh, SearchesDuringUpdatesAllAnswerWhole) {
    TempFolder folder;
    savePurchase(folder.file("purchase.hud"), "Dana Whitlock");
    ServedIndex served(folder.path());
    const httplib::Result first = served.client().Get("/api/search?q=whitlock");
    ASSERT_TRUE(first);
    const std::string deal = "/deal/" + nlohmann::json::parse(first->body)["id"].dump();
    ASSERT_EQ(served.client().Get(deal)->status, 200) << deal;

    std::atomic<bool> done = false;
    std::vector<Tally> tallies(kClients);
    std::vector<std::thread> clients;
    for (Tally& tally : tallies)
        clients.emplace_back([&] { searchUntil(served, deal, done, tally); });
    for (int update = 0; update < kUpdates; ++update) {
        saveDeal(folder.file("new-" + std::to_string(update) + ".hud"), document_types::kHud,
                 [](CHudDocument& d) { putNames(d, "d", "Rita Refresher"); });
        served.index().updateNow();
    }
    done = true;
    for (std::thread& client : clients)
        client.join();

    for (const Tally& tally : tallies) {
        EXPECT_GT(tally.answered, 0);
        EXPECT_TRUE(tally.failures.empty()) << tally.failures.front();
        EXPECT_TRUE(std::is_sorted(tally.found.begin(), tally.found.end()));
        ASSERT_FALSE(tally.found.empty());
        EXPECT_EQ(tally.found.back(), kUpdates);
    }
    EXPECT_EQ(served.index().health().documents, 1u + kUpdates);
    EXPECT_TRUE(stillServing(served));
}

} // namespace
} // namespace velmora::testing
