#include "index/merge_row_check.h"

#include "platform/code_page.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <variant>

namespace velmora::index {
namespace {

bool isCleanText(std::string_view text) {
    return isUtf8(text) && text.find('\0') == std::string_view::npos;
}

// A path as an index run records it: from the root (POSIX), or a drive or
// share path (velmora.exe).
bool isAbsolutePath(std::string_view path) {
    const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                       path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    return path.starts_with('/') || path.starts_with("\\\\") || drive;
}

bool isKnownStatus(std::string_view status) {
    static constexpr std::array<std::string_view, 3> kStatuses = {"indexed", "failed",
                                                                  "unreadable"};
    return std::find(kStatuses.begin(), kStatuses.end(), status) != kStatuses.end();
}

// Whether `value` may stand in a column of `sqlType`.
bool fitsColumn(const FieldValue& value, std::string_view sqlType) {
    if (std::holds_alternative<std::monostate>(value))
        return !sqlType.ends_with("NOT NULL") && !sqlType.ends_with("NOT NULL UNIQUE");
    if (sqlType.starts_with("TEXT"))
        return std::holds_alternative<std::string>(value);
    if (sqlType.starts_with("INTEGER"))
        return std::holds_alternative<std::int64_t>(value);
    return std::holds_alternative<double>(value) || std::holds_alternative<std::int64_t>(value);
}

} // namespace

std::optional<std::string> mergeRowProblem(const FieldValues& values, const std::string& text) {
    for (const Field field : batch::everyValue<Field>()) {
        const FieldDef& def = fieldDef(field);
        if (!fitsColumn(values[field], def.sqlType))
            return std::string("its ") + def.name + " is not of the column's type";
        const auto* fieldText = std::get_if<std::string>(&values[field]);
        if (fieldText && !isCleanText(*fieldText))
            return std::string("its ") + def.name + " is not valid UTF-8 text";
    }
    if (!isCleanText(text))
        return "its other lines are not valid UTF-8 text";
    if (!isAbsolutePath(std::get<std::string>(values[Field::Path])))
        return "its path is not absolute";
    if (!isKnownStatus(std::get<std::string>(values[Field::Status])))
        return "its status is not one an index run writes";
    return std::nullopt;
}

} // namespace velmora::index
