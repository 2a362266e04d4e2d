// The state charge tables named after line 1201: recording charges per
// instrument (deed, mortgage, release) and other state fees with two-tier tax
// parameters. They hold the parameters clients compute charges from; nothing
// here computes.
#pragma once

#include "sections/section_table.h"

namespace velmora {

extern const SectionTable stateChargesTable;
extern const SectionTable stateChargeSetTable;
extern const SectionTable stateReleaseChargeTable;
extern const SectionTable otherFeesCollectionTable;
extern const SectionTable otherFeesTable;
extern const SectionTable tierTaxTable;

// StateCharges1201 with its three instruments.
using CStateCharges = TableSection<stateChargesTable>;
using CStateChargeSet = TableSection<stateChargeSetTable>;
using CStateReleaseCharge = TableSection<stateReleaseChargeTable>;
// StChargesOtherFeesCol: creates each entry with its Deed and Mortgage.
using COtherFeesCollection = TableSection<otherFeesCollectionTable>;
using CTierTax = TableSection<tierTaxTable>;

// One other-fee entry, StChargesOtherFees, with its Deed and Mortgage tiers.
//
// The collection gives every new entry these two default children. An entry
// read from a file must end up with exactly the children the file holds, so
// the defaults are provisional (discard-marked): the loader drops them before
// it adds the file's children. Entries a client creates keep them.
class COtherFees final : public TableSection<otherFeesTable> {
public:
    using TableSection::TableSection;

    void createDefaultChildren() override;
};

} // namespace velmora
