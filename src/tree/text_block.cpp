#include "tree/text_block.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace velmora {
namespace {

// Offsets are 32 bits wide, and the builder keeps their largest value as its
// mark of a text not given: a larger total is refused like a failed allocation.
void checkFits(std::size_t total) {
    if (total >= std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("property texts too long");
}

// Appends `text` at `out`; no copy for an empty text, whose data may be null.
char* copyText(char* out, std::string_view text) {
    if (!text.empty())
        std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

} // namespace

TextBlock TextBlock::withRoom(std::size_t count, std::size_t totalCharacters) {
    checkFits(count);
    checkFits(totalCharacters);
    const std::size_t characterWords =
        (totalCharacters + sizeof(std::uint32_t) - 1) / sizeof(std::uint32_t);
    TextBlock block;
    block.words_ = std::make_unique_for_overwrite<std::uint32_t[]>(1 + count + characterWords);
    block.words_[0] = static_cast<std::uint32_t>(count);
    return block;
}

TextBlock TextBlock::pack(const std::vector<std::string_view>& texts) {
    std::size_t total = 0;
    for (const std::string_view text : texts)
        total += text.size();
    TextBlock block = withRoom(texts.size(), total);
    char* const first = block.characters();
    char* out = first;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        out = copyText(out, texts[i]);
        block.words_[1 + i] = static_cast<std::uint32_t>(out - first);
    }
    return block;
}

char* TextBlock::characters() {
    return reinterpret_cast<char*>(words_.get() + 1 + size());
}

const char* TextBlock::characters() const {
    return reinterpret_cast<const char*>(words_.get() + 1 + size());
}

std::uint32_t TextBlock::startOf(std::uint32_t i) const {
    return i == 0 ? 0 : words_[i];
}

std::string_view TextBlock::operator[](std::uint32_t i) const {
    return {characters() + startOf(i), words_[1 + i] - startOf(i)};
}

TextBlock TextBlock::replaced(std::uint32_t i, std::string_view text) const {
    const std::uint32_t count = size();
    const std::string_view old = (*this)[i];
    const std::string_view all(characters(), words_[count]);
    TextBlock block = withRoom(count, all.size() - old.size() + text.size());
    // The texts before the i-th keep their ends; the others move with its length.
    for (std::uint32_t j = 0; j < count; ++j) {
        const std::size_t end = words_[1 + j];
        block.words_[1 + j] =
            static_cast<std::uint32_t>(j < i ? end : end - old.size() + text.size());
    }
    char* out = copyText(block.characters(), all.substr(0, startOf(i)));
    out = copyText(out, text);
    copyText(out, all.substr(words_[1 + i]));
    return block;
}

void TextBlockBuilder::reset(std::uint32_t count) {
    ranges_.assign(count, Range{});
    characters_.clear();
    given_ = 0;
}

void TextBlockBuilder::set(std::uint32_t i, std::string_view text) {
    checkFits(characters_.size() + text.size());
    ranges_[i] = {static_cast<std::uint32_t>(characters_.size()),
                  static_cast<std::uint32_t>(text.size())};
    characters_.append(text);
    ++given_;
}

std::string_view TextBlockBuilder::text(std::uint32_t i) const {
    return std::string_view(characters_).substr(ranges_[i].offset, ranges_[i].length);
}

TextBlock TextBlockBuilder::merged(const TextBlock& current) {
    texts_.resize(ranges_.size());
    for (std::uint32_t i = 0; i < ranges_.size(); ++i)
        texts_[i] = given(i) ? text(i) : current[i];
    return TextBlock::pack(texts_);
}

} // namespace velmora
