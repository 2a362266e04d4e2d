#include "serve/embedded_assets.h"

namespace velmora::serve {
namespace {

std::string_view typeOf(std::string_view name) {
    if (name.ends_with(".css"))
        return "text/css; charset=utf-8";
    if (name.ends_with(".js"))
        return "text/javascript; charset=utf-8";
    return "application/octet-stream";
}

} // namespace

std::optional<Asset> assetNamed(std::string_view name) {
    for (const EmbeddedAsset& asset : embeddedAssets()) {
        if (name == asset.name)
            return Asset{{reinterpret_cast<const char*>(asset.bytes), asset.size},
                         typeOf(asset.name)};
    }
    return std::nullopt;
}

} // namespace velmora::serve
