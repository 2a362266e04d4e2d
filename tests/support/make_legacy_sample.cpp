// Builds the legacy deals that `velmora demo` converts, a statement and a
// refinance statement, with the test-only archive writer, and writes them as
// a C++ source that embeds their bytes: the product never writes the legacy
// format itself. Their totals add up, as a closing agent's would.
#include "support/legacy_writer.h"

#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

using velmora::CAddress;
using velmora::CSubDate;
using velmora::LegacyLine;

LegacyLine charge(const char* text, const char* borrower, const char* seller = "") {
    LegacyLine line;
    line.text = text;
    line.borrowerFund = borrower;
    line.sellerFund = seller;
    return line;
}

// A purchase of 189,000.00 with a 151,200.00 loan: line 1400 is the sum of
// the charges, 120, 220, 420 and 520 the sums of their blocks, 303 and 603
// what is left.
velmora::HudRecord statement() {
    velmora::HudRecord r;
    r.version = 1601;
    r.taxDays = 180;
    r.loanOption = 3;
    r.fileNo = "2004-0311";
    r.loanNo = "99-40117";
    r.borrower = CAddress{"Ren\xE9 Caldwell", "", "7 Ferry Road", "ME", "Bath", "04530", "", ""};
    r.seller = CAddress{"Harbor Lane Trust", "", "1 Dock Square", "ME", "Bath", "04530", "", ""};
    r.property = CAddress{"", "", "22 Shipyard Way", "ME", "Bath", "04530", "", ""};
    r.agent = CAddress{"Kennebec Title Co.", "", "40 Front Street", "ME", "Bath", "04530", "", ""};
    r.lenderText = "First Coastal Bank\n100 Water Street, Bath ME";
    r.placeOfSettlement = "40 Front Street, Bath ME";
    r.settlementDate = CSubDate{{2004, 3, 11}, 0};
    r.n101 = "189000.00";
    r.lines["n106"].from = CSubDate{{2004, 3, 11}, 0};
    r.lines["n106"].to = CSubDate{{2004, 6, 30}, 0};
    r.lines["n106"].amount = "1092.40";
    r.n120 = 194009.95;
    r.n201 = "5000.00";
    r.n202 = "151200.00";
    r.n220 = 156200.00;
    r.n303 = 37809.95;
    r.lines["n406"] = r.lines["n106"];
    r.n420 = 190092.40;
    r.lines["n504"].payor = "Coastal Savings";
    r.lines["n504"].amount = "88231.40";
    r.n520 = 100137.20;
    r.n603 = 89955.20;
    r.priceAt = 6;
    r.priceAmount = "11340.00";
    r.lines["n701"].text = "Bath Harbor Realty";
    r.lines["n701"].amount = "6804.00";
    r.lines["n702"].text = "Ferry Point Homes";
    r.lines["n702"].amount = "4536.00";
    r.lines["n703"] = charge("Commission paid at settlement", "", "11340.00");
    r.lines["n801"] = charge("Loan origination fee", "1512.00", "0.00");
    r.lines["n801"].percentage = 1.0;
    r.lines["n803"] = charge("Appraisal fee", "325.00");
    r.lines["n901"] = charge("", "456.75");
    r.lines["n901"].from = CSubDate{{2004, 3, 11}, 0};
    r.lines["n901"].to = CSubDate{{2004, 4, 1}, 0};
    r.lines["n901"].at = 21.75;
    r.lines["n1101"] = charge("Settlement or closing fee", "350.00", "150.00");
    r.lines["n1108"] = charge("Title insurance", "780.00");
    r.lines["n1108"].payor = "Kennebec Title Co.";
    r.lines["n1201"] = charge("", "78.00");
    r.lines["n1201"].deed = "20.00";
    r.lines["n1201"].mortgage = "58.00";
    r.lines["n1203"] = charge("", "415.80", "415.80");
    r.lines["n1203"].deed = "831.60";
    r.n1400BorrowerFund = 3917.55;
    r.n1400SellerFund = 11905.80;
    r.settlementAgent = "Kennebec Title Co.";
    r.n1400SettlementDate = CSubDate{{2004, 3, 11}, 0};
    r.ledger.presence = 1;
    r.ledger.deposits[0] = {"3/11/2004", "Ren\xE9 Caldwell", "Cash to close", "", "  37809.95"};
    r.ledger.checks[0] = {"3/11/2004", "Coastal Savings", "Payoff", "1001", "88231.40"};
    r.ledger.checks[1] = {"3/11/2004", "Harbor Lane Trust", "Proceeds", "1002", "89955.20"};
    r.borrowers.push_back(
        CAddress{"Ada Caldwell", "", "7 Ferry Road", "ME", "Bath", "04530", "", ""});
    return r;
}

// A refinance of 180,000.00: the old loan and the county's taxes are paid
// off, the charges taken, and 1604 is what the borrower receives.
velmora::RefinanceRecord refinance() {
    velmora::RefinanceRecord r;
    r.version = 1502;
    r.loanNo = "RF-2015-0424";
    r.borrower = CAddress{
        "Sam Okafor", "Lee Okafor", "31 Tide Mill Road, Brunswick ME 04011", "", "", "", "", ""};
    r.property = CAddress{"", "", "31 Tide Mill Road, Brunswick ME 04011", "", "", "", "", ""};
    r.agent =
        CAddress{"Kennebec Title Co.", "", "40 Front Street, Bath ME 04530", "", "", "", "", ""};
    r.lenderText = "Casco Mortgage Company\n2 Canal Plaza, Portland ME 04101";
    r.lot = "Map 12, Lot 40";
    r.placeOfSettlement = "40 Front Street, Bath ME";
    r.settlementDate = CSubDate{{2015, 4, 20}, 0};
    r.fundingDate = CSubDate{{2015, 4, 24}, 0};
    r.n1400SettlementDate = CSubDate{{2015, 4, 20}, 0};
    r.settlementAgent = "Kennebec Title Co.";
    r.n801Option = 1;
    r.n802Option = 1;
    r.lines["n801"] = charge("Loan origination fee", "1800.00");
    r.lines["n801"].percentage = 1.0;
    r.lines["n803"] = charge("Appraisal fee", "425.00");
    r.lines["n804"] = charge("Credit report", "30.00");
    r.lines["n901"] = charge("", "172.62");
    r.lines["n901"].from = CSubDate{{2015, 4, 24}, 0};
    r.lines["n901"].to = CSubDate{{2015, 5, 1}, 0};
    r.lines["n901"].at = 24.66;
    r.lines["n903"] = charge("Hazard insurance premium", "780.00");
    r.lines["n903"].months = 1;
    r.lines["n1001"] = charge("", "195.00");
    r.lines["n1001"].months = 3;
    r.lines["n1001"].at = 65.00;
    r.lines["n1004"] = charge("", "840.00");
    r.lines["n1004"].months = 4;
    r.lines["n1004"].at = 210.00;
    r.lines["n1101"] = charge("Settlement or closing fee", "400.00");
    r.lines["n1108"] = charge("Title insurance", "690.00");
    r.lines["n1108"].payor = "Kennebec Title Co.";
    r.lines["n1201"] = charge("Recording fees", "85.00");
    r.n1400BorrowerFund = 5417.62;
    r.lines["n1501"].text = "Payoff of first mortgage loan to Coastal Savings";
    r.lines["n1501"].amount = "152480.31";
    r.lines["n1502"].text = "2014 property taxes to the Town of Brunswick";
    r.lines["n1502"].amount = "2310.00";
    r.n1520 = 154790.31;
    r.n1600Amount = "180000.00";
    r.n1604 = 19792.07;
    return r;
}

void writeArray(std::ostream& out, const char* name, const std::string& bytes) {
    out << "extern const unsigned char " << name << "[] = {";
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out << (i % 16 == 0 ? "\n    " : " ")
            << static_cast<unsigned>(static_cast<unsigned char>(bytes[i])) << ',';
    out << "\n};\nextern const std::size_t " << name << "Size = " << bytes.size() << ";\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_legacy_sample OUTPUT.cpp\n";
        return 2;
    }
    std::ofstream out(argv[1]);
    out << "// Generated by make_legacy_sample at build time.\n#include <cstddef>\n\n"
        << "namespace velmora::cli {\n";
    writeArray(out, "kLegacySample", velmora::testing::hudFile(statement()));
    writeArray(out, "kLegacyRefinanceSample", velmora::testing::refinanceFile(refinance()));
    out << "} // namespace velmora::cli\n";
    return out ? 0 : 1;
}
