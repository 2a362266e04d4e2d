#include "round_trip_check.h"

#include "document/hud_document.h"
#include "tree/xml_document.h"

#include <pugixml.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace velmora::fuzzing {
namespace {

[[noreturn]] void broken(const std::string& what) {
    std::fprintf(stderr, "round trip broken: %s\n", what.c_str());
    std::abort();
}

// Texts as they stand in the file, escapes and white space unconverted, so
// that the comparison sees every byte the engine wrote.
pugi::xml_document parsed(const std::string& path) {
    pugi::xml_document document;
    if (!document.load_file(path.c_str(), pugi::parse_minimal))
        broken("cannot parse " + path);
    return document;
}

// Whether an earlier sibling of `element`, of its element name, bears `name`.
bool earlierSiblingBears(const pugi::xml_node& element, const char* name) {
    for (pugi::xml_node sibling = element.previous_sibling(element.name()); sibling;
         sibling = sibling.previous_sibling(element.name())) {
        if (std::strcmp(sibling.attribute("name").value(), name) == 0)
            return true;
    }
    return false;
}

bool sameAttribute(const pugi::xml_attribute& saved, const pugi::xml_attribute& resaved,
                   const pugi::xml_node& resavedElement) {
    if (std::strcmp(saved.name(), resaved.name()) != 0)
        return false;
    if (std::strcmp(saved.value(), resaved.value()) == 0)
        return true;
    return std::strcmp(saved.name(), "name") == 0 &&
           earlierSiblingBears(resavedElement, saved.value());
}

// The path of the first difference between the two elements, if any.
std::optional<std::string> difference(const pugi::xml_node& saved, const pugi::xml_node& resaved,
                                      const std::string& path) {
    const std::string here = path + "/" + saved.name();
    if (std::strcmp(saved.name(), resaved.name()) != 0)
        return here + ": became <" + resaved.name() + ">";
    pugi::xml_attribute a = saved.first_attribute();
    pugi::xml_attribute b = resaved.first_attribute();
    for (; a && b; a = a.next_attribute(), b = b.next_attribute()) {
        if (!sameAttribute(a, b, resaved))
            return here + ": " + a.name() + "=\"" + a.value() + "\" became " + b.name() + "=\"" +
                   b.value() + "\"";
    }
    if (a || b)
        return here + ": attribute " + (a ? a.name() : b.name()) + " only on one side";
    pugi::xml_node x = saved.first_child();
    pugi::xml_node y = resaved.first_child();
    for (; x && y; x = x.next_sibling(), y = y.next_sibling()) {
        if (auto found = difference(x, y, here))
            return found;
    }
    if (x || y)
        return here + ": child <" + (x ? x.name() : y.name()) + "> only on one side";
    return std::nullopt;
}

} // namespace

void requireStableRoundTrip(const std::string& saved, const std::string& resaved) {
    CHudDocument root(document_types::kHud);
    if (loadXmlFile(root, saved) != 0)
        broken("the saved document " + saved + " does not load");
    if (saveXmlFile(root, resaved) != 0)
        broken("a loaded document cannot be saved at " + resaved);
    if (auto found =
            difference(parsed(saved).document_element(), parsed(resaved).document_element(), ""))
        broken("saving a loaded document changes it at " + *found);
}

} // namespace velmora::fuzzing
