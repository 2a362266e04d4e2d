// A bounded reader over the bytes of a legacy archive file.
//
// Legacy documents are a flat stream of little-endian fields with no names
// and no lengths beyond those of strings and lists, so every byte is
// untrusted: each read first checks what remains. The first failure (end of
// data inside a field, a length larger than what remains, a malformed object
// list) makes the reader "failed": later reads return zeros and empty texts
// without touching memory, and the caller checks failed() once at the end,
// where failure() says what was wrong and where. Nothing is ever allocated
// larger than the bytes that remain.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class ArchiveReader {
public:
    explicit ArchiveReader(std::vector<unsigned char> bytes);

    // The whole file at `path`; a reader that has failed when it cannot be read.
    static ArchiveReader fromFile(const std::string& path);

    std::uint32_t u16();
    std::uint32_t u32();
    double f64();
    // A length-prefixed 8-bit text, converted from the archive's code page
    // into tree text; the reader fails where a character cannot be carried.
    std::string cString();
    // `count` raw bytes (for class names).
    std::string bytes(std::size_t count);

    bool failed() const { return failed_; }
    std::size_t remaining() const { return failed_ ? 0 : data_.size() - position_; }
    // Marks the archive as malformed from the outside (e.g. a bad object
    // list), with what is wrong in words ("a list names an unknown class").
    void fail(std::string_view why);
    // The first failure in words, with the byte it was met at; empty while
    // the reader has not failed.
    const std::string& failure() const { return failure_; }

private:
    bool take(std::size_t count, const unsigned char*& start);

    std::vector<unsigned char> data_;
    std::size_t position_ = 0;
    bool failed_ = false;
    std::string failure_;
};

} // namespace velmora
