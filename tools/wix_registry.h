// The registry entries of a WiX package from a registrar script such as
// velmora.rgs, read by the parser that DllRegisterServer uses, so that the
// installer and self-registration write the same keys.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace velmora::tools {

struct WixRegistry {
    bool ok = false;
    std::string elements; // <RegistryValue> elements, one a line, for a <Component>
    std::string error;
};

// `references` gives each variable of the script (MODULE, ...) as installer
// text that is written as given ([#fileid], [INSTALLDIR]); everything else in
// the script is escaped so that it arrives literally. A script the installer
// cannot express the same way (Delete keys, keys without values) is refused.
WixRegistry wixRegistryValues(const std::string& scriptUtf8,
                              const std::vector<std::pair<std::string, std::string>>& references);

} // namespace velmora::tools
