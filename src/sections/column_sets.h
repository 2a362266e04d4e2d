// The column sets of statement lines.
//
// Each line of a statement block carries the properties of one column set:
// a plain set holds strings only, a dated set begins with two dates (the
// period "from" and "to"). All lines of one set share one property schema.
#pragma once

#include "tree/property_schema.h"

#include <memory>
#include <string_view>
#include <vector>

namespace velmora {

class ColumnSet {
public:
    enum class Kind { Plain, Dated };

    ColumnSet(Kind kind, std::vector<std::string_view> names);

    Kind kind() const { return kind_; }
    const std::vector<std::string_view>& names() const { return names_; }
    const PropertySchema& schema() const { return *schema_; }

private:
    Kind kind_;
    std::vector<std::string_view> names_;
    std::unique_ptr<const PropertySchema> schema_;
};

namespace columns {
extern const ColumnSet A; // amount
extern const ColumnSet B; // from, to (dates), amount
extern const ColumnSet C; // payor, net, amount
extern const ColumnSet D; // payor, amount
extern const ColumnSet E; // payor, net, borrowerFund, sellerFund
extern const ColumnSet F; // percentage, forPOC, payor, net, borrowerFund, sellerFund
extern const ColumnSet G; // at, amount
extern const ColumnSet H; // months, payor, net, borrowerFund, sellerFund
extern const ColumnSet I; // months, at, payor, net, borrowerFund, sellerFund
extern const ColumnSet J; // deed, mortgage, release, payor, net, borrowerFund, sellerFund
extern const ColumnSet K; // deed, mortgage, payor, net, borrowerFund, sellerFund
extern const ColumnSet L; // from, to (dates), at, net, borrowerFund, sellerFund

// Lines of the closing records.
extern const ColumnSet MonthsAtAmount; // months, at, amount
extern const ColumnSet Funds;          // borrowerFund, sellerFund
} // namespace columns

} // namespace velmora
