// What the statement view shows of a node: the stored texts, exactly as the
// property operations give them, and nothing computed. A property that holds
// no value (empty, or still what a new node starts with, such as a total of
// 0.0 nobody set) shows as the empty text, as in `velmora show`.
#pragma once

#include <string>
#include <string_view>

namespace velmora {
class CSectionNode;
}

namespace velmora::render {

// The text of property `name` of `node` when it holds a value; the empty text
// for a missing node or a name its class lacks. A tax ID is masked to its
// last four digits (document/tax_id.h) unless a TaxIdsInFull says otherwise.
std::string shown(const CSectionNode* node, std::string_view name);

// While one lives, shown() on this thread gives tax IDs as `full` says: a
// page is made on one thread, and the choice is the page's, not each value's.
class TaxIdsInFull {
public:
    explicit TaxIdsInFull(bool full);
    ~TaxIdsInFull();
    TaxIdsInFull(const TaxIdsInFull&) = delete;
    TaxIdsInFull& operator=(const TaxIdsInFull&) = delete;

private:
    bool previous_;
};

// shown() of an amount, printed as money (money_text.h): a double from its
// value, a text when it reads as a number.
std::string shownAmount(const CSectionNode* node, std::string_view name);

// shownAmount() of an amount entered on a line of the form: the empty text
// for zero, which the form leaves blank (converted files store "0.00" on
// every line nobody filled). Totals keep their zero.
std::string enteredAmount(const CSectionNode* node, std::string_view name);

// A rate as the form prints it before "%" (money_text.h: percentText); the
// empty text for zero, as for an entered amount.
std::string enteredRate(const CSectionNode* node, std::string_view name);

// The text of property `name` whether or not it holds a value: for texts the
// form prints as labels, such as the caption of the lot ("Lot" at first).
std::string storedText(const CSectionNode* node, std::string_view name);

// Whether the class of `node` has the property `name`.
bool hasProperty(const CSectionNode* node, std::string_view name);

// Whether a line prints as a blank line of the form: no node, or one without
// description and values. Its `net` flag does not count: the page never
// prints it, and converted lines all carry one.
bool isBlankLine(const CSectionNode* line);

} // namespace velmora::render
