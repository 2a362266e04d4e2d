// The figures of `velmora serve`: how long a person waits for a search while
// others search too, and for a deal's statement page. The server runs in this
// process, over a generated index, on a loopback port; its clients talk HTTP
// to it as a browser or a script would.
#pragma once

#include "bench_inputs.h"

#include <string>

namespace velmora::bench {

struct ServeFigures {
    double searchP95Milliseconds = -1; // of every client's searches
    double dealPageMilliseconds = -1;  // median of the statement pages
};

// Builds under `folder` an index of `sizes.serveDeals` deals, of which
// `sizes.repetitions` are converted deals with their files, serves it, and
// times `sizes.serveSearchesPerClient` searches of each of 16 concurrent
// keep-alive clients (a surname, a street, a file number's start, a common
// word, a filter with a date range, a name by date; JSON and page alike),
// then each converted deal's page. -1 for a figure when a request failed or
// a search found nothing.
ServeFigures serveFigures(const std::string& folder, const Sizes& sizes);

} // namespace velmora::bench
