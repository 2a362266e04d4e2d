#include "batch/xml_stamp.h"

#include "document/hud_document.h"
#include "tree/xml_document.h"

#include <charconv>

namespace velmora::batch {

std::optional<XmlStamp> xmlStampOf(const std::string& path) {
    CHudDocument document(document_types::kHud);
    document.putString("document_type", "");
    if (loadXmlFile(document, path) != 0)
        return std::nullopt;
    XmlStamp stamp;
    document.getString("document_type", stamp.type);
    std::string version;
    document.getString("versionNumber", version);
    const char* end = version.data() + version.size();
    if (std::from_chars(version.data(), end, stamp.version).ptr != end)
        stamp.version = 0;
    return stamp;
}

} // namespace velmora::batch
