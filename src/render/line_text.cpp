#include "render/line_text.h"

#include "render/html_text.h"
#include "render/money_text.h"
#include "render/shown_values.h"
#include "tree/section_node.h"

#include <algorithm>

namespace velmora::render {
namespace {

// How a detail is printed: a text as stored, or a number (a count, money, a
// rate) that the form leaves blank when it is zero.
enum class Form { Text, Count, Money, Percent };

struct Detail {
    std::string_view property;
    std::string_view before;
    std::string_view after;
    Form form = Form::Text;
};

// The words the form prints around months and a rate where a line has them;
// other lines take the plain ones.
struct Wording {
    std::string_view line;
    std::string_view monthsBefore;
    std::string_view monthsAfter;
    std::string_view atAfter;
};

constexpr Wording kPlain = {"", "", " months", ""};
constexpr Wording kPerMonth = {"", "", " months", " per month"};
constexpr Wording kWordings[] = {
    {"n901", "", "", "/day"},
    {"n902", "for ", " months", ""},
    {"n903", "for ", " years", ""},
    {"n904", "for ", " years", ""},
};

const Wording& wordingOf(std::string_view line) {
    for (const Wording& wording : kWordings) {
        if (wording.line == line)
            return wording;
    }
    // The reserves, 1001 to 1007, are so many months at so much a month.
    const bool reserve =
        line.size() == 5 && line.starts_with("n100") && line[4] >= '1' && line[4] <= '7';
    return reserve ? kPerMonth : kPlain;
}

// In the order the form reads them. `net` is left out: it is a flag of the
// clients' bookkeeping that the printed form has no place for. `payor` is
// whom the line was paid to, the form's "to ______".
std::vector<Detail> detailsOf(const Wording& wording) {
    return {
        {"from", "from ", ""},
        {"to", "to ", ""},
        {"percentage", "", " %", Form::Percent},
        {"amount", "$ ", "", Form::Money},
        {"months", wording.monthsBefore, wording.monthsAfter, Form::Count},
        {"at", "@ $ ", wording.atAfter, Form::Money},
        {"deed", "Deed $ ", "", Form::Money},
        {"mortgage", "Mortgage $ ", "", Form::Money},
        {"release", "Releases $ ", "", Form::Money},
        {"payor", "to ", ""},
        {"forPOC", "POC $ ", "", Form::Money},
    };
}

// The detail as printed; nothing for a value that is empty, or a number that
// is zero: converted files hold "0" and "0.00" where nothing was entered.
std::string valueOf(const CSectionNode* line, const Detail& detail) {
    switch (detail.form) {
    case Form::Money:
        return enteredAmount(line, detail.property);
    case Form::Percent:
        return enteredRate(line, detail.property);
    case Form::Count: {
        const std::string count = shown(line, detail.property);
        return isZeroAmount(count) ? std::string() : count;
    }
    case Form::Text:
        break;
    }
    return shown(line, detail.property);
}

std::string detailHtml(const Detail& detail, const std::string& value) {
    const std::string_view cls = detail.form == Form::Money ? "detail money" : "detail";
    return element("span", cls,
                   escapeHtml(detail.before) + htmlText(value) + escapeHtml(detail.after));
}

} // namespace

std::string lineDescription(const CSectionNode* line, const std::string& caption,
                            const std::vector<std::string_view>& columns) {
    const std::string own = line ? line->getDescription() : std::string();
    std::string out = own.empty() ? element("span", "caption", escapeHtml(caption))
                                  : element("span", "text", htmlText(own));
    const Wording& wording = wordingOf(line ? std::string_view(line->getName()) : "");
    for (const Detail& detail : detailsOf(wording)) {
        if (std::find(columns.begin(), columns.end(), detail.property) != columns.end())
            continue;
        const std::string value = valueOf(line, detail);
        if (!value.empty())
            out += " " + detailHtml(detail, value);
    }
    return out;
}

} // namespace velmora::render
