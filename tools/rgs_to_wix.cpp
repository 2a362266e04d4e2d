// Turns a registrar script into the registry entries of a WiX package
// (tools/wix_registry.h); scripts/build-msi runs it.
//
//   velmora_rgs_to_wix FILE_ID SCRIPT.rgs [NAME=VALUE...]
//
// %MODULE% becomes [#FILE_ID], the installed path of the file; other
// variables are given as NAME=VALUE, VALUE being installer text.
#include "wix_registry.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: velmora_rgs_to_wix FILE_ID SCRIPT.rgs [NAME=VALUE...]\n";
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
        std::cerr << "rgs_to_wix: cannot read " << argv[2] << "\n";
        return 1;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();

    std::vector<std::pair<std::string, std::string>> references{
        {"MODULE", std::string("[#") + argv[1] + "]"}};
    for (int i = 3; i < argc; ++i) {
        const std::string assignment = argv[i];
        const std::size_t equals = assignment.find('=');
        if (equals == std::string::npos || equals == 0) {
            std::cerr << "rgs_to_wix: " << assignment << " is not NAME=VALUE\n";
            return 2;
        }
        references.emplace_back(assignment.substr(0, equals), assignment.substr(equals + 1));
    }
    const velmora::tools::WixRegistry registry =
        velmora::tools::wixRegistryValues(bytes.str(), references);
    if (!registry.ok) {
        std::cerr << "rgs_to_wix: " << argv[2] << ": " << registry.error << "\n";
        return 1;
    }
    std::cout << registry.elements;
    return std::cout.flush() ? 0 : 1;
}
