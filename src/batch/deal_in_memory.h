// A deal file read whole into a document in memory, whatever its format: an
// XML document loaded, a legacy deal converted. Nothing is ever written, asked
// or locked, so that an archive can be read as it stands, also while hosts
// have its files open: the index reads every deal this way, and a legacy deal
// is shown from its own file without being converted.
#pragma once

#include "batch/file_kind.h"
#include "document/hud_document.h"

#include <memory>
#include <string>

namespace velmora::batch {

enum class DealReading {
    Read,
    NotADeal,
    Unreadable,    // the file cannot be read now; it may be later
    Damaged,       // a deal that does not read
    Unconvertible, // a legacy deal of a kind no reader converts
};

struct DealInMemory {
    DealReading reading = DealReading::NotADeal;
    KindOfFile kind;
    // The document, when read.
    std::unique_ptr<CHudDocument> document;
    // Why it was not read, in words, without the path ("the file ends inside
    // a field that starts at byte 7"); empty when read and for a file that is
    // no deal.
    std::string reason;
};

DealInMemory readDealInMemory(const std::string& path);

} // namespace velmora::batch
