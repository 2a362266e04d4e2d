#include "batch/shard.h"

#include <charconv>
#include <cstdint>

namespace velmora::batch {
namespace {

std::optional<unsigned> wholeNumber(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

} // namespace

std::optional<Shard> parseShard(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const std::optional<unsigned> index = wholeNumber(text.substr(0, slash));
    const std::optional<unsigned> count = wholeNumber(text.substr(slash + 1));
    if (!index || !count || *index < 1 || *index > *count)
        return std::nullopt;
    return Shard{*index, *count};
}

bool isInShard(const Shard& shard, std::string_view relativePath) {
    return fnv1a(relativePath) % shard.count == shard.index - 1;
}

std::vector<FoundFile> filesOfShard(std::vector<FoundFile> files,
                                    const std::optional<Shard>& shard) {
    if (!shard)
        return files;
    std::erase_if(files, [&](const FoundFile& file) { return !isInShard(*shard, file.relative); });
    return files;
}

} // namespace velmora::batch
