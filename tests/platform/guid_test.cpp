// GUIDs from the system's generator: the text form, the version 4 layout,
// and no repeats, also when threads draw at once.
#include "platform/guid.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

namespace velmora::testing {
namespace {

bool hasTheTextForm(const std::string& guid) {
    if (guid.size() != 36)
        return false;
    for (std::size_t i = 0; i < guid.size(); ++i) {
        const bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
        const char c = guid[i];
        if (hyphen ? c != '-'
                   : !(std::isdigit(static_cast<unsigned char>(c)) || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

TEST(Guid, ManyDrawsOnSeveralThreadsAreVersion4AndNeverRepeat) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 25'000;
    std::vector<std::vector<std::string>> drawn(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&drawn, t] {
            for (int i = 0; i < kPerThread; ++i)
                drawn[t].push_back(newGuidText());
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    std::unordered_set<std::string> seen;
    for (const std::vector<std::string>& guids : drawn) {
        for (const std::string& guid : guids) {
            ASSERT_TRUE(hasTheTextForm(guid)) << guid;
            EXPECT_EQ(guid[14], '4') << guid;                                         // version 4
            EXPECT_NE(std::string("89ab").find(guid[19]), std::string::npos) << guid; // variant
            EXPECT_TRUE(seen.insert(guid).second) << "repeated: " << guid;
        }
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kPerThread));
}

} // namespace
} // namespace velmora::testing
