// Splitting one tree between several machines or tasks.
//
// Shard K of N takes the files whose path relative to the root the run was
// given hashes to K. The hash is FNV-1a over the path's bytes with "/"
// between folders, so every machine, whatever its platform, makes the same
// split: N runs with K = 1..N cover the tree once, and their reports simply
// concatenate.
#pragma once

#include "batch/tree_walk.h"

#include <optional>
#include <string_view>
#include <vector>

namespace velmora::batch {

struct Shard {
    unsigned index = 1; // K, from 1
    unsigned count = 1; // N
};

// "K/N" with 1 <= K <= N; none for anything else.
std::optional<Shard> parseShard(std::string_view text);

bool isInShard(const Shard& shard, std::string_view relativePath);

// The files a run of `shard` takes, in their order; every file for a run
// without a shard.
std::vector<FoundFile> filesOfShard(std::vector<FoundFile> files,
                                    const std::optional<Shard>& shard);

} // namespace velmora::batch
