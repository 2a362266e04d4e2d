// Writes a legacy settlement statement for the Wine suite, which opens it
// through the DLL: the product reads this format but never writes it.
//
//   make_legacy_deal FILE
#include "support/legacy_writer.h"

#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    velmora::HudRecord deal;
    deal.version = 1601;
    deal.fileNo = "2004-0311";
    deal.lines["n104"].text = "Settlement charges to borrower";
    deal.lines["n104"].amount = "1412.75";
    std::ofstream out(argv[1], std::ios::binary);
    out << velmora::testing::hudFile(deal);
    return out ? 0 : 1;
}
