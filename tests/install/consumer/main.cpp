// A program outside the project that uses the installed libraries: it builds
// a new document through the provider, prints one of its captions and
// renders its statement page.
#include "com/provider.h"
#include "render/statement_view.h"

#include <iostream>
#include <string>

int main() {
    velmora::HudProvider provider;
    provider.initHUDDocument();
    std::string caption;
    provider.getNodePropertyValue("n100", "description", &caption);
    std::cout << caption << '\n';
    const std::string page = velmora::render::renderStatement(*provider.document());
    const bool pageShowsIt = page.find(caption) != std::string::npos;
    return caption == "Gross amount due from borrower" && pageShowsIt ? 0 : 1;
}
