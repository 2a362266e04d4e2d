// Any bytes as a deal shown as its statement page, whichever the first bytes
// say, as `velmora render` shows it: a document in the XML format opened
// through a provider, or a legacy deal read from its own file and converted
// in memory, with the mark of the file it came from. Every page
// is a whole HTML page and carries no script: the view writes none, so one
// there is a text of the input that reached the page unescaped.
#include "answering_dialogs.h"
#include "scratch_folder.h"

#include "batch/deal_in_memory.h"
#include "batch/file_kind.h"
#include "com/provider.h"
#include "document/hud_document.h"
#include "render/statement_view.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

using namespace velmora;
using namespace velmora::fuzzing;

namespace {

bool holdsScript(std::string_view page) {
    constexpr std::string_view kScript = "<script";
    const auto sameLetter = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    };
    return std::search(page.begin(), page.end(), kScript.begin(), kScript.end(), sameLetter) !=
           page.end();
}

void requireSoundPage(const CHudDocument& document, const render::PageSource& source = {}) {
    const std::string page = render::renderStatement(document, source);
    if (!page.starts_with("<!DOCTYPE html>") || !page.ends_with("</html>\n")) {
        std::fprintf(stderr, "the statement page is not a whole HTML page\n");
        std::abort();
    }
    if (holdsScript(page)) {
        std::fprintf(stderr, "the statement page holds a script: a text went unescaped\n");
        std::abort();
    }
}

void showXmlDocument(std::string_view bytes) {
    const std::string path = freshScratchFolder().file("deal.xml");
    writeWholeFile(path, bytes);
    // A document of a newer version is refused with a message, answered here.
    AlternatingDialog dialog;
    HudProvider provider;
    int read = -1;
    provider.readHUD(path, &read);
    if (read == 0)
        requireSoundPage(*provider.document());
}

void showLegacyDeal(std::string_view bytes) {
    const std::string path = freshScratchFolder().file("deal.hud");
    writeWholeFile(path, bytes);
    const batch::DealInMemory deal = batch::readDealInMemory(path);
    if (deal.reading == batch::DealReading::Read)
        requireSoundPage(*deal.document, {.legacyFile = "deal.hud"});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = asText(data, size);
    const batch::FileKind kind = batch::kindOfFile(bytes.substr(0, batch::kKindBytes)).kind;
    switch (kind) {
    case batch::FileKind::XmlDocument:
        showXmlDocument(bytes);
        break;
    case batch::FileKind::Statement:
    case batch::FileKind::Refinance:
        showLegacyDeal(bytes);
        break;
    case batch::FileKind::UnconvertibleDeal:
    case batch::FileKind::NotADeal:
        break;
    }
    return 0;
}
