// An archive with more deals than a page shows: the index tests' archive
// (deals of every kind, and files that are no deals) and 120 small deals of
// one borrower saved by the engine, settled on the 15th of successive months
// from January 2000, so that the order by settlement date is known.
#pragma once

#include "support/index_archive.h"

#include <algorithm>
#include <string>

namespace velmora::testing {

inline constexpr int kPagedDeals = 120;
// The deals the index tests' archive holds besides.
inline constexpr int kArchiveDeals = 5;

// `number` in `digits` digits at least, zeros first.
inline std::string zeroPadded(int number, std::size_t digits) {
    const std::string text = std::to_string(number);
    return std::string(digits - std::min(digits, text.size()), '0') + text;
}

// "2000-01-15" for the first deal, a month later for each next one.
inline std::string pagedSettlement(int deal) {
    return std::to_string(2000 + deal / 12) + "-" + zeroPadded(1 + deal % 12, 2) + "-15";
}

struct PagedArchive : IndexArchive {
    PagedArchive() {
        for (int deal = 0; deal < kPagedDeals; ++deal) {
            saveDeal(root.file("many/deal-" + zeroPadded(deal, 3) + ".hud"), document_types::kHud,
                     [&](CHudDocument& d) {
                         d.putDate("i_settlementDate", parseDate(pagedSettlement(deal)));
                         d.putString("f_LenderName", "Page Bank");
                         putNames(d, "d", "Nell Pagewright");
                     });
        }
    }
};

} // namespace velmora::testing
