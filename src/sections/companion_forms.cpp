#include "sections/companion_forms.h"

#include "sections/party_sections.h"

namespace velmora {

using enum PropertyKind;
namespace c = columns;

// ---- Ledger ----

const SectionTable ledgerTable{
    .caption = "",
    .properties =
        strings({"versionNumber", "borrowerName1", "borrowerName2", "sellerName1", "sellerName2",
                 "location1", "location2", "location3", "location4", "subAcctNum"}),
    .children = {section("deposits", makeNode<CDepositList>),
                 section("withdrawals", makeNode<CWithdrawalList>),
                 section("transactions", makeNode<CTransactionList>)},
    .defaults = Defaults::None,
};

const SectionTable depositListTable = collectionOf("deposit", makeNode<CDeposit>);

const SectionTable withdrawalListTable = collectionOf("withdrawal", makeNode<CWithdrawal>);

const SectionTable transactionListTable = collectionOf("transaction", makeNode<CTransaction>);

const SectionTable depositTable{
    .caption = "",
    .properties = strings({"date", "from", "memo", "amount"}),
    .children = {},
    .defaults = Defaults::None,
};

const SectionTable withdrawalTable{
    .caption = "",
    .properties = strings({"date", "payTo", "memo", "check", "amount"}),
    .children = {},
    .defaults = Defaults::None,
};

const SectionTable transactionTable{
    .caption = "",
    .properties = strings({"transId", "transType", "wireFlag", "transDate", "refNum", "amount",
                           "payee", "address1", "address2", "city", "state", "zip", "memo"}),
    .children = {},
    .defaults = Defaults::None,
};

// ---- Checks ----

const SectionTable checkPrintingTable = collectionOf("check", makeNode<CCheck>);

const SectionTable checkTable{
    .caption = "",
    .properties = strings({"print", "date", "payTo", "checkNo", "amount", "address", "memo"}),
    .children = {},
    .defaults = Defaults::None,
};

// ---- 1099 forms ----

const SectionTable form1099Table{
    .caption = "",
    .properties =
        strings({"versionNumber", "hName", "hAddress", "location1", "location2", "eName",
                 "gLocation", "hTin", "eTin", "account", "idate", "idate2", "amount1", "amount2"}) +
        std::vector<PropertySpec>{{"option1", Long}, {"option2", Long}, {"option3", Long}} +
        strings({"name1099", "address1", "address2", "address3", "address4", "tin"}) +
        std::vector<PropertySpec>{{"check1", Long},
                                  {"check2", Long},
                                  {"check3", Long},
                                  {"check4", Long},
                                  {"check5", Long},
                                  {"check6", Long},
                                  {"check7", Long}} +
        strings({"filer_phone", "gross_proceed", "omb_number", "filer_fedral_id", "transferor_id",
                 "address_legal", "account_no", "transferor_option4", "buyers_tax", "closing_date",
                 "part3_date"}) +
        std::vector<PropertySpec>{{"void_option", Long}, {"corrected_option", Long}},
    .children = {section("filer_address", makeNode<CNameAddress>),
                 section("transferor_address", makeNode<CNameAddress>)},
    .defaults = Defaults::None,
};

const SectionTable form1099MultiTable{
    .caption = "",
    .properties = strings({"closing_date", "filer_fedral_id"}) +
                  std::vector<PropertySpec>{{"filer_fedral_id_type", Long}} +
                  strings({"filer_phone", "filerContactName", "filerTitle", "filerFax",
                           "filerEMail", "caseFileNum", "propertyAddress", "propertyStreet",
                           "propertyCity", "propertyState", "propertyZip", "propertyLot",
                           "propertyBlock", "sellersTaxCredit", "gross_proceed"}),
    .children = {section("filer_address", makeNode<CNameAddress>),
                 section("transferors", makeNode<CTransferorList>)},
    .defaults = Defaults::None,
};

const SectionTable transferorListTable = collectionOf("transferor", makeNode<CTransferor>);

const SectionTable transferorTable{
    .caption = "",
    .properties = strings({"name1", "name2", "street", "city", "state", "zip", "transferorGuid"}) +
                  std::vector<PropertySpec>{{"check1", Long},
                                            {"check2", Long},
                                            {"check3", Long},
                                            {"check4", Long},
                                            {"check5", Long},
                                            {"check6", Long},
                                            {"check7", Long},
                                            {"exchangeOption", Long},
                                            {"foreignAddrOption", Long},
                                            {"submitType", Long},
                                            {"grossAllocationPct", String, "100.00"}} +
                  strings({"grossAllocation", "transferor_id", "account_no", "confirmationNum"}),
    .children = {},
    .defaults = Defaults::None,
};

// ---- Closing records ----

// "taxes", "insurance" and "premium" are both properties of the record and
// names of its children; the two are independent.
const SectionTable mortgageClosingTable{
    .caption = "",
    .properties = std::vector<PropertySpec>{{"closingDate", Date}} +
                  strings({"borrowers",
                           "lender",
                           "property",
                           "mortgageType",
                           "loanAmount",
                           "taxes",
                           "insurance",
                           "premium",
                           "applicationFee",
                           "appraisalFee",
                           "creditReportFee",
                           "mortgageOriginationFee",
                           "pointsPaidSeller",
                           "processingFee",
                           "currentTaxes",
                           "titleSearch",
                           "survey",
                           "insurancePolicies",
                           "hazardInsurance",
                           "recordingFees",
                           "attorneyFees",
                           "realtyTransferFees",
                           "brokersCommision",
                           "mortgageCancellationFees",
                           "payoffMortgage",
                           "balanceDueToSeller",
                           "principalAndInterest",
                           "n12Taxes",
                           "n12Insurance",
                           "n12MortgageInsurance",
                           "closingAttorney",
                           "borrowerName1",
                           "borrowerName2",
                           "overPaymentYear",
                           "overPaymentAt",
                           "overPaymentPayable"}) +
                  std::vector<PropertySpec>{{"overPaymentDate", Date}} +
                  strings({"additionalFundsBy", "additionalFundAmount", "totalA", "totalB",
                           "totalC", "totalD", "totalBCD", "overpaymentToBorrower", "totalE"}),
    .children =
        lines({"taxes", "insurance", "premium"}, c::MonthsAtAmount) +
        lines({"b1", "b2", "b3", "c1", "c2", "c3", "interestOnLoan", "d1", "d2", "d3"}, c::A),
    .defaults = Defaults::None,
};

const SectionTable titleClosingTable{
    .caption = "",
    .properties = std::vector<PropertySpec>{{"date", Date}} +
                  strings({"property", "sellers", "buyers", "daysOfAdjustment", "paymentsMade"}) +
                  std::vector<PropertySpec>{{"signedOn", Date}} +
                  strings({"sellerName1",
                           "sellerName2",
                           "buyerName1",
                           "buyerName2",
                           "sellersForwardingAddress",
                           "realtyTransferFee",
                           "brokersCommision",
                           "mortgageCancellationFee",
                           "payoffMortgageLoan",
                           "pointsDuePercent",
                           "pointsDueAmount",
                           "pointsDuePayment",
                           "totalColumnA",
                           "totalColumnB",
                           "totalColumnC",
                           "summaryColumnA",
                           "summaryColumnB",
                           "summaryColumnC",
                           "summaryColumnBC",
                           "summaryColumnCA"}),
    .children = lines({"purchasePrice", "deposits"}, c::A) +
                lines({"taxes", "assessments", "rent", "fuel", "waterCharges", "sewerCharges",
                       "mortgageAssumed"},
                      c::Funds) +
                moreLines("moreCredits", c::Funds) + moreLines("morePayments", c::A),
    .defaults = Defaults::None,
};

} // namespace velmora
