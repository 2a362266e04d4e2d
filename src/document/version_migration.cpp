// Migration of version-200 statement files: their 1099-S data sit in one
// "form1099" child; the current layout is "form1099_1" with a list of
// transferors. Each lookup or creation that fails ends the migration there,
// keeping what was done.
#include "document/hud_document.h"
#include "platform/guid.h"

#include <initializer_list>
#include <utility>

namespace velmora {
namespace {

using Renames = std::initializer_list<std::pair<const char*, const char*>>;

void copyStrings(CSectionNode& from, CSectionNode& to, Renames renames) {
    for (const auto& [source, target] : renames) {
        std::string value;
        from.getString(source, value);
        to.putString(target, value);
    }
}

constexpr Renames kAddressFields = {{"name1", "name1"}, {"name2", "name2"}, {"street", "street"},
                                    {"city", "city"},   {"state", "state"}, {"zip", "zip"}};

} // namespace

void CHudDocument::upgradeVersion200() {
    CSectionNode* old = findChild("form1099");
    if (!old)
        return;
    CSectionNode* form = addChild("form1099_1");
    if (!form)
        return;
    copyStrings(*old, *form,
                {{"address_legal", "propertyAddress"},
                 {"address3", "propertyLot"},
                 {"address4", "propertyBlock"},
                 {"filer_phone", "filer_phone"},
                 {"filer_fedral_id", "filer_fedral_id"},
                 {"closing_date", "closing_date"},
                 {"buyers_tax", "sellersTaxCredit"},
                 {"gross_proceed", "gross_proceed"}});
    std::string street1;
    std::string street2;
    old->getString("address1", street1);
    old->getString("address2", street2);
    form->putString("propertyStreet", street1 + " " + street2);

    if (CSectionNode* oldFiler = old->findChild("filer_address")) {
        if (CSectionNode* filer = form->addChild("filer_address"))
            copyStrings(*oldFiler, *filer, kAddressFields);
    }
    CSectionNode* transferors = form->addChild("transferors");
    CSectionNode* transferor = transferors ? transferors->addChild("transferor") : nullptr;
    if (!transferor)
        return;
    copyStrings(*old, *transferor,
                {{"account_no", "account_no"},
                 {"transferor_id", "transferor_id"},
                 {"gross_proceed", "grossAllocation"}});
    // The old option text becomes the exchange option's number.
    std::string option;
    old->getString("transferor_option4", option);
    transferor->setPropertyValue("exchangeOption", option);
    for (int i = 1; i <= 7; ++i) {
        const std::string name = "check" + std::to_string(i);
        std::int32_t value = 0;
        old->getLong(name, value);
        transferor->putLong(name, value);
    }
    if (CSectionNode* oldTransferor = old->findChild("transferor_address"))
        copyStrings(*oldTransferor, *transferor, kAddressFields);
    transferor->putString("transferorGuid", newGuidText());
}

} // namespace velmora
