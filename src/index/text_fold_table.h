// The table behind foldedText (text_fold.h), written by
// scripts/make-fold-table: every code point above ASCII that the fold
// changes, in ascending order, with the code point it becomes.
#pragma once

#include <cstddef>

namespace velmora::index {

struct FoldPair {
    char32_t from;
    char32_t to;
};

extern const FoldPair kFoldPairs[];
extern const std::size_t kFoldPairCount;

} // namespace velmora::index
