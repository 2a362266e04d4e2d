// The operations clients reach by path: path resolution, criteria and each
// operation's result, including the cases that must produce nothing.
#include "tree/criterion.h"
#include "tree/node_operations.h"
#include "tree/test_nodes.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {
class NodeOperations : public ::testing::Test {
protected:
    NodeOperations() {
        inner = ledger->addChild("box");
        first = ledger->addChild("deposit");
        second = ledger->addChild("deposit");
        ledger->addChild("check");
        first->setPropertyValue("amount", "100");
        first->setPropertyValue("memo", "rent");
        second->setPropertyValue("amount", "100");
        second->setPropertyValue("memo", "fee");
        second->setPropertyValue("total", "12.5");
    }

    TestContainer root;
    CSectionNode* ledger = root.addChild("box");
    CSectionNode* inner;
    CSectionNode* first;
    CSectionNode* second;
};

TEST_F(NodeOperations, PathForms) {
    const std::pair<const char*, CSectionNode*> found[] = {
        {"", &root}, {"//box///deposit//", first}, {"box/box", inner}};
    // Readers holding a const tree walk the same paths.
    const CSectionNode& readOnly = root;
    for (const auto& [path, expected] : found) {
        EXPECT_EQ(resolveUri(&root, path), expected) << path;
        EXPECT_EQ(resolveUri(&readOnly, path), expected) << path;
        EXPECT_EQ(isNodeExist(&root, path), 1) << path;
    }
    for (const char* path : {"box/missing/deposit", "Box", "HUD/box", "box/box/deposit"}) {
        EXPECT_EQ(resolveUri(&root, path), nullptr) << path;
        EXPECT_EQ(resolveUri(&readOnly, path), nullptr) << path;
        EXPECT_EQ(isNodeExist(&root, path), 0) << path;
    }
    EXPECT_EQ(resolveUri(static_cast<CSectionNode*>(nullptr), ""), nullptr);
    EXPECT_EQ(resolveUri(static_cast<const CSectionNode*>(nullptr), "box"), nullptr);
}

TEST_F(NodeOperations, CriteriaParseTermsAndMatchExactTexts) {
    using Terms = std::map<std::string, std::string, std::less<>>;
    EXPECT_EQ(Criterion::parse("||memo=a=b||flag|").terms(),
              (Terms{{"flag", "flag"}, {"memo", "a=b"}}));
    EXPECT_EQ(Criterion::parse("memo=first|memo=second").terms(), (Terms{{"memo", "first"}}));
    EXPECT_TRUE(Criterion::parse("|||").empty());
    EXPECT_TRUE(Criterion::parse("memo=rent|amount=100").matches(*first));
    EXPECT_FALSE(Criterion::parse("amount=100|memo=rent").matches(*second));
    EXPECT_FALSE(Criterion::parse("memo=Rent").matches(*first));
    EXPECT_TRUE(Criterion::parse("total=12.5").matches(*second));
    EXPECT_FALSE(Criterion::parse("total=12.50").matches(*second));
    EXPECT_FALSE(Criterion::parse("|").matches(*first));
    // A term without "=" compares the property it names with its own name.
    first->setPropertyValue("memo", "memo");
    EXPECT_TRUE(Criterion::parse("memo").matches(*first));
    // An unknown key reads empty, so an empty value matches it.
    EXPECT_TRUE(Criterion::parse("color=").matches(*second));
}

TEST_F(NodeOperations, PropertiesAndNodeTextsByPath) {
    EXPECT_EQ(getNodePropertyValue(&root, "box/deposit", "memo"), "rent");
    EXPECT_EQ(getNodePropertyValue(&root, "box/deposit", "unknown"), "");
    EXPECT_EQ(getNodePropertyValue(&root, "box/nothing", "memo"), std::nullopt);
    EXPECT_EQ(setNodePropertyValue(&root, "box/deposit", "count", "-40000"), 0);
    EXPECT_EQ(first->getPropertyValue("count"), "-40000");
    EXPECT_EQ(setNodePropertyValue(&root, "box/deposit", "unknown", "1"), -1);
    EXPECT_EQ(setNodePropertyValue(&root, "box/nothing", "memo", "x"), -1);
    EXPECT_EQ(getNodeValue(&root, "box/deposit"), first->nodeValue());
    EXPECT_EQ(getNodeValue(&root, "nothing"), std::nullopt);

    EXPECT_EQ(setNodePropertyByCriterion(&root, "box", "amount=100", "memo", "paid"), 0);
    EXPECT_EQ(first->getPropertyValue("memo"), "paid");
    EXPECT_EQ(setNodePropertyByCriterion(&root, "box", "memo=none", "memo", "x"), -1);
    EXPECT_EQ(setNodePropertyByCriterion(&root, "box", "", "memo", "x"), -1);
    EXPECT_EQ(second->getPropertyValue("memo"), "fee");

    EXPECT_EQ(findChildNodeByProperty(&root, "box", "memo", "fee"), second->nodeValue());
    EXPECT_EQ(findChildNodeByProperty(&root, "box", "name", "deposit2"), second->nodeValue());
    EXPECT_EQ(findChildNodeByProperty(&root, "box", "total", "12.50"), std::nullopt);
}

TEST_F(NodeOperations, CreateCountIndexAndRemove) {
    EXPECT_EQ(createNode(&root, "deposit", "/box/"), "deposit3");
    EXPECT_EQ(createNode(&root, "unknown", "box"), std::nullopt);
    EXPECT_EQ(createNode(&root, "deposit", "nothing"), std::nullopt);
    EXPECT_EQ(getChildNodeCount(&root, "box"), 5u);
    EXPECT_EQ(getChildNodeCount(&root, "box/check"), 0u);
    EXPECT_EQ(getChildNodeCount(&root, "nothing"), std::nullopt);
    EXPECT_EQ(getChildNodeByIndex(&root, "box", 0), inner->nodeValue());
    EXPECT_EQ(getChildNodeByIndex(&root, "box", 4), ledger->children().back()->nodeValue());
    for (const long long index : {5LL, -1LL, 1LL << 32})
        EXPECT_EQ(getChildNodeByIndex(&root, "box", index), std::nullopt) << index;
    ledger->removeChild(ledger->children().back().get());
    EXPECT_EQ(removeChildNode(&root, "box", "deposit", ""), -1);
    EXPECT_EQ(removeChildNode(&root, "box", "check", "memo=fee"), -1);
    EXPECT_EQ(removeChildNode(&root, "nothing", "deposit", "memo=fee"), -1);
    EXPECT_EQ(ledger->childCount(), 4u);
    EXPECT_EQ(removeChildNode(&root, "box", "deposit", "amount=100"), 0);
    EXPECT_EQ(resolveUri(&root, "box/deposit"), second);
    EXPECT_EQ(removeChildNode(&root, "box", "deposit", "name=deposit2"), 0);
    EXPECT_EQ(resolveUri(&root, "box/deposit"), nullptr);
    EXPECT_EQ(createNode(&root, "deposit", "box"), "deposit1");
}

} // namespace
} // namespace velmora::testing
