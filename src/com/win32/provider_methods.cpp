// The 17 methods of IHudProvider: BSTRs in, the portable provider's call, the
// results out. No exception leaves a method.
//
// The methods with a text result call the node operations themselves, which
// say by an empty optional that there is none: a host may put any character
// in a text, NUL included, so no text can stand for "no result".
#include "com/win32/bstr_text.h"
#include "com/win32/provider_object.h"
#include "document/hud_document.h"
#include "tree/node_operations.h"

#include <new>
#include <optional>

namespace velmora::com {
namespace {

template <typename Call> HRESULT guarded(Call&& call) noexcept {
    try {
        return static_cast<HRESULT>(call());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// Runs an operation that may produce a text, and hands it out as a new BSTR
// only when it did; `out` keeps the caller's value otherwise, and on failure.
template <typename Operation> HRESULT textResult(BSTR* out, Operation&& operation) noexcept {
    return guarded([&]() -> HRESULT {
        const std::optional<std::string> text = operation();
        if (!text || !out)
            return S_OK;
        BSTR result = bstrFromAnsi(*text);
        if (!result)
            return E_OUTOFMEMORY;
        *out = result;
        return S_OK;
    });
}

} // namespace

HRESULT STDMETHODCALLTYPE ProviderObject::readHUD(BSTR path, INT* retVal) {
    return guarded([&] { return provider_.readHUD(ansiFromBstr(path), retVal); });
}

HRESULT STDMETHODCALLTYPE ProviderObject::setDocumentType(BSTR type) {
    return guarded([&] { return provider_.setDocumentType(ansiFromBstr(type)); });
}

HRESULT STDMETHODCALLTYPE ProviderObject::writeHUD(BSTR path, INT* retVal) {
    return guarded([&] { return provider_.writeHUD(ansiFromBstr(path), retVal); });
}

HRESULT STDMETHODCALLTYPE ProviderObject::getNodeValue(BSTR uri, BSTR* value) {
    return textResult(
        value, [&] { return velmora::getNodeValue(provider_.document(), ansiFromBstr(uri)); });
}

HRESULT STDMETHODCALLTYPE ProviderObject::getNodePropertyValue(BSTR uri, BSTR propertyName,
                                                               BSTR* value) {
    return textResult(value, [&] {
        return velmora::getNodePropertyValue(provider_.document(), ansiFromBstr(uri),
                                             ansiFromBstr(propertyName));
    });
}

HRESULT STDMETHODCALLTYPE ProviderObject::setNodePropertyValue(BSTR uri, BSTR propertyName,
                                                               BSTR value, INT* retVal) {
    return guarded([&] {
        return provider_.setNodePropertyValue(ansiFromBstr(uri), ansiFromBstr(propertyName),
                                              ansiFromBstr(value), retVal);
    });
}

HRESULT STDMETHODCALLTYPE ProviderObject::setNodePropertyByCriterion(BSTR uri, BSTR criterion,
                                                                     BSTR propertyName, BSTR value,
                                                                     INT* retVal) {
    return guarded([&] {
        return provider_.setNodePropertyByCriterion(ansiFromBstr(uri), ansiFromBstr(criterion),
                                                    ansiFromBstr(propertyName), ansiFromBstr(value),
                                                    retVal);
    });
}

HRESULT STDMETHODCALLTYPE ProviderObject::isNodeExist(BSTR uri, LONG* value) {
    return guarded([&] { return provider_.isNodeExist(ansiFromBstr(uri), value); });
}

HRESULT STDMETHODCALLTYPE ProviderObject::createNode(BSTR nodeName, BSTR parentUri, BSTR* newName) {
    return textResult(newName, [&] {
        return velmora::createNode(provider_.document(), ansiFromBstr(nodeName),
                                   ansiFromBstr(parentUri));
    });
}

HRESULT STDMETHODCALLTYPE ProviderObject::getChildNodeCount(BSTR nodeUri, INT* count) {
    return guarded([&] { return provider_.getChildNodeCount(ansiFromBstr(nodeUri), count); });
}

HRESULT STDMETHODCALLTYPE ProviderObject::getChildNodeByIndex(BSTR parentUri, INT index,
                                                              BSTR* value) {
    return textResult(value, [&] {
        return velmora::getChildNodeByIndex(provider_.document(), ansiFromBstr(parentUri), index);
    });
}

HRESULT STDMETHODCALLTYPE ProviderObject::findChildNodeByProperty(BSTR parentUri, BSTR propertyName,
                                                                  BSTR valueToFind,
                                                                  BSTR* nodeString) {
    return textResult(nodeString, [&] {
        return velmora::findChildNodeByProperty(provider_.document(), ansiFromBstr(parentUri),
                                                ansiFromBstr(propertyName),
                                                ansiFromBstr(valueToFind));
    });
}

HRESULT STDMETHODCALLTYPE ProviderObject::removeChildNode(BSTR parentUri, BSTR nodeName,
                                                          BSTR criterion, INT* retVal) {
    return guarded([&] {
        return provider_.removeChildNode(ansiFromBstr(parentUri), ansiFromBstr(nodeName),
                                         ansiFromBstr(criterion), retVal);
    });
}

HRESULT STDMETHODCALLTYPE ProviderObject::isXMLFileFormat(BSTR filePath, INT* retVal) {
    return guarded([&] { return provider_.isXMLFileFormat(ansiFromBstr(filePath), retVal); });
}

HRESULT STDMETHODCALLTYPE ProviderObject::Dispose() {
    return guarded([&] { return provider_.Dispose(); });
}

HRESULT STDMETHODCALLTYPE ProviderObject::ApplyFileLock(LONG lock) {
    return guarded([&] { return provider_.ApplyFileLock(lock); });
}

HRESULT STDMETHODCALLTYPE ProviderObject::initHUDDocument() {
    return guarded([&] { return provider_.initHUDDocument(); });
}

} // namespace velmora::com
