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

// What the form prints on its numbered lines 701 to 1302: the words around
// months and a rate, and the details it prints whatever the line holds, with
// a blank to write in ("to ______", "@ $ ______/day"). Other lines take the
// plain words and print only the details they hold.
struct LineForm {
    int first = 0;
    int last = 0;
    std::vector<std::string_view> preprinted;
    std::string_view monthsBefore = "";
    std::string_view monthsAfter = " months";
    std::string_view atAfter = "";
};

const std::vector<LineForm>& lineForms() {
    static const std::vector<LineForm> forms = {
        {701, 702, {"amount", "payor"}},
        {801, 802, {"percentage"}},
        {803, 807, {"payor"}},
        {901, 901, {"from", "to", "at"}, "", "", "/day"},
        {902, 902, {"months", "payor"}, "for ", " months"},
        {903, 904, {"months", "payor"}, "for ", " years"},
        {1001, 1007, {"months", "at"}, "", " months", " per month"},
        {1101, 1108, {"payor"}},
        {1201, 1201, {"deed", "mortgage", "release"}},
        {1202, 1203, {"deed", "mortgage"}},
        {1301, 1302, {"payor"}},
    };
    return forms;
}

// 1101 for a line named "n1101"; 0 for the extra lines of a block.
int lineNumber(std::string_view name) {
    if (name.size() < 2 || name.size() > 5 || name.front() != 'n')
        return 0;
    int number = 0;
    for (const char c : name.substr(1)) {
        if (c < '0' || c > '9')
            return 0;
        number = number * 10 + (c - '0');
    }
    return number;
}

const LineForm& formOf(const CSectionNode* line) {
    static const LineForm plain;
    const int number = line ? lineNumber(line->getName()) : 0;
    for (const LineForm& form : lineForms()) {
        if (number >= form.first && number <= form.last)
            return form;
    }
    return plain;
}

// In the order the form reads them. `net` is left out: it is a flag of the
// clients' bookkeeping that the printed form has no place for. `payor` is
// whom the line was paid to, the form's "to ______".
std::vector<Detail> detailsOf(const LineForm& form) {
    return {
        {"from", "from ", ""},
        {"to", "to ", ""},
        {"percentage", "", " %", Form::Percent},
        {"amount", "$ ", "", Form::Money},
        {"months", form.monthsBefore, form.monthsAfter, Form::Count},
        {"at", "@ $ ", form.atAfter, Form::Money},
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

// `value` is HTML; a blank the form leaves to write in when it is empty.
std::string detailHtml(const Detail& detail, const std::string& value) {
    const std::string_view cls = detail.form == Form::Money ? "detail money" : "detail";
    const std::string shownValue = value.empty() ? element("span", "blank", "") : value;
    return element("span", cls, escapeHtml(detail.before) + shownValue + escapeHtml(detail.after));
}

} // namespace

std::string lineDescription(const CSectionNode* line, const std::string& caption,
                            const std::vector<std::string_view>& columns) {
    const std::string own = line ? line->getDescription() : std::string();
    std::string out = own.empty() ? element("span", "caption", escapeHtml(caption))
                                  : element("span", "text", htmlText(own));
    const LineForm& form = formOf(line);
    for (const Detail& detail : detailsOf(form)) {
        if (std::find(columns.begin(), columns.end(), detail.property) != columns.end())
            continue;
        const std::string value = valueOf(line, detail);
        const bool preprinted = std::find(form.preprinted.begin(), form.preprinted.end(),
                                          detail.property) != form.preprinted.end();
        if (!value.empty() || preprinted)
            out += " " + detailHtml(detail, value.empty() ? value : htmlText(value));
    }
    return out;
}

} // namespace velmora::render
