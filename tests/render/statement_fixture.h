// Statements for the render tests, made with the engine and saved where the
// tool reads them, and the checks made on the page the tool writes.
#pragma once

#include "cli/cli_runner.h"
#include "document/hud_document.h"
#include "tree/node_operations.h"
#include "tree/xml_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace velmora::testing {

struct Setting {
    std::string path;
    std::string property;
    std::string value;
};

// `settings` applied in order to `root`; nodes a path names that do not
// exist yet are created on the way.
inline void applySettings(CHudDocument& root, const std::vector<Setting>& settings) {
    for (const Setting& setting : settings) {
        std::string parent;
        for (std::size_t start = 0; start < setting.path.size();) {
            const std::size_t slash = std::min(setting.path.find('/', start), setting.path.size());
            const std::string path = setting.path.substr(0, slash);
            if (!resolveUri(&root, path))
                createNode(&root, setting.path.substr(start, slash - start), parent);
            parent = path;
            start = slash + 1;
        }
        ASSERT_EQ(setNodePropertyValue(&root, setting.path, setting.property, setting.value), 0)
            << setting.path << " " << setting.property;
    }
}

// A document of `type` with its standard sections and `settings` applied.
inline void writeStatement(const std::string& file, const std::string& type,
                           const std::vector<Setting>& settings) {
    CHudDocument root(type);
    root.initDocument();
    applySettings(root, settings);
    ASSERT_EQ(saveXmlFile(root, file), 0);
}

// A new `element` in the list at `list`, with `values` (property, text) set.
inline void addEntry(CHudDocument& root, const std::string& list, const std::string& element,
                     const std::vector<std::pair<std::string, std::string>>& values) {
    const std::optional<std::string> name = createNode(&root, element, list);
    ASSERT_TRUE(name) << list;
    for (const auto& [property, value] : values)
        ASSERT_EQ(setNodePropertyByCriterion(&root, list, "name=" + *name, property, value), 0);
}

// The lines of a purchase filled across the whole form, every value unique on
// the page; the companion forms are left to the tests that want them.
inline std::vector<Setting> purchaseSettings() {
    return {
        {"b", "fileNo_6", "F-2008-17"},
        {"d", "name1", "Dana <&\"> Whitlock"},
        {"d_borrowers/address", "name1", "Riley Whitlock"},
        {"e", "name1", "Morgan Estates"},
        {"", "e_SellerTin", "12-3456777"},
        {"", "f_LenderName", "Harbor Bank"},
        {"g", "street", "14 Quarry Road"},
        {"", "g_lot", "LOT-9"},
        {"h", "name1", "Velmora Title"},
        {"", "placeOfSettlement", "12 Harbor Street"},
        {"", "i_settlementDate", "9/16/2008"},
        {"n100", "n101", "250000.00"},
        {"n100/n104", "description", "Extra fixtures"},
        {"n100/n104", "amount", "1104.00"},
        {"n100/n106", "from", "7/1/2008"},
        {"n100/n106", "to", "9/15/2008"},
        {"n100/n106", "amount", "1106.00"},
        {"n100", "n120", "252210.5"},
        {"n200", "n201", "25000.00"},
        {"n200/n204", "payor", "Payor 204"},
        {"n200/n204", "amount", "1204.00"},
        {"n200", "n220", "26204"},
        {"", "n303", "226006.5"},
        {"n400", "n402", "1402.00"},
        {"n400/n409", "description", "Seller credit"},
        {"n400/n409", "amount", "1409.00"},
        {"n400", "n420", "251402"},
        {"n500/n504", "payor", "Coastal Savings"},
        {"n500/n504", "amount", "1504.00"},
        {"n500", "n520", "1504.5"},
        {"", "n603", "249897.5"},
        {"n700", "s700Price", "250001.00"},
        {"n700/price", "at", "6"},
        {"n700/price", "amount", "15000.00"},
        {"n700/n701", "description", "Broker One"},
        {"n700/n701", "amount", "1701.00"},
        {"n800/n801", "percentage", "1.5"},
        {"n800/n801", "borrowerFund", "1801.00"},
        {"n800/n801", "sellerFund", "2801.00"},
        {"n800/more/extra", "description", "Courier fee"},
        {"n800/more/extra", "borrowerFund", "1899.00"},
        {"n900/n901", "from", "9/20/2008"},
        {"n900/n901", "to", "10/1/2008"},
        {"n900/n901", "at", "12.25"},
        {"n900/n901", "borrowerFund", "1901.00"},
        {"n1000/n1001", "months", "37"},
        {"n1000/n1001", "at", "88.50"},
        {"n1200/n1201", "deed", "1201.10"},
        {"n1200/n1201", "mortgage", "1201.20"},
        {"n1200/n1201", "release", "1201.30"},
        {"n1300/more/survey", "description", "Second survey"},
        {"n1300/more/survey", "sellerFund", "2399.00"},
        {"n1400", "borrowerFund", "5000.5"},
        {"n1400", "sellerFund", "6000.25"},
        {"n1400/borrowers", "name1", "Signing Borrower"},
        {"n1400", "settlementAgent", "Agent Smith"},
    };
}

inline std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The page from its body on: the title in its head names the file and the
// first borrower again.
inline std::string bodyOf(const std::string& html) {
    const std::size_t body = html.find("<body");
    return body == std::string::npos ? std::string() : html.substr(body);
}

// Each text of each track ("text|text|...") appears exactly once in `html`,
// and every track in the order given.
inline void expectOnceInOrder(const std::string& html, std::initializer_list<std::string> tracks) {
    for (const std::string& track : tracks) {
        std::size_t previous = 0;
        std::istringstream texts(track);
        for (std::string text; std::getline(texts, text, '|');) {
            EXPECT_EQ(countOf(html, text), 1u) << text;
            const std::size_t at = html.find(text);
            EXPECT_TRUE(at != std::string::npos && at >= previous) << text << " out of order";
            previous = at == std::string::npos ? previous : at;
        }
    }
}

} // namespace velmora::testing
