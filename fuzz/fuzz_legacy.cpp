// Any bytes as a legacy archive, read by both legacy readers; a record that a
// reader accepts is converted and written as a document, which must then load
// and save back to the same bytes.
#include "answering_dialogs.h"
#include "round_trip_check.h"
#include "scratch_folder.h"

#include "legacy/archive_reader.h"
#include "legacy/hud_converter.h"
#include "legacy/hud_reader.h"
#include "legacy/refinance_converter.h"
#include "legacy/refinance_reader.h"

#include <cstddef>
#include <cstdint>

using namespace velmora;
using namespace velmora::fuzzing;

namespace {

template <typename Record, typename Reader, typename Converter>
void readAndConvert(const std::uint8_t* data, std::size_t size, Reader read, Converter convert,
                    const ScratchFolder& scratch, const std::string& name) {
    ArchiveReader in(std::vector<unsigned char>(data, data + size));
    Record record;
    if (read(in, record) != ReadResult::Read)
        return;
    const std::string converted = scratch.file(name);
    if (convert(record, converted) == 0)
        requireStableRoundTrip(converted, scratch.file("resaved-" + name));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ScratchFolder& scratch = freshScratchFolder();
    // Saving a converted document may ask whether to write the current version.
    AlternatingDialog dialog;
    readAndConvert<HudRecord>(data, size, readHudRecord, convertHudFile, scratch, "hud.xml");
    readAndConvert<RefinanceRecord>(data, size, readRefinanceRecord, convertRefinanceFile, scratch,
                                    "hud1a.xml");
    return 0;
}
