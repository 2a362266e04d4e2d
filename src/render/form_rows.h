// The printed form as data: each block of the statement is a list of rows,
// in the order of the form, that say what the form prints there and where in
// the document the value comes from. The tables themselves live with the part
// of the page that prints them (summary_html.cpp, charges_html.cpp).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora::render {

enum class RowKind {
    Heading,    // "100. Gross amount due from borrower"
    Subheading, // "Adjustments for items paid by seller in advance"
    Line,       // a line node: its number, description, details and amounts
    MoreLines,  // the extra lines a block keeps in its `more` list, unnumbered
    Value,      // a value the form prints on a line of its own (101, 303, 1520)
    Total,      // a value row printed in bold (120, 220, 1520)
    Copy,       // a line the form fills from another (103 repeats 1400): a Value, tinted
    Cash,       // the cash line of a side (303, 603): a Total with the form's two boxes
    TotalLine,  // a block whose own columns are its totals, printed as a line (1400)
};

struct FormRow {
    RowKind kind = RowKind::Line;
    std::string number;  // "104"; empty where the form prints none
    std::string caption; // the form's text; a line's own description replaces it
    // Line: the line's path; MoreLines and TotalLine: the block's; Value and
    // Total: the path of the node holding the value ("" for the root).
    std::string node;
    // Value, Total, Copy and Cash: the property shown.
    std::string property;
    // Cash: the labels of the form's two boxes; a positive amount checks the
    // first, a negative one the second.
    std::vector<std::string> boxes;
};

using FormRows = std::vector<FormRow>;

FormRow heading(std::string number, std::string caption);
FormRow subheading(std::string caption);
FormRow value(std::string number, std::string caption, std::string owner, std::string property);
FormRow total(std::string number, std::string caption, std::string owner, std::string property);
FormRow copy(std::string number, std::string caption, std::string owner, std::string property);
FormRow cash(std::string number, std::string caption, std::string property,
             std::vector<std::string> boxes);
FormRow line(std::string block, int number, std::string caption = {});
// Lines `first` to `last` of `block` ("n100"), captioned in turn by
// `captions` as far as it goes.
FormRows lineRun(const std::string& block, int first, int last,
                 const std::vector<std::string>& captions = {});
FormRow moreLines(std::string block);
FormRow totalLine(std::string number, std::string caption, std::string block);

FormRows operator+(FormRows left, const FormRows& right);
FormRows operator+(FormRows left, FormRow right);

// "104." for "104", the empty text for none.
std::string numberText(std::string_view number);
// "100. Gross amount due from borrower"; the caption alone without a number.
std::string headingText(const FormRow& row);

} // namespace velmora::render
