// The node operations that clients reach by path.
//
// Clients never hold nodes: they name one by a path of element names
// separated by "/", relative to the document root (see resolveUri), name a
// property by its name and pick children by criteria. Each operation takes
// the root, which may be absent (no document), and gives either a result or,
// where none can be had, std::nullopt: the caller then leaves its out-value as
// it was. Operations with a 0 / -1 result give -1 on every failure.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

class CSectionNode;

// Each segment selects the first child of that element name; runs of "/"
// count as one, leading and trailing ones are ignored, and the empty path
// names the root. None when a segment finds no child or there is no root.
CSectionNode* resolveUri(CSectionNode* root, std::string_view path);
const CSectionNode* resolveUri(const CSectionNode* root, std::string_view path);

std::optional<std::string> getNodeValue(CSectionNode* root, std::string_view path);
std::optional<std::string> getNodePropertyValue(CSectionNode* root, std::string_view path,
                                                std::string_view name);
int setNodePropertyValue(CSectionNode* root, std::string_view path, std::string_view name,
                         std::string_view value);
// 0 as soon as a child matches, whether or not it has the property.
int setNodePropertyByCriterion(CSectionNode* root, std::string_view path,
                               std::string_view criterion, std::string_view name,
                               std::string_view value);
int isNodeExist(CSectionNode* root, std::string_view path);
// The new child's display name.
std::optional<std::string> createNode(CSectionNode* root, const std::string& elementName,
                                      std::string_view parentPath);
std::optional<std::size_t> getChildNodeCount(CSectionNode* root, std::string_view path);
std::optional<std::string> getChildNodeByIndex(CSectionNode* root, std::string_view parentPath,
                                               long long index);
std::optional<std::string> findChildNodeByProperty(CSectionNode* root, std::string_view parentPath,
                                                   std::string_view name, std::string_view value);
// Removes the first child of `elementName` that matches `criterion`; an empty
// criterion matches nothing.
int removeChildNode(CSectionNode* root, std::string_view parentPath, std::string_view elementName,
                    std::string_view criterion);

} // namespace velmora
