// Header records of the statement: loan data, names and addresses of the
// parties, the tax period, and the initial escrow account disclosure.
#pragma once

#include "sections/section_table.h"

namespace velmora {

extern const SectionTable nameAddressTable;
extern const SectionTable addressListTable;
extern const SectionTable loanInfoTable;
extern const SectionTable taxDataTable;
extern const SectionTable escrowDisclosureTable;

// One name-and-address block: the parties d, e, g, h, the borrowers and
// sellers of block 1400, list entries and the addresses of the 1099 forms.
using CNameAddress = TableSection<nameAddressTable>;
// d_borrowers and e_sellers: further parties beside d and e.
using CAddressList = TableSection<addressListTable>;
using CLoanInfo = TableSection<loanInfoTable>;
using CTaxData = TableSection<taxDataTable>;
using CEscrowDisclosure = TableSection<escrowDisclosureTable>;

} // namespace velmora
