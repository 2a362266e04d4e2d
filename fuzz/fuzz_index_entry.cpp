// Any bytes as one file of an archive, read for the index: an XML document
// loaded, a legacy deal converted in memory, or no deal, whichever the first
// bytes say. The file is readable and held by no one, so an entry marked
// "unreadable" means that the reading threw (a fault that the index's catch
// would otherwise hide as a file to try again).
#include "scratch_folder.h"

#include "index/deal_reading.h"
#include "platform/file_stamp.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <variant>

using namespace velmora;
using namespace velmora::fuzzing;

namespace {

std::string textOf(const index::FieldValue& value) {
    const std::string* text = std::get_if<std::string>(&value);
    return text ? *text : std::string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ScratchFolder& scratch = freshScratchFolder();
    const std::string path = scratch.file("deal");
    writeWholeFile(path, asText(data, size));
    const std::optional<FileStamp> stamp = fileStamp(path);
    if (!stamp)
        std::abort();
    const std::optional<index::IndexEntry> entry = index::readIndexEntry(path, "deal", *stamp);
    if (entry && textOf(entry->values[index::Field::Status]) == "unreadable") {
        std::fprintf(stderr, "a readable file was reported unreadable: %s\n",
                     textOf(entry->values[index::Field::Reason]).c_str());
        std::abort();
    }
    return 0;
}
