#include "sections/state_charges.h"

namespace velmora {

using enum PropertyKind;

const SectionTable stateChargesTable{
    .caption = "",
    // "Description" is a property of its own, apart from the built-in "description".
    .properties = {{"CurrentState", Long},
                   {"PayableBy", String},
                   {"Description", String},
                   {"AutoCalcTax", Long},
                   {"UIFlag", Bool}},
    .children = {section("StateCharges1201Deed", makeNode<CStateChargeSet>),
                 section("StateCharges1201Mortgage", makeNode<CStateChargeSet>),
                 section("StateCharges1201Release", makeNode<CStateReleaseCharge>)},
    .defaults = Defaults::All,
};

const SectionTable stateChargeSetTable{
    .caption = "",
    .properties = {{"Set1NumPages", String},
                   {"Set1PageAmt", String},
                   {"Set1Fixed", Long},
                   {"Set2NumPages", String},
                   {"Set2PageAmt", String},
                   {"Set2Fixed", Long},
                   {"BuyerPay", String},
                   {"SellerPay", String},
                   {"Total", String}},
    .children = {},
    .defaults = Defaults::None,
};

const SectionTable stateReleaseChargeTable{
    .caption = "",
    .properties = {{"Set1NumPages", String},
                   {"Set1PageAmt", String},
                   {"Set1Fixed", Long},
                   {"Set2NumPages", String},
                   {"Set2PageAmt", String},
                   {"Set2Fixed", Long},
                   {"BuyerPay", String},
                   {"SellerPay", String},
                   {"FixedAmt", String},
                   {"ChkFixedAmt", Long},
                   {"Total", String}},
    .children = {},
    .defaults = Defaults::None,
};

const SectionTable otherFeesCollectionTable =
    collectionOf("StChargesOtherFees", makeNode<COtherFees>, true);

const SectionTable otherFeesTable{
    .caption = "",
    .properties = {{"ChkTier1AmtLimit", Long},
                   {"PayableBy", String},
                   {"Description", String},
                   {"AutoCalcTax", Long},
                   {"UIFlag", Bool}},
    .children = {section("Deed", makeNode<CTierTax>), section("Mortgage", makeNode<CTierTax>)},
    .defaults = Defaults::All,
};

const SectionTable tierTaxTable{
    .caption = "",
    .properties = strings({"Tier1UnitRate", "Tier1UnitSize", "Tier1AmtLimit", "Tier2UnitRate",
                           "Tier2UnitSize", "BuyerPay", "SellerPay", "MaxTax", "Total"}),
    .children = {},
    .defaults = Defaults::None,
};

void COtherFees::createDefaultChildren() {
    TableSection::createDefaultChildren();
    for (const auto& child : children())
        child->setDiscardMark(true);
}

} // namespace velmora
