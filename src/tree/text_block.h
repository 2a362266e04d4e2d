// TextBlock: the texts of a node's string properties, packed in one block.
//
// A document holds thousands of nodes with a dozen strings each, most of them
// too long for a std::string's own buffer. Packed, a node's strings cost one
// allocation instead of one each, and reading a file builds each block once.
// A block never changes: storing a text builds a new block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class TextBlock {
public:
    TextBlock() = default;
    TextBlock(TextBlock&&) noexcept = default;
    TextBlock& operator=(TextBlock&&) noexcept = default;

    // The texts in order. Throws std::length_error from 4 GiB - 1 in all.
    static TextBlock pack(const std::vector<std::string_view>& texts);

    // False for a block that was never packed.
    bool holdsTexts() const { return words_ != nullptr; }
    std::uint32_t size() const { return holdsTexts() ? words_[0] : 0; }
    // The i-th text; i must be below size().
    std::string_view operator[](std::uint32_t i) const;

    // A block with the i-th text replaced, the others as they are here.
    TextBlock replaced(std::uint32_t i, std::string_view text) const;

private:
    // Laid out as: count, the end offset of each text, then the characters.
    // Kept in 32-bit words so that the offsets are aligned.
    std::unique_ptr<std::uint32_t[]> words_;

    // A block for `count` texts of `totalCharacters` in all, the texts unset.
    static TextBlock withRoom(std::size_t count, std::size_t totalCharacters);
    char* characters();
    const char* characters() const;
    std::uint32_t startOf(std::uint32_t i) const;
};

// Collects the texts an element of a file gives a node, so that the node's
// block is built once however many of them the element has. Reused from one
// element to the next, it stops allocating once it has met the largest.
class TextBlockBuilder {
public:
    // Starts over for a node with `count` texts, none of them given yet.
    void reset(std::uint32_t count);
    // Gives the i-th text; a later text for the same i wins.
    void set(std::uint32_t i, std::string_view text);
    bool anyGiven() const { return given_ > 0; }
    bool given(std::uint32_t i) const { return ranges_[i].offset != kNotGiven; }
    // The i-th text given; valid until the next set.
    std::string_view text(std::uint32_t i) const;
    // The block of the texts given, the others taken from `current`.
    TextBlock merged(const TextBlock& current);

private:
    static constexpr std::uint32_t kNotGiven = UINT32_MAX;
    struct Range {
        std::uint32_t offset = kNotGiven;
        std::uint32_t length = 0;
    };
    std::vector<Range> ranges_;
    std::string characters_;
    std::vector<std::string_view> texts_; // kept only to reuse its storage
    std::uint32_t given_ = 0;
};

} // namespace velmora
