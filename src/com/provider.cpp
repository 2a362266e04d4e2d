#include "com/provider.h"

#include "document/hud_document.h"
#include "tree/node_operations.h"

#include <new>
#include <optional>
#include <stdexcept>

namespace velmora {
namespace {

// Runs one operation; memory exhaustion and platform failures end the call
// with their HRESULT. Operations assign their out-values last, so an
// exception leaves them as the caller passed them.
template <typename Operation> HResult guarded(Operation&& operation) {
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        return kE_OUTOFMEMORY;
    } catch (const std::exception&) {
        return kE_UNEXPECTED;
    }
}

template <typename T, typename U> void assignIf(T* out, const std::optional<U>& value) {
    if (out && value)
        *out = static_cast<T>(*value);
}

template <typename T, typename U> void assign(T* out, U value) {
    if (out)
        *out = static_cast<T>(value);
}

} // namespace

HudProvider::HudProvider() : root_(std::make_unique<CHudDocument>(document_types::kHud)) {}

HudProvider::~HudProvider() = default;

HResult HudProvider::readHUD(const std::string& path, int* retVal) {
    return guarded([&] {
        if (!root_)
            return kE_FAIL;
        assign(retVal, root_->load(path));
        return kS_OK;
    });
}

HResult HudProvider::setDocumentType(const std::string& type) {
    return guarded([&] {
        if (!root_)
            return kE_FAIL;
        root_->setDocumentType(type);
        return kS_OK;
    });
}

HResult HudProvider::writeHUD(const std::string& path, int* retVal) {
    return guarded([&] {
        if (!root_) {
            assign(retVal, -1);
            return kE_FAIL;
        }
        assign(retVal, root_->save(path));
        return kS_OK;
    });
}

HResult HudProvider::getNodeValue(const std::string& uri, std::string* value) {
    return guarded([&] {
        assignIf(value, velmora::getNodeValue(root_.get(), uri));
        return kS_OK;
    });
}

HResult HudProvider::getNodePropertyValue(const std::string& uri, const std::string& propertyName,
                                          std::string* value) {
    return guarded([&] {
        assignIf(value, velmora::getNodePropertyValue(root_.get(), uri, propertyName));
        return kS_OK;
    });
}

HResult HudProvider::setNodePropertyValue(const std::string& uri, const std::string& propertyName,
                                          const std::string& value, int* retVal) {
    return guarded([&] {
        assign(retVal, velmora::setNodePropertyValue(root_.get(), uri, propertyName, value));
        return kS_OK;
    });
}

HResult HudProvider::setNodePropertyByCriterion(const std::string& uri,
                                                const std::string& criterion,
                                                const std::string& propertyName,
                                                const std::string& value, int* retVal) {
    return guarded([&] {
        assign(retVal, velmora::setNodePropertyByCriterion(root_.get(), uri, criterion,
                                                           propertyName, value));
        return kS_OK;
    });
}

HResult HudProvider::isNodeExist(const std::string& uri, long* value) {
    return guarded([&] {
        assign(value, velmora::isNodeExist(root_.get(), uri));
        return kS_OK;
    });
}

HResult HudProvider::createNode(const std::string& nodeName, const std::string& parentUri,
                                std::string* newName) {
    return guarded([&] {
        assignIf(newName, velmora::createNode(root_.get(), nodeName, parentUri));
        return kS_OK;
    });
}

HResult HudProvider::getChildNodeCount(const std::string& nodeUri, int* count) {
    return guarded([&] {
        assignIf(count, velmora::getChildNodeCount(root_.get(), nodeUri));
        return kS_OK;
    });
}

HResult HudProvider::getChildNodeByIndex(const std::string& parentUri, int index,
                                         std::string* value) {
    return guarded([&] {
        assignIf(value, velmora::getChildNodeByIndex(root_.get(), parentUri, index));
        return kS_OK;
    });
}

HResult HudProvider::findChildNodeByProperty(const std::string& parentUri,
                                             const std::string& propertyName,
                                             const std::string& valueToFind,
                                             std::string* nodeString) {
    return guarded([&] {
        assignIf(nodeString, velmora::findChildNodeByProperty(root_.get(), parentUri, propertyName,
                                                              valueToFind));
        return kS_OK;
    });
}

HResult HudProvider::removeChildNode(const std::string& parentUri, const std::string& nodeName,
                                     const std::string& criterion, int* retVal) {
    return guarded([&] {
        assign(retVal, velmora::removeChildNode(root_.get(), parentUri, nodeName, criterion));
        return kS_OK;
    });
}

HResult HudProvider::isXMLFileFormat(const std::string& filePath, int* retVal) {
    return guarded([&] {
        if (!root_)
            return kE_FAIL;
        assign(retVal, root_->isXmlFile(filePath) ? 1 : 0);
        return kS_OK;
    });
}

HResult HudProvider::Dispose() {
    root_.reset();
    return kS_OK;
}

HResult HudProvider::ApplyFileLock(long lock) {
    return guarded([&] {
        if (!root_)
            return kS_OK;
        if (lock != 0)
            root_->applyLock(root_->lockedPath);
        else
            root_->releaseLock();
        return kS_OK;
    });
}

HResult HudProvider::initHUDDocument() {
    return guarded([&] {
        if (root_)
            root_->initDocument();
        return kS_OK;
    });
}

} // namespace velmora
