// The generated deals of the index and server figures: each deal `n` a
// person with a name, a street, a lender and a settlement date drawn from
// short lists, so that a question built from one deal finds it and others.
#pragma once

#include "document/hud_document.h"

#include <cstddef>
#include <memory>
#include <string>

namespace velmora::bench {

struct DealSample {
    std::string borrower;
    std::string seller;
    std::string street;
    std::string city;
    std::string lender;
    std::string fileNumber;
    std::string settlementDate; // M/D/YYYY
    std::string price;
};

DealSample sampleOf(std::size_t n);

// The statement of deal `n`: its parties, property, lender and charge lines.
std::unique_ptr<CHudDocument> dealDocument(const DealSample& deal, std::size_t n);

// An index at `path` holding the rows of the first `deals` samples, each
// under a path of a folder that does not exist.
void writeSampleIndex(const std::string& path, std::size_t deals);

} // namespace velmora::bench
