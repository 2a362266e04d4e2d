// Who a deal is between and what it is about, as boxes D to H of the
// statement hold it: the parties of both sides, the property, the lender and
// the settlement agent. Whatever shows deals (the archive index, the
// statement page) reads them here, so that all of them agree on where each
// lives in the document. Texts are tree text, as stored.
#pragma once

#include <string>
#include <vector>

namespace velmora {

class CHudDocument;
class CSectionNode;

// A name-and-address block; a part it leaves empty, or a block that is not
// there, gives the empty text.
struct AddressParts {
    std::string name1;
    std::string name2;
    std::string street;
    std::string city;
    std::string state;
    std::string zip;
};

AddressParts addressPartsOf(const CSectionNode* block);

struct DealView {
    // Box D's party when the block holds anything, then every entry of
    // `d_borrowers`, in their order.
    std::vector<AddressParts> borrowers;
    // Box E's party and the entries of `e_sellers`, likewise.
    std::vector<AddressParts> sellers;
    AddressParts property; // box G
    std::string lenderName;
    // Converted files repeat the lender's name at the start of the address
    // text; this is the address without it.
    std::string lenderAddress;
    AddressParts agentBox; // box H
    // Who line 1400 names as the settlement agent, else the first name of
    // box H.
    std::string settlementAgent;
};

DealView readDealView(const CHudDocument& document);

} // namespace velmora
