#include "render/line_text.h"

#include "render/html_text.h"
#include "render/shown_values.h"
#include "tree/section_node.h"

#include <algorithm>

namespace velmora::render {
namespace {

struct Detail {
    std::string_view property;
    std::string_view before;
    std::string_view after;
    bool amount = false;
};

// In the order the form reads them. `net` is left out: it is a flag of the
// clients' bookkeeping that the printed form has no place for. "@" is a sum
// per day (901) or per month (1001 to 1008).
constexpr Detail kDetails[] = {
    {"from", "from ", ""},
    {"to", "to ", ""},
    {"percentage", "", "%"},
    {"forPOC", "POC ", ""},
    {"months", "", " months"},
    {"at", "@ ", "", true},
    {"deed", "Deed ", "", true},
    {"mortgage", "Mortgage ", "", true},
    {"release", "Releases ", "", true},
    {"amount", "$ ", "", true},
    {"payor", "payor ", ""},
};

std::string detailText(const Detail& detail, const std::string& value) {
    return element("span", "detail",
                   escapeHtml(detail.before) + htmlText(value) + escapeHtml(detail.after));
}

} // namespace

std::string lineDescription(const CSectionNode* line, const std::string& caption,
                            const std::vector<std::string_view>& columns) {
    const std::string own = line ? line->getDescription() : std::string();
    std::string out = own.empty() ? element("span", "caption", escapeHtml(caption))
                                  : element("span", "text", htmlText(own));
    for (const Detail& detail : kDetails) {
        if (std::find(columns.begin(), columns.end(), detail.property) != columns.end())
            continue;
        const std::string value =
            detail.amount ? shownAmount(line, detail.property) : shown(line, detail.property);
        if (!value.empty())
            out += " " + detailText(detail, value);
    }
    return out;
}

} // namespace velmora::render
