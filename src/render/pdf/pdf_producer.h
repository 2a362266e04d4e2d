// The mark of the PDFs this tool prints: its name as the Producer of the
// PDF's document information. The browser writes a Producer of its own, so
// the mark is set by an incremental update appended to the browser's bytes (a
// new version of the information dictionary, a cross-reference section for
// it and a trailer), which every reader applies and which leaves the
// browser's bytes as they were.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::render::pdf {

// `pdf` with the update that makes `producer` its Producer, the other entries
// of its information dictionary kept; none when its last update is not a
// classic cross-reference table and trailer naming an information dictionary,
// as Chromium writes them. `producer` is printable ASCII without parentheses
// or backslashes.
std::optional<std::string> withProducer(std::string_view pdf, std::string_view producer);

// Whether the last update of a PDF makes `producer` its Producer. `tail`
// holds the last bytes of the file, from its offset `tailStart` on; that
// update must lie wholly within them. Bytes that are no PDF, or a PDF whose
// last update does not read, are not.
bool producedBy(std::string_view tail, std::size_t tailStart, std::string_view producer);

} // namespace velmora::render::pdf
