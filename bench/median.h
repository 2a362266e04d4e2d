// The figure every benchmark reports of its repeated runs: the median, which
// one run disturbed by the rest of the machine does not move.
#pragma once

#include <algorithm>
#include <vector>

namespace velmora::bench {

inline double medianOf(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

} // namespace velmora::bench
