#include "sections/statement_sections.h"

#include "sections/party_sections.h"

namespace velmora {

using enum PropertyKind;
namespace c = columns;

// Every child of a statement block is created for a new document, in the
// order of its vocabulary.

const SectionTable section100Table{
    .caption = "Gross amount due from borrower",
    .properties = {{"n101", String}, {"n102", String}, {"n120", Double}, {"n102Option", Long}},
    .children = lineRange("n", 104, 105, c::A) + lineRange("n", 106, 108, c::B) +
                lineRange("n", 109, 112, c::A),
    .defaults = Defaults::All,
};

const SectionTable section200Table{
    .caption = "Amount Paid By or In Behalf of Borrower and Adjustments",
    .properties = {{"n201", String},
                   {"n201Option", Long},
                   {"nAmtTo701", String},
                   {"nAmtTo702", String},
                   {"nAmtTo704", String},
                   {"nAmtTo501", String},
                   {"nAmtToTrust", String},
                   {"n202", String},
                   {"n203", String},
                   {"n220", Double},
                   {"n203Option", Long}},
    .children = lineRange("n", 204, 209, c::C) + lineRange("n", 210, 212, c::B) +
                lineRange("n", 213, 219, c::A),
    .defaults = Defaults::All,
};

const SectionTable section400Table{
    .caption = "Gross amount due to Seller",
    .properties = {{"n420", Double}, {"n402", String}},
    .children = lineRange("n", 403, 405, c::A) + lineRange("n", 406, 408, c::B) +
                lineRange("n", 409, 412, c::A),
    .defaults = Defaults::All,
};

const SectionTable section500Table{
    .caption = "",
    .properties = {{"n520", Double}, {"n501", String}, {"n503", String}},
    .children = lineRange("n", 504, 505, c::D) + lineRange("n", 506, 509, c::A) +
                lineRange("n", 510, 512, c::B) + lineRange("n", 513, 519, c::A),
    .defaults = Defaults::All,
};

// The caption's spelling is what stored documents and hosts carry.
const SectionTable section700Table{
    .caption = "Total Sales/Brokers Commision",
    .properties = {{"calculate", Long}, {"s700Price", String, "0"}},
    .children =
        lines({"price"}, c::G) + lineRange("n", 701, 702, c::C) + lineRange("n", 703, 704, c::E),
    .defaults = Defaults::All,
};

const SectionTable section800Table{
    .caption = "Item payable in connection with loan",
    .properties = {{"n801Option", Long}, {"n802Option", Long}, {"n812Option", Long}},
    .children =
        lineRange("n", 801, 802, c::F) + lineRange("n", 803, 813, c::E) + moreLines("more", c::E),
    .defaults = Defaults::All,
};

const SectionTable section900Table{
    .caption = "Item Required by lender to be paid in advance",
    .properties = {{"n901IncludeBothDates", Long}},
    .children = lines({"n901"}, c::L) + lineRange("n", 902, 904, c::H) + lines({"n905"}, c::E) +
                moreLines("more", c::E),
    .defaults = Defaults::All,
};

const SectionTable section1000Table{
    .caption = "Reserve deposited with lender",
    .properties = {{"n1008Flag", Long}},
    .children = lineRange("n", 1001, 1007, c::I) + lines({"n1008"}, c::E),
    .defaults = Defaults::All,
};

const SectionTable section1100Table{
    .caption = "Title charges",
    .properties = {},
    .children = lineRange("n", 1101, 1113, c::E) + moreLines("more", c::E),
    .defaults = Defaults::All,
};

const SectionTable section1200Table{
    .caption = "Government Recording and Transfer charges",
    .properties = {},
    .children = lines({"n1201"}, c::J) + lineRange("n", 1202, 1203, c::K) +
                lineRange("n", 1204, 1205, c::E) + moreLines("more", c::E),
    .defaults = Defaults::All,
};

const SectionTable section1300Table{
    .caption = "Additional Settlement charges",
    .properties = {},
    .children = lineRange("n", 1301, 1307, c::E) + moreLines("more", c::E),
    .defaults = Defaults::All,
};

const SectionTable section1400Table{
    .caption = "",
    .properties = {{"settlementAgent", String},
                   {"settlementDate", Date},
                   {"borrowerFund", Double},
                   {"sellerFund", Double},
                   {"PrintcertonCurPage", Long}},
    .children = {section("borrowers", makeNode<CNameAddress>),
                 section("sellers", makeNode<CNameAddress>)},
    .defaults = Defaults::All,
};

// Lines 1501 to 1515 have set C, but the open list of block 1500 has set E.
const SectionTable section1500Table{
    .caption = "",
    .properties = {{"n1520", Double}},
    .children = lineRange("n", 1501, 1515, c::C) + moreLines("more", c::E),
    .defaults = Defaults::All,
};

const SectionTable section1600Table{
    .caption = "",
    .properties = {{"amount", String}, {"cash", String}, {"n1604", Double}},
    .children = {},
    .defaults = Defaults::None,
};

} // namespace velmora
