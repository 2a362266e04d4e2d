// HudProvider: the 17 operations that are the whole external interface.
//
// One provider owns one document root, created with the provider (document
// type "hud") and destroyed by Dispose or with the provider. Strings are
// 8-bit in and out; the COM binding converts them from and to BSTRs. Every
// out-value is a pointer that is written only where a result is produced:
// where no node is found, the caller's value stays as it was. Methods that
// preset a result of -1 write it even then.
//
// Failures inside the engine are results (-1), never HRESULTs. An HRESULT
// other than S_OK comes only from a missing root (E_FAIL, for readHUD,
// setDocumentType, writeHUD and isXMLFileFormat), exhausted memory
// (E_OUTOFMEMORY) or an unexpected platform failure (E_UNEXPECTED); out-values
// are then untouched.
//
// A provider is used by one thread at a time; separate providers share nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace velmora {

class CHudDocument;

using HResult = std::int32_t;
inline constexpr HResult kS_OK = 0;
inline constexpr HResult kE_FAIL = static_cast<HResult>(0x80004005);
inline constexpr HResult kE_OUTOFMEMORY = static_cast<HResult>(0x8007000E);
inline constexpr HResult kE_UNEXPECTED = static_cast<HResult>(0x8000FFFF);

class HudProvider {
public:
    HudProvider();
    // Destroys the root, which releases its file lock.
    ~HudProvider();
    HudProvider(const HudProvider&) = delete;
    HudProvider& operator=(const HudProvider&) = delete;

    HResult readHUD(const std::string& path, int* retVal);
    HResult setDocumentType(const std::string& type);
    HResult writeHUD(const std::string& path, int* retVal);
    HResult getNodeValue(const std::string& uri, std::string* value);
    HResult getNodePropertyValue(const std::string& uri, const std::string& propertyName,
                                 std::string* value);
    HResult setNodePropertyValue(const std::string& uri, const std::string& propertyName,
                                 const std::string& value, int* retVal);
    HResult setNodePropertyByCriterion(const std::string& uri, const std::string& criterion,
                                       const std::string& propertyName, const std::string& value,
                                       int* retVal);
    HResult isNodeExist(const std::string& uri, long* value);
    HResult createNode(const std::string& nodeName, const std::string& parentUri,
                       std::string* newName);
    HResult getChildNodeCount(const std::string& nodeUri, int* count);
    HResult getChildNodeByIndex(const std::string& parentUri, int index, std::string* value);
    HResult findChildNodeByProperty(const std::string& parentUri, const std::string& propertyName,
                                    const std::string& valueToFind, std::string* nodeString);
    HResult removeChildNode(const std::string& parentUri, const std::string& nodeName,
                            const std::string& criterion, int* retVal);
    HResult isXMLFileFormat(const std::string& filePath, int* retVal);
    HResult Dispose();
    HResult ApplyFileLock(long lock);
    HResult initHUDDocument();

    // The root, or nullptr after Dispose; for tools built on the provider.
    CHudDocument* document() const { return root_.get(); }

private:
    std::unique_ptr<CHudDocument> root_;
};

} // namespace velmora
