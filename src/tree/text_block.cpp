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

} // namespace

TextBlock TextBlock::pack(const std::vector<std::string_view>& texts) {
    std::size_t total = 0;
    for (const std::string_view text : texts) {
        total += text.size();
        checkFits(total);
    }
    checkFits(texts.size());
    const std::size_t count = texts.size();
    const std::size_t characterWords = (total + sizeof(std::uint32_t) - 1) / sizeof(std::uint32_t);
    TextBlock block;
    block.words_ = std::make_unique_for_overwrite<std::uint32_t[]>(1 + count + characterWords);
    block.words_[0] = static_cast<std::uint32_t>(count);
    char* out = reinterpret_cast<char*>(block.words_.get() + 1 + count);
    std::uint32_t end = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!texts[i].empty())
            std::memcpy(out + end, texts[i].data(), texts[i].size());
        end += static_cast<std::uint32_t>(texts[i].size());
        block.words_[1 + i] = end;
    }
    return block;
}

const char* TextBlock::characters() const {
    return reinterpret_cast<const char*>(words_.get() + 1 + size());
}

std::string_view TextBlock::operator[](std::uint32_t i) const {
    const std::uint32_t start = i == 0 ? 0 : words_[i];
    return {characters() + start, words_[1 + i] - start};
}

TextBlock TextBlock::replaced(std::uint32_t i, std::string_view text) const {
    std::vector<std::string_view> texts(size());
    for (std::uint32_t j = 0; j < size(); ++j)
        texts[j] = j == i ? text : (*this)[j];
    return pack(texts);
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

TextBlock TextBlockBuilder::merged(const TextBlock& current) {
    texts_.resize(ranges_.size());
    for (std::uint32_t i = 0; i < ranges_.size(); ++i) {
        const Range& range = ranges_[i];
        texts_[i] = range.offset == kNotGiven
                        ? current[i]
                        : std::string_view(characters_).substr(range.offset, range.length);
    }
    return TextBlock::pack(texts_);
}

} // namespace velmora
