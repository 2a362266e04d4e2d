#include "sections/column_sets.h"

namespace velmora {

ColumnSet::ColumnSet(Kind kind, std::vector<std::string_view> names)
    : kind_(kind), names_(std::move(names)) {
    SchemaBuilder builder;
    for (std::size_t i = 0; i < names_.size(); ++i) {
        const bool isDate = kind_ == Kind::Dated && i < 2;
        builder.add(names_[i], isDate ? PropertyKind::Date : PropertyKind::String);
    }
    schema_ = builder.build();
}

namespace columns {
using K_ = ColumnSet::Kind;

const ColumnSet A(K_::Plain, {"amount"});
const ColumnSet B(K_::Dated, {"from", "to", "amount"});
const ColumnSet C(K_::Plain, {"payor", "net", "amount"});
const ColumnSet D(K_::Plain, {"payor", "amount"});
const ColumnSet E(K_::Plain, {"payor", "net", "borrowerFund", "sellerFund"});
const ColumnSet F(K_::Plain,
                  {"percentage", "forPOC", "payor", "net", "borrowerFund", "sellerFund"});
const ColumnSet G(K_::Plain, {"at", "amount"});
const ColumnSet H(K_::Plain, {"months", "payor", "net", "borrowerFund", "sellerFund"});
const ColumnSet I(K_::Plain, {"months", "at", "payor", "net", "borrowerFund", "sellerFund"});
const ColumnSet J(K_::Plain,
                  {"deed", "mortgage", "release", "payor", "net", "borrowerFund", "sellerFund"});
const ColumnSet K(K_::Plain, {"deed", "mortgage", "payor", "net", "borrowerFund", "sellerFund"});
const ColumnSet L(K_::Dated, {"from", "to", "at", "net", "borrowerFund", "sellerFund"});

const ColumnSet MonthsAtAmount(K_::Plain, {"months", "at", "amount"});
const ColumnSet Funds(K_::Plain, {"borrowerFund", "sellerFund"});
} // namespace columns

} // namespace velmora
