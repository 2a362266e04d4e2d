// Writes a legacy settlement statement for the Wine suites, which open it
// through the DLL and velmora.exe: the product reads this format but never
// writes it. The file number and the borrower's name, when given, are
// written as they are: Windows-1252 bytes, as the format holds them.
//
//   make_legacy_deal FILE [FILE_NUMBER BORROWER]
#include "support/legacy_writer.h"

#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4)
        return 2;
    velmora::HudRecord deal;
    deal.version = 1601;
    deal.fileNo = argc == 4 ? argv[2] : "2004-0311";
    if (argc == 4)
        deal.borrower.name1 = argv[3];
    deal.lines["n104"].text = "Settlement charges to borrower";
    deal.lines["n104"].amount = "1412.75";
    std::ofstream out(argv[1], std::ios::binary);
    out << velmora::testing::hudFile(deal);
    return out ? 0 : 1;
}
