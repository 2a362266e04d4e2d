// Companion forms kept beside the statement: the closing ledger, the checks
// to print, the two 1099 forms and the mortgage and title closing records.
// A new document has none of them; they come from a file or a client. Their
// dates are stored text unless a table says date.
#pragma once

#include "sections/section_table.h"

namespace velmora {

extern const SectionTable ledgerTable;
extern const SectionTable depositListTable;
extern const SectionTable withdrawalListTable;
extern const SectionTable transactionListTable;
extern const SectionTable depositTable;
extern const SectionTable withdrawalTable;
extern const SectionTable transactionTable;
extern const SectionTable checkPrintingTable;
extern const SectionTable checkTable;
extern const SectionTable form1099Table;
extern const SectionTable form1099MultiTable;
extern const SectionTable transferorListTable;
extern const SectionTable transferorTable;
extern const SectionTable mortgageClosingTable;
extern const SectionTable titleClosingTable;

using CLedger = TableSection<ledgerTable>;
using CDepositList = TableSection<depositListTable>;
using CWithdrawalList = TableSection<withdrawalListTable>;
using CTransactionList = TableSection<transactionListTable>;
using CDeposit = TableSection<depositTable>;
using CWithdrawal = TableSection<withdrawalTable>;
using CTransaction = TableSection<transactionTable>;
using CCheckPrinting = TableSection<checkPrintingTable>;
using CCheck = TableSection<checkTable>;
using CForm1099 = TableSection<form1099Table>;
using CForm1099Multi = TableSection<form1099MultiTable>;
using CTransferorList = TableSection<transferorListTable>;
using CTransferor = TableSection<transferorTable>;
using CMortgageClosing = TableSection<mortgageClosingTable>;
using CTitleClosing = TableSection<titleClosingTable>;

} // namespace velmora
