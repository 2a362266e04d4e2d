#include "render/form_rows.h"

namespace velmora::render {

FormRow heading(std::string number, std::string caption) {
    return {RowKind::Heading, std::move(number), std::move(caption), {}, {}, {}};
}

FormRow subheading(std::string caption) {
    return {RowKind::Subheading, {}, std::move(caption), {}, {}, {}};
}

FormRow value(std::string number, std::string caption, std::string owner, std::string property) {
    return {RowKind::Value,   std::move(number),   std::move(caption),
            std::move(owner), std::move(property), {}};
}

FormRow total(std::string number, std::string caption, std::string owner, std::string property) {
    return {RowKind::Total,   std::move(number),   std::move(caption),
            std::move(owner), std::move(property), {}};
}

FormRow copy(std::string number, std::string caption, std::string owner, std::string property) {
    return {RowKind::Copy,    std::move(number),   std::move(caption),
            std::move(owner), std::move(property), {}};
}

FormRow cash(std::string number, std::string caption, std::string property,
             std::vector<std::string> boxes) {
    return {RowKind::Cash,       std::move(number), std::move(caption), {},
            std::move(property), std::move(boxes)};
}

FormRow line(std::string block, int number, std::string caption) {
    const std::string text = std::to_string(number);
    return {RowKind::Line, text, std::move(caption), block + "/n" + text, {}, {}};
}

FormRows lineRun(const std::string& block, int first, int last,
                 const std::vector<std::string>& captions) {
    FormRows rows;
    for (int number = first; number <= last; ++number) {
        const auto index = static_cast<std::size_t>(number - first);
        rows.push_back(line(block, number, index < captions.size() ? captions[index] : ""));
    }
    return rows;
}

FormRow moreLines(std::string block) {
    return {RowKind::MoreLines, {}, {}, std::move(block), {}, {}};
}

FormRow totalLine(std::string number, std::string caption, std::string block) {
    return {RowKind::TotalLine, std::move(number), std::move(caption), std::move(block), {}, {}};
}

FormRows operator+(FormRows left, const FormRows& right) {
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

FormRows operator+(FormRows left, FormRow right) {
    left.push_back(std::move(right));
    return left;
}

std::string numberText(std::string_view number) {
    return number.empty() ? std::string() : std::string(number) + ".";
}

std::string headingText(const FormRow& row) {
    return row.number.empty() ? row.caption : numberText(row.number) + " " + row.caption;
}

} // namespace velmora::render
