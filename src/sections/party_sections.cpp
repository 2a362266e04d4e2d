#include "sections/party_sections.h"

namespace velmora {

using enum PropertyKind;

const SectionTable nameAddressTable{
    .caption = "",
    .properties = strings({"name1", "name2", "street", "city", "state", "zip", "sign1", "sign2"}),
    .children = {},
    .defaults = Defaults::None,
};

const SectionTable addressListTable = collectionOf("address", makeNode<CNameAddress>);

const SectionTable loanInfoTable{
    .caption = "",
    .properties = {{"loanOption", Long},
                   {"fileNo_6", String},
                   {"loanNo_7", String},
                   {"caseNo_8", String},
                   {"createdBy", String}},
    .children = {},
    .defaults = Defaults::None,
};

const SectionTable taxDataTable{
    .caption = "",
    .properties = {{"tax_days", Long},
                   {"tax_start", Date},
                   {"tax_end", Date},
                   {"sewer_start", Date},
                   {"sewer_end", Date},
                   {"fiscal", Date}},
    .children = {},
    .defaults = Defaults::None,
};

const SectionTable escrowDisclosureTable{
    .caption = "Initial Escrow Account Disclosure Statement",
    .properties = {{"tollFreeNumber", String},
                   {"firstPaymentDate", Date},
                   {"maxMonthsAllowed", Long},
                   {"escrowTo", Double},
                   {"escrowInit", Double},
                   {"cushionAmount", String},
                   {"monthlyPayment", String},
                   {"discretionaryAmount", String}},
    .children =
        lines({"jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"},
              columns::A),
    .defaults = Defaults::All,
};

} // namespace velmora
