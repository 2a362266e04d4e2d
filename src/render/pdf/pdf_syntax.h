// Just enough of the PDF syntax to find, read and copy the entries of a
// dictionary at the end of a PDF file: strings, names, numbers, indirect
// references, arrays and dictionaries, with white space and comments between
// them. The bytes may come from any program (a scan that shares an output's
// name, above all), so every read is bounded by the text and by a depth.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace velmora::render::pdf {

// Arrays and dictionaries inside this many others are refused.
inline constexpr int kMaxObjectDepth = 32;

// `at` moved past PDF white space and comments.
std::size_t skipBlanks(std::string_view text, std::size_t at);

// The end of the one object that starts at `at` (blanks before it allowed),
// an indirect reference "12 0 R" taken whole; none when it is malformed, runs
// past the text or is nested deeper than kMaxObjectDepth.
std::optional<std::size_t> objectEnd(std::string_view text, std::size_t at);

struct DictionaryEntry {
    std::string_view key;   // "/Producer"
    std::string_view value; // its object as written: "(Skia/PDF m156)"
};

struct Dictionary {
    std::vector<DictionaryEntry> entries;
    std::size_t end = 0; // just past its ">>"
};

// The dictionary that starts at `at` (blanks before it allowed), or none.
std::optional<Dictionary> readDictionary(std::string_view text, std::size_t at);

// The value of `key` ("/Info") in `dictionary`, or none.
std::optional<std::string_view> valueOf(const Dictionary& dictionary, std::string_view key);

struct WholeNumber {
    std::uint64_t value = 0;
    std::size_t end = 0;
};

// The unsigned whole number at `at` (blanks before it allowed), of at most 18
// digits, or none.
std::optional<WholeNumber> wholeNumberAt(std::string_view text, std::size_t at);

} // namespace velmora::render::pdf
