// The 17 methods of IHudProvider: BSTRs in, the portable provider's call, the
// results out. No exception leaves a method.
#include "com/win32/bstr_text.h"
#include "com/win32/provider_object.h"
#include "com/win32/unset_value.h"

#include <new>

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

// Runs a call that may produce a text, and hands it out as a new BSTR only
// when it did; `out` keeps the caller's value otherwise.
template <typename Call> HRESULT textResult(BSTR* out, Call&& call) noexcept {
    return guarded([&]() -> HRESULT {
        std::string text = unsetText();
        const HRESULT hr = call(&text);
        if (FAILED(hr) || isUnset(text) || !out)
            return hr;
        BSTR result = bstrFromAnsi(text);
        if (!result)
            return E_OUTOFMEMORY;
        *out = result;
        return hr;
    });
}

using A = std::string;

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
    return textResult(value,
                      [&](A* text) { return provider_.getNodeValue(ansiFromBstr(uri), text); });
}

HRESULT STDMETHODCALLTYPE ProviderObject::getNodePropertyValue(BSTR uri, BSTR propertyName,
                                                               BSTR* value) {
    return textResult(value, [&](A* text) {
        return provider_.getNodePropertyValue(ansiFromBstr(uri), ansiFromBstr(propertyName), text);
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
    return textResult(newName, [&](A* text) {
        return provider_.createNode(ansiFromBstr(nodeName), ansiFromBstr(parentUri), text);
    });
}

HRESULT STDMETHODCALLTYPE ProviderObject::getChildNodeCount(BSTR nodeUri, INT* count) {
    return guarded([&] { return provider_.getChildNodeCount(ansiFromBstr(nodeUri), count); });
}

HRESULT STDMETHODCALLTYPE ProviderObject::getChildNodeByIndex(BSTR parentUri, INT index,
                                                              BSTR* value) {
    return textResult(value, [&](A* text) {
        return provider_.getChildNodeByIndex(ansiFromBstr(parentUri), index, text);
    });
}

HRESULT STDMETHODCALLTYPE ProviderObject::findChildNodeByProperty(BSTR parentUri, BSTR propertyName,
                                                                  BSTR valueToFind,
                                                                  BSTR* nodeString) {
    return textResult(nodeString, [&](A* text) {
        return provider_.findChildNodeByProperty(
            ansiFromBstr(parentUri), ansiFromBstr(propertyName), ansiFromBstr(valueToFind), text);
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
