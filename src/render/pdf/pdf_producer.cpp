#include "render/pdf/pdf_producer.h"

#include "render/pdf/pdf_syntax.h"

#include <cstdint>
#include <vector>

namespace velmora::render::pdf {
namespace {

// The shortest entry of a cross-reference table: "0 0 n" and an end of line.
constexpr std::size_t kShortestEntry = 6;
constexpr std::uint64_t kMaxGeneration = 65535;
// Offsets have ten digits in a cross-reference entry.
constexpr std::uint64_t kMaxOffset = 9'999'999'999;

struct InUse {
    std::uint64_t object = 0;
    std::uint64_t generation = 0;
    std::uint64_t offset = 0;
};

// The last update of a file: its cross-reference section, the objects it
// places and its trailer. Offsets are the file's; `text` is its tail.
struct LastUpdate {
    std::uint64_t xrefOffset = 0;
    std::vector<InUse> objects;
    Dictionary trailer;
};

class Tail {
public:
    Tail(std::string_view text, std::size_t start) : text_(text), start_(start) {}

    std::string_view text() const { return text_; }

    // Where the file's `offset` is in the tail, when it is.
    std::optional<std::size_t> at(std::uint64_t offset) const {
        if (offset < start_ || offset - start_ >= text_.size())
            return std::nullopt;
        return static_cast<std::size_t>(offset - start_);
    }

private:
    std::string_view text_;
    std::size_t start_;
};

bool keywordAt(std::string_view text, std::size_t at, std::string_view keyword) {
    return text.substr(at, keyword.size()) == keyword;
}

std::size_t skipWhite(std::string_view text, std::size_t at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\r' || text[at] == '\n'))
        ++at;
    return at;
}

// "startxref", the offset of the last cross-reference section, "%%EOF".
std::optional<std::uint64_t> lastXrefOffset(std::string_view text) {
    const std::size_t marker = text.rfind("startxref");
    if (marker == std::string_view::npos)
        return std::nullopt;
    const std::optional<WholeNumber> offset = wholeNumberAt(text, marker + 9);
    if (!offset || !keywordAt(text, skipWhite(text, offset->end), "%%EOF"))
        return std::nullopt;
    return offset->value;
}

// One subsection: its first object number and count, then one entry a line.
std::optional<std::size_t> readSubsection(std::string_view text, std::size_t at,
                                          std::vector<InUse>& objects) {
    const std::optional<WholeNumber> first = wholeNumberAt(text, at);
    const std::optional<WholeNumber> count = first ? wholeNumberAt(text, first->end) : first;
    if (!count || count->value > (text.size() - count->end) / kShortestEntry)
        return std::nullopt;
    at = count->end;
    for (std::uint64_t i = 0; i < count->value; ++i) {
        const std::optional<WholeNumber> offset = wholeNumberAt(text, at);
        const std::optional<WholeNumber> generation =
            offset ? wholeNumberAt(text, offset->end) : offset;
        if (!generation)
            return std::nullopt;
        const std::size_t type = skipBlanks(text, generation->end);
        if (type >= text.size() || (text[type] != 'n' && text[type] != 'f'))
            return std::nullopt;
        if (text[type] == 'n')
            objects.push_back({first->value + i, generation->value, offset->value});
        at = type + 1;
    }
    return at;
}

std::optional<LastUpdate> lastUpdate(const Tail& tail) {
    const std::string_view text = tail.text();
    LastUpdate update;
    const std::optional<std::uint64_t> xref = lastXrefOffset(text);
    const std::optional<std::size_t> at = xref ? tail.at(*xref) : std::nullopt;
    if (!at || !keywordAt(text, *at, "xref"))
        return std::nullopt;
    update.xrefOffset = *xref;
    std::size_t next = skipBlanks(text, *at + 4);
    while (next < text.size() && !keywordAt(text, next, "trailer")) {
        const std::optional<std::size_t> end = readSubsection(text, next, update.objects);
        if (!end)
            return std::nullopt;
        next = skipBlanks(text, *end);
    }
    if (next >= text.size())
        return std::nullopt;
    std::optional<Dictionary> trailer = readDictionary(text, next + 7);
    if (!trailer)
        return std::nullopt;
    update.trailer = std::move(*trailer);
    return update;
}

// The information dictionary the trailer names, and its object.
struct Information {
    InUse object;
    Dictionary dictionary;
};

std::optional<InUse> referenceOf(std::string_view reference) {
    const std::optional<WholeNumber> object = wholeNumberAt(reference, 0);
    const std::optional<WholeNumber> generation =
        object ? wholeNumberAt(reference, object->end) : object;
    if (!generation || skipBlanks(reference, generation->end) + 1 != reference.size() ||
        reference.back() != 'R')
        return std::nullopt;
    return InUse{object->value, generation->value, 0};
}

// "n g obj" at `at`, the object's own number and generation.
std::optional<std::size_t> objectStart(std::string_view text, std::size_t at, const InUse& object) {
    const std::optional<WholeNumber> number = wholeNumberAt(text, at);
    const std::optional<WholeNumber> generation =
        number ? wholeNumberAt(text, number->end) : number;
    if (!generation || number->value != object.object || generation->value != object.generation)
        return std::nullopt;
    const std::size_t keyword = skipBlanks(text, generation->end);
    if (!keywordAt(text, keyword, "obj"))
        return std::nullopt;
    return keyword + 3;
}

std::optional<Information> informationOf(const Tail& tail, const LastUpdate& update) {
    const std::optional<std::string_view> info = valueOf(update.trailer, "/Info");
    const std::optional<InUse> named = info ? referenceOf(*info) : std::nullopt;
    if (!named)
        return std::nullopt;
    for (const InUse& object : update.objects) {
        if (object.object != named->object || object.generation != named->generation)
            continue;
        const std::optional<std::size_t> at = tail.at(object.offset);
        const std::optional<std::size_t> body =
            at ? objectStart(tail.text(), *at, object) : std::nullopt;
        std::optional<Dictionary> dictionary =
            body ? readDictionary(tail.text(), *body) : std::nullopt;
        if (!dictionary)
            return std::nullopt;
        return Information{object, std::move(*dictionary)};
    }
    return std::nullopt;
}

std::string literal(std::string_view text) {
    return "(" + std::string(text) + ")";
}

// The entries of `dictionary` but `left`, one a line.
std::string entriesBut(const Dictionary& dictionary, std::string_view left) {
    std::string out;
    for (const DictionaryEntry& entry : dictionary.entries) {
        if (entry.key != left)
            out.append(entry.key).append(" ").append(entry.value).append("\n");
    }
    return out;
}

std::string padded(std::uint64_t value, std::size_t width) {
    const std::string digits = std::to_string(value);
    return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

// A cross-reference entry is 20 bytes: 10 digits of offset, 5 of generation.
std::string xrefEntry(std::uint64_t offset, std::uint64_t generation) {
    return padded(offset, 10) + " " + padded(generation, 5) + " n \n";
}

} // namespace

std::optional<std::string> withProducer(std::string_view pdf, std::string_view producer) {
    const Tail tail(pdf, 0);
    const std::optional<LastUpdate> update = lastUpdate(tail);
    const std::optional<Information> info = update ? informationOf(tail, *update) : std::nullopt;
    if (!info || info->object.generation > kMaxGeneration || pdf.size() >= kMaxOffset)
        return std::nullopt;
    std::string out(pdf);
    if (out.back() != '\n')
        out += '\n';
    const std::size_t objectOffset = out.size();
    out += std::to_string(info->object.object) + " " + std::to_string(info->object.generation) +
           " obj\n<<" + entriesBut(info->dictionary, "/Producer") + "/Producer " +
           literal(producer) + ">>\nendobj\n";
    const std::size_t xrefOffset = out.size();
    out += "xref\n" + std::to_string(info->object.object) + " 1\n" +
           xrefEntry(objectOffset, info->object.generation);
    out += "trailer\n<<" + entriesBut(update->trailer, "/Prev") + "/Prev " +
           std::to_string(update->xrefOffset) + ">>\nstartxref\n" + std::to_string(xrefOffset) +
           "\n%%EOF\n";
    return out;
}

bool producedBy(std::string_view tail, std::size_t tailStart, std::string_view producer) {
    const Tail bytes(tail, tailStart);
    const std::optional<LastUpdate> update = lastUpdate(bytes);
    const std::optional<Information> info = update ? informationOf(bytes, *update) : std::nullopt;
    const std::optional<std::string_view> value =
        info ? valueOf(info->dictionary, "/Producer") : std::nullopt;
    return value && *value == literal(producer);
}

} // namespace velmora::render::pdf
