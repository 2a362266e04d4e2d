#include "legacy/archive_reader.h"

#include "legacy/archive_code_page.h"
#include "platform/code_page.h"
#include "platform/native_path.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace velmora {

ArchiveReader::ArchiveReader(std::vector<unsigned char> bytes) : data_(std::move(bytes)) {}

ArchiveReader ArchiveReader::fromFile(const std::string& path) {
    std::ifstream in(nativePath(path), std::ios::binary);
    std::vector<unsigned char> bytes;
    if (in)
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    ArchiveReader reader(std::move(bytes));
    if (!in || in.bad()) {
        reader.failed_ = true;
        reader.failure_ = "the file cannot be read";
    }
    return reader;
}

void ArchiveReader::fail(std::string_view why) {
    if (failed_)
        return;
    failed_ = true;
    failure_ = std::string(why) + " at byte " + std::to_string(position_);
}

bool ArchiveReader::take(std::size_t count, const unsigned char*& start) {
    if (failed_)
        return false;
    if (count > data_.size() - position_) {
        fail("the file ends inside a field that starts");
        return false;
    }
    start = data_.data() + position_;
    position_ += count;
    return true;
}

std::uint32_t ArchiveReader::u16() {
    const unsigned char* p = nullptr;
    if (!take(2, p))
        return 0;
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8;
}

std::uint32_t ArchiveReader::u32() {
    const unsigned char* p = nullptr;
    if (!take(4, p))
        return 0;
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

double ArchiveReader::f64() {
    const unsigned char* p = nullptr;
    if (!take(8, p))
        return 0.0;
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | p[i];
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string ArchiveReader::cString() {
    std::uint32_t length = 0;
    {
        const unsigned char* p = nullptr;
        if (!take(1, p))
            return {};
        length = p[0];
    }
    if (length == 0xFF) {
        length = u16();
        if (length == 0xFFFF)
            length = u32();
    }
    const unsigned char* text = nullptr;
    if (!take(length, text))
        return {};
    ConvertedText converted = legacyTextToTreeText(
        std::string_view(reinterpret_cast<const char*>(text), length), archiveCodePage());
    if (!converted.carried()) {
        // Named at the byte that could not be carried, not the end of its text.
        position_ -= length - converted.failedAt;
        fail(converted.failure);
        return {};
    }
    return std::move(converted.text);
}

std::string ArchiveReader::bytes(std::size_t count) {
    const unsigned char* p = nullptr;
    if (!take(count, p))
        return {};
    return std::string(reinterpret_cast<const char*>(p), count);
}

} // namespace velmora
