// Shards: the texts that name one, and a split that every machine makes alike.
#include "batch/shard.h"

#include <gtest/gtest.h>

#include <tuple>

namespace velmora::testing {
namespace {

TEST(Shard, TextsAndAStableSplit) {
    for (const char* bad : {"", "1", "0/2", "3/2", "1/0", "a/2", "1/2x", "-1/2", "1/-2", "1//2"})
        EXPECT_FALSE(batch::parseShard(bad)) << bad;
    const std::optional<batch::Shard> shard = batch::parseShard("2/3");
    ASSERT_TRUE(shard);
    EXPECT_EQ(shard->index, 2u);
    EXPECT_EQ(shard->count, 3u);

    // Pinned: machines of any platform must split a tree alike.
    const std::tuple<const char*, unsigned, unsigned> pinned[] = {{"deal.hud", 6, 2},
                                                                  {"2004/0117.hud", 6, 3},
                                                                  {"loans/r.ref", 7, 2},
                                                                  {"x/y/z.dat", 4, 1},
                                                                  {"notes.txt", 5, 3}};
    for (const auto& [path, ofSeven, ofThree] : pinned) {
        for (unsigned k = 1; k <= 7; ++k)
            EXPECT_EQ(batch::isInShard({k, 7}, path), k == ofSeven) << path << " " << k;
        for (unsigned k = 1; k <= 3; ++k)
            EXPECT_EQ(batch::isInShard({k, 3}, path), k == ofThree) << path << " " << k;
    }
}

} // namespace
} // namespace velmora::testing
