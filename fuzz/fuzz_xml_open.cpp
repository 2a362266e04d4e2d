// Any bytes as a document file, opened the way a host opens one: readHUD
// (which converts a file that is not XML when the dialog agrees), the whole
// tree as text, and writeHUD to another file, which must then load and save
// back to the same bytes.
#include "answering_dialogs.h"
#include "round_trip_check.h"
#include "scratch_folder.h"

#include "com/provider.h"

#include <cstddef>
#include <cstdint>

using namespace velmora;
using namespace velmora::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ScratchFolder& scratch = freshScratchFolder();
    const std::string opened = scratch.file("deal.xml");
    const std::string saved = scratch.file("saved.xml");
    writeWholeFile(opened, asText(data, size));

    AlternatingDialog dialog;
    HudProvider provider;
    int read = -1;
    provider.readHUD(opened, &read);
    std::string text;
    provider.getNodeValue("", &text);
    int written = -1;
    provider.writeHUD(saved, &written);
    if (written == 0)
        requireStableRoundTrip(saved, scratch.file("resaved.xml"));
    return 0;
}
