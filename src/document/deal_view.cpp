#include "document/deal_view.h"

#include "document/hud_document.h"
#include "tree/held_value.h"

namespace velmora {
namespace {

// The stored text of string property `name`; empty for a node that is not
// there or lacks it.
std::string textAt(const CSectionNode* node, std::string_view name) {
    const PropertyDef* def = node ? node->schema().find(name) : nullptr;
    if (!def || def->kind != PropertyKind::String)
        return {};
    return std::string(node->stringOf(*def));
}

std::vector<AddressParts> partiesOf(const CHudDocument& document, std::string_view party,
                                    std::string_view list) {
    std::vector<AddressParts> parties;
    const CSectionNode* first = document.findChild(party);
    if (first && holdsAnyValue(*first))
        parties.push_back(addressPartsOf(first));
    if (const CSectionNode* further = document.findChild(list)) {
        for (const auto& entry : further->children())
            parties.push_back(addressPartsOf(entry.get()));
    }
    return parties;
}

bool isSeparator(char c) {
    return c == '\n' || c == '\r' || c == ',' || c == ';' || c == ' ' || c == '\t';
}

// Only a whole name counts: "Harbor Bank" does not start "Harbor Banking
// Trust, 1 Quay".
std::string withoutName(const std::string& name, std::string address) {
    if (name.empty() || !address.starts_with(name))
        return address;
    const std::size_t end = name.size();
    if (end < address.size() && !isSeparator(address[end]))
        return address;
    std::size_t start = end;
    while (start < address.size() && isSeparator(address[start]))
        ++start;
    return address.substr(start);
}

} // namespace

AddressParts addressPartsOf(const CSectionNode* block) {
    return {textAt(block, "name1"), textAt(block, "name2"), textAt(block, "street"),
            textAt(block, "city"),  textAt(block, "state"), textAt(block, "zip")};
}

DealView readDealView(const CHudDocument& document) {
    DealView deal;
    deal.borrowers = partiesOf(document, "d", "d_borrowers");
    deal.sellers = partiesOf(document, "e", "e_sellers");
    deal.property = addressPartsOf(document.findChild("g"));
    deal.lenderName = textAt(&document, "f_LenderName");
    deal.lenderAddress = withoutName(deal.lenderName, textAt(&document, "f_LenderAddress"));
    deal.agentBox = addressPartsOf(document.findChild("h"));
    deal.settlementAgent = textAt(document.findChild("n1400"), "settlementAgent");
    if (deal.settlementAgent.empty())
        deal.settlementAgent = deal.agentBox.name1;
    return deal;
}

} // namespace velmora
