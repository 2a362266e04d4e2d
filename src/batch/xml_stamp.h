// What an XML document says of itself: its document type and format
// version, for the record of a file a run finds already converted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::batch {

struct XmlStamp {
    std::string type;          // "hud", "hud1a"; empty when the file names none
    std::uint32_t version = 0; // 201; 0 when the file names none a number reads from
};

// Loaded whole in memory; nothing is held, asked or written. None when the
// document does not load.
std::optional<XmlStamp> xmlStampOf(const std::string& path);

} // namespace velmora::batch
