// What the document tests compare: the boxes a dialog showed, the texts of the
// boxes opening and converting show, and small legacy files to convert.
#pragma once

#include "recording_dialog.h"
#include "support/legacy_writer.h"

#include <string>
#include <tuple>
#include <vector>

namespace velmora::testing {

using Shown = std::tuple<std::string, std::string, unsigned>;
using Messages = std::vector<Shown>;

inline Messages shownBy(const RecordingDialog& dialog) {
    Messages shown;
    for (const ShownMessage& m : dialog.shown())
        shown.emplace_back(m.caption, m.text, m.flags);
    return shown;
}

inline const Shown kConvertQuestion{
    "Warning",
    "This file is from older version and will be converted to current version format. Converted "
    "file will not be compatible with older version. Continue?",
    0x24};
inline const Shown kBackupFailed{
    "Error", "The backup copy could not be made; the file was not converted.", 0x10};
inline const Shown kLoadFailed{"", "Load document failed", 0};

// A statement of the latest version and a refinance statement of `version`,
// each with one field to find after the conversion.
inline HudRecord statementRecord() {
    HudRecord r;
    r.version = 1601;
    r.fileNo = "F-6";
    return r;
}
inline RefinanceRecord refinanceRecord(std::uint32_t version) {
    RefinanceRecord r;
    r.version = version;
    r.loanNo = "L-7";
    return r;
}

} // namespace velmora::testing
