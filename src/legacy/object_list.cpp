#include "legacy/object_list.h"

#include "legacy/archive_reader.h"

namespace velmora {
namespace {

constexpr std::uint32_t kNullTag = 0x0000;
constexpr std::uint32_t kNewClassTag = 0xFFFF;
constexpr std::uint32_t kClassTagBit = 0x8000;
constexpr std::uint32_t kBigIndexTag = 0x7FFF;
constexpr std::uint32_t kBigClassBit = 0x80000000;
constexpr std::uint32_t kCountEscape = 0xFFFF;
constexpr std::uint32_t kClassSchema = 0;
constexpr std::size_t kMaxClassNameLength = 63;

template <typename T> constexpr const char* classNameOf();
template <> constexpr const char* classNameOf<CAddress>() {
    return "CAddress";
}
template <> constexpr const char* classNameOf<CAddTBS>() {
    return "CAddTBS";
}

std::size_t textSize(const CAddress& a) {
    return a.name1.size() + a.name2.size() + a.street.size() + a.state.size() + a.city.size() +
           a.zip.size() + a.sign1.size() + a.sign2.size();
}

std::size_t textSize(const CAddTBS& line) {
    return line.text.size() + line.payor.size() + line.borrowerFund.size() + line.sellerFund.size();
}

bool isKnownClass(const std::string& name) {
    return name == "CDate" || name == "CSubDate" || name == "CAddress" || name == "CAddTBS";
}

} // namespace

template <typename T> std::vector<T> ObjectTable::readList(ArchiveReader& in) {
    std::uint32_t count = in.u16();
    if (count == kCountEscape)
        count = in.u32();
    if (in.failed())
        return {};
    // Every element takes at least its two-byte tag.
    if (count > in.remaining() / 2) {
        in.failPastEnd();
        return {};
    }
    std::vector<T> elements;
    for (std::uint32_t i = 0; i < count && !in.failed(); ++i)
        readElement(in, elements);
    if (in.failed())
        return {};
    return elements;
}

template <typename T> void ObjectTable::readElement(ArchiveReader& in, std::vector<T>& out) {
    const std::uint32_t tag = in.u16();
    if (in.failed() || tag == kNullTag)
        return;
    if (tag == kNewClassTag) {
        if (readNewClass(in))
            readObjectOfClass(in, static_cast<std::uint32_t>(entries_.size()), out);
        return;
    }
    if (tag & kClassTagBit) {
        readObjectOfClass(in, tag & ~kClassTagBit, out);
        return;
    }
    if (tag != kBigIndexTag) {
        appendReference(in, tag, out);
        return;
    }
    const std::uint32_t big = in.u32();
    if (big & kBigClassBit)
        readObjectOfClass(in, big & ~kBigClassBit, out);
    else
        appendReference(in, big, out);
}

bool ObjectTable::readNewClass(ArchiveReader& in) {
    const std::uint32_t schema = in.u16();
    const std::uint32_t nameLength = in.u16();
    if (in.failed() || schema != kClassSchema || nameLength > kMaxClassNameLength) {
        in.fail();
        return false;
    }
    std::string name = in.bytes(nameLength);
    if (in.failed() || !isKnownClass(name)) {
        in.fail();
        return false;
    }
    entries_.push_back(ClassEntry{std::move(name)});
    return true;
}

template <typename T>
void ObjectTable::readObjectOfClass(ArchiveReader& in, std::uint32_t classIndex,
                                    std::vector<T>& out) {
    if (classIndex == 0 || classIndex > entries_.size()) {
        in.fail();
        return;
    }
    const auto* entry = std::get_if<ClassEntry>(&entries_[classIndex - 1]);
    if (!entry || entry->name != classNameOf<T>()) {
        in.fail();
        return;
    }
    T object = T::read(in);
    if (in.failed())
        return;
    entries_.emplace_back(object);
    out.push_back(std::move(object));
}

template <typename T>
void ObjectTable::appendReference(ArchiveReader& in, std::uint32_t objectIndex,
                                  std::vector<T>& out) {
    if (objectIndex == 0 || objectIndex > entries_.size()) {
        in.fail();
        return;
    }
    const T* object = std::get_if<T>(&entries_[objectIndex - 1]);
    const std::size_t size = object ? textSize(*object) : 0;
    if (!object || size > copyBudget_) {
        in.fail();
        return;
    }
    copyBudget_ -= size;
    out.push_back(*object);
}

template std::vector<CAddress> ObjectTable::readList<CAddress>(ArchiveReader&);
template std::vector<CAddTBS> ObjectTable::readList<CAddTBS>(ArchiveReader&);

} // namespace velmora
