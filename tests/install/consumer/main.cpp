// A program outside the project that uses the installed library: it builds a
// new document through the provider and prints one of its captions.
#include "com/provider.h"

#include <iostream>
#include <string>

int main() {
    velmora::HudProvider provider;
    provider.initHUDDocument();
    std::string caption;
    provider.getNodePropertyValue("n100", "description", &caption);
    std::cout << caption << '\n';
    return caption == "Gross amount due from borrower" ? 0 : 1;
}
