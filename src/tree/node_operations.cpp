#include "tree/node_operations.h"

#include "tree/criterion.h"
#include "tree/section_node.h"

namespace velmora {

namespace {

// One walk for both overloads: finding a child never changes the tree.
template <typename Node> Node* walkPath(Node* root, std::string_view path) {
    Node* node = root;
    while (node && !path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view segment = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (!segment.empty())
            node = node->findChild(segment);
    }
    return node;
}

} // namespace

CSectionNode* resolveUri(CSectionNode* root, std::string_view path) {
    return walkPath(root, path);
}

const CSectionNode* resolveUri(const CSectionNode* root, std::string_view path) {
    return walkPath(root, path);
}

std::optional<std::string> getNodeValue(CSectionNode* root, std::string_view path) {
    CSectionNode* node = resolveUri(root, path);
    if (!node)
        return std::nullopt;
    return node->nodeValue();
}

std::optional<std::string> getNodePropertyValue(CSectionNode* root, std::string_view path,
                                                std::string_view name) {
    CSectionNode* node = resolveUri(root, path);
    if (!node)
        return std::nullopt;
    return node->getPropertyValue(name);
}

int setNodePropertyValue(CSectionNode* root, std::string_view path, std::string_view name,
                         std::string_view value) {
    CSectionNode* node = resolveUri(root, path);
    return node ? node->setPropertyValue(name, value) : -1;
}

int setNodePropertyByCriterion(CSectionNode* root, std::string_view path,
                               std::string_view criterion, std::string_view name,
                               std::string_view value) {
    CSectionNode* node = resolveUri(root, path);
    if (!node)
        return -1;
    const Criterion parsed = Criterion::parse(criterion);
    for (const auto& child : node->children()) {
        if (parsed.matches(*child)) {
            child->setPropertyValue(name, value);
            return 0;
        }
    }
    return -1;
}

int isNodeExist(CSectionNode* root, std::string_view path) {
    return resolveUri(root, path) ? 1 : 0;
}

std::optional<std::string> createNode(CSectionNode* root, const std::string& elementName,
                                      std::string_view parentPath) {
    CSectionNode* parent = resolveUri(root, parentPath);
    if (!parent)
        return std::nullopt;
    CSectionNode* child = parent->addChild(elementName);
    if (!child)
        return std::nullopt;
    return child->getPropertyValue("name");
}

std::optional<std::size_t> getChildNodeCount(CSectionNode* root, std::string_view path) {
    CSectionNode* node = resolveUri(root, path);
    if (!node)
        return std::nullopt;
    return node->countChildren("");
}

std::optional<std::string> getChildNodeByIndex(CSectionNode* root, std::string_view parentPath,
                                               long long index) {
    CSectionNode* parent = resolveUri(root, parentPath);
    if (!parent || index < 0 || static_cast<unsigned long long>(index) >= parent->childCount())
        return std::nullopt;
    return parent->children()[static_cast<std::size_t>(index)]->nodeValue();
}

std::optional<std::string> findChildNodeByProperty(CSectionNode* root, std::string_view parentPath,
                                                   std::string_view name, std::string_view value) {
    CSectionNode* parent = resolveUri(root, parentPath);
    if (!parent)
        return std::nullopt;
    for (const auto& child : parent->children()) {
        if (child->getPropertyValue(name) == value)
            return child->nodeValue();
    }
    return std::nullopt;
}

int removeChildNode(CSectionNode* root, std::string_view parentPath, std::string_view elementName,
                    std::string_view criterion) {
    CSectionNode* parent = resolveUri(root, parentPath);
    if (!parent)
        return -1;
    const Criterion parsed = Criterion::parse(criterion);
    if (parsed.empty())
        return -1;
    for (const auto& child : parent->children()) {
        if (child->getName() == elementName && parsed.matches(*child)) {
            parent->removeChild(child.get());
            return 0;
        }
    }
    return -1;
}

} // namespace velmora
