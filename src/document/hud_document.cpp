#include "document/hud_document.h"

#include "sections/companion_forms.h"
#include "sections/party_sections.h"
#include "sections/state_charges.h"
#include "sections/statement_sections.h"

namespace velmora {

using enum PropertyKind;

const SectionTable hudDocumentTable{
    .caption = "",
    .properties = {{"document_type", String},
                   {"versionNumber", String},
                   {"e_SellerTin", String},
                   {"h_AgentTin", String},
                   {"f_LenderName", String},
                   {"f_LenderAddress", String},
                   {"placeOfSettlement", String},
                   {"i_settlementDate", Date, OleDate::invalid()},
                   {"fundingDate", Date, OleDate::invalid()},
                   {"g_lot_Caption", String, "Lot"},
                   {"g_lot", String},
                   {"g_Block_Caption", String, "Block"},
                   {"g_Block", String},
                   {"n603", Double},
                   {"n303", Double}},
    .children = {section("tax_data", makeNode<CTaxData>),
                 section("b", makeNode<CLoanInfo>),
                 section("d", makeNode<CNameAddress>),
                 section("d_borrowers", makeNode<CAddressList>),
                 section("e", makeNode<CNameAddress>),
                 section("e_sellers", makeNode<CAddressList>),
                 section("g", makeNode<CNameAddress>),
                 section("h", makeNode<CNameAddress>),
                 section("n100", makeNode<CSection100>),
                 section("n200", makeNode<CSection200>),
                 section("n400", makeNode<CSection400>),
                 section("n500", makeNode<CSection500>),
                 section("n700", makeNode<CSection700>),
                 section("n800", makeNode<CSection800>),
                 section("n900", makeNode<CSection900>),
                 section("n1000", makeNode<CSection1000>),
                 section("n1100", makeNode<CSection1100>),
                 section("n1200", makeNode<CSection1200>),
                 section("n1300", makeNode<CSection1300>),
                 section("n1400", makeNode<CSection1400>),
                 section("n1500", makeNode<CSection1500>),
                 section("n1600", makeNode<CSection1600>),
                 section("initialEscrowDisclosure", makeNode<CEscrowDisclosure>),
                 section("ledger", makeNode<CLedger>),
                 section("form1099", makeNode<CForm1099>),
                 section("form1099_1", makeNode<CForm1099Multi>),
                 section("checkPrinting", makeNode<CCheckPrinting>),
                 section("mortgageClosing", makeNode<CMortgageClosing>),
                 section("titleClosing", makeNode<CTitleClosing>),
                 section("StateCharges1201", makeNode<CStateCharges>),
                 section("StChargesOtherFeesCol", makeNode<COtherFeesCollection>),
                 section("secondHud", makeNode<CHudDocument>)},
    .defaults = Defaults::None,
};

namespace {

// The sections of a new document, in order. No section exists for the
// summary lines 300 and 600; the companion forms are made only on demand.
constexpr const char* kStandardSections[] = {
    "tax_data",
    "b",
    "d",
    "d_borrowers",
    "e",
    "e_sellers",
    "g",
    "h",
    "n100",
    "n200",
    "n400",
    "n500",
    "n700",
    "n800",
    "n900",
    "n1000",
    "n1100",
    "n1200",
    "n1300",
    "n1400",
    "n1500",
    "n1600",
    "initialEscrowDisclosure",
    "StateCharges1201",
    "StChargesOtherFeesCol",
};

} // namespace

CHudDocument::CHudDocument(const std::string& documentType) : TableSection("HUD", nullptr) {
    applyDocumentType(documentType);
}

CHudDocument::CHudDocument(std::string elementName, CNode* parent)
    : TableSection(std::move(elementName), parent) {
    applyDocumentType(document_types::kHud);
}

CHudDocument::~CHudDocument() {
    releaseLock();
}

void CHudDocument::applyDocumentType(std::string_view documentType) {
    setDocumentType(documentType);
    rename("Hud document");
    setDescription("Hud xml document");
}

void CHudDocument::initDocument() {
    const std::string type = documentType();
    if (type != document_types::kHud && type != document_types::kHud1a)
        return;
    // Header records and StChargesOtherFeesCol have no default children, so
    // asking every new section for them adds exactly the blocks' lines, the
    // escrow months and the three state charge instruments.
    for (const char* name : kStandardSections) {
        if (CSectionNode* section = addChild(name))
            section->createDefaultChildren();
    }
}

std::string CHudDocument::documentType() const {
    return std::string(stringOf(*schema().find("document_type")));
}

void CHudDocument::setDocumentType(std::string_view documentType) {
    storeString(*schema().find("document_type"), documentType);
}

} // namespace velmora
