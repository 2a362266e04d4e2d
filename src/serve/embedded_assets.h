// The page assets of the server (src/serve/assets/), compiled into the
// program at build time, and served from /assets/NAME.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace velmora::serve {

struct EmbeddedAsset {
    const char* name;
    const unsigned char* bytes;
    std::size_t size;
};

// One entry per file, made by cmake/embed_assets.cmake.
std::span<const EmbeddedAsset> embeddedAssets();

struct Asset {
    std::string_view body;
    std::string_view type;
};

// The asset of that file name; none for any other name.
std::optional<Asset> assetNamed(std::string_view name);

} // namespace velmora::serve
