// Object lists of legacy archives: collections of CAddress or CAddTBS objects
// in the archive library's persistent-object format.
//
// Each element is a u16 tag: 0 for a null element; 0xFFFF for an object of a
// class not seen before (schema, name length and class name follow); 0x8000
// | index for an object of a known class; a smaller tag for a reference back
// to an object already read; 0x7FFF when a u32 follows that holds either an
// object index or, with its top bit set, a class index. Classes and objects
// share one index counter across all lists of a file, starting at 1.
#pragma once

#include "legacy/legacy_values.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace velmora {

class ArchiveReader;

// The classes and objects read so far from one archive, by index.
class ObjectTable {
public:
    // Back-references copy an object; their copies may add up to no more than
    // `copyBudget` bytes of text (the file's size), so a small hostile file
    // cannot ask for a huge amount of memory.
    explicit ObjectTable(std::size_t copyBudget) : copyBudget_(copyBudget) {}

    // Reads a list whose elements must be of class T (CAddress or CAddTBS).
    // Null elements are left out. A malformed list fails the reader.
    template <typename T> std::vector<T> readList(ArchiveReader& in);

private:
    struct ClassEntry {
        std::string name;
    };
    using Entry = std::variant<ClassEntry, CAddress, CAddTBS>;

    // The object an element tag stands for, appended to `out` unless null.
    template <typename T> void readElement(ArchiveReader& in, std::vector<T>& out);
    template <typename T>
    void readObjectOfClass(ArchiveReader& in, std::uint32_t classIndex, std::vector<T>& out);
    template <typename T>
    void appendReference(ArchiveReader& in, std::uint32_t objectIndex, std::vector<T>& out);
    bool readNewClass(ArchiveReader& in);

    std::vector<Entry> entries_; // entries_[i] has index i + 1
    std::size_t copyBudget_;
};

} // namespace velmora
