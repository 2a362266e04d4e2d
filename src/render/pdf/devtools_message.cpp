#include "render/pdf/devtools_message.h"

#include <cmath>
#include <utility>
#include <vector>

namespace velmora::render::pdf {
namespace {

using Json = nlohmann::json;

// Builds the value as the parser reads it. Returning false ends the parse
// with a refusal: for a value too deep, before any of it is stored, and for a
// repeated name, which nlohmann would otherwise settle by keeping the last.
class MessageBuilder final : public nlohmann::json_sax<Json> {
public:
    Json take() { return std::move(root_); }

    bool null() override { return put(nullptr); }
    bool boolean(bool value) override { return put(value); }
    bool number_integer(number_integer_t value) override { return put(value); }
    bool number_unsigned(number_unsigned_t value) override { return put(value); }
    bool number_float(number_float_t value, const string_t&) override { return put(value); }
    bool string(string_t& value) override { return put(std::move(value)); }
    // Only binary formats carry binary values, never a JSON text.
    bool binary(binary_t&) override { return false; }

    bool start_object(std::size_t) override { return open(Json::object()); }
    bool key(string_t& name) override {
        if (open_.back()->contains(name))
            return false;
        name_ = std::move(name);
        return true;
    }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(Json::array()); }
    bool end_array() override { return close(); }

    bool parse_error(std::size_t, const std::string&, const nlohmann::json::exception&) override {
        return false;
    }

private:
    // Places `value` as the whole, at the end of the open array or under the
    // open object's last name; none when it would be too deep. The open
    // containers stay where they are: only the innermost one grows.
    Json* place(Json value) {
        if (open_.size() >= kMaxMessageDepth)
            return nullptr;
        if (open_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        Json& parent = *open_.back();
        if (parent.is_array()) {
            parent.push_back(std::move(value));
            return &parent.back();
        }
        return &(parent[name_] = std::move(value));
    }

    bool put(Json value) { return place(std::move(value)) != nullptr; }

    bool open(Json container) {
        Json* placed = place(std::move(container));
        if (placed == nullptr)
            return false;
        open_.push_back(placed);
        return true;
    }

    bool close() {
        open_.pop_back();
        return true;
    }

    Json root_;
    std::vector<Json*> open_;
    std::string name_;
};

} // namespace

std::optional<Json> parseDevToolsMessage(std::string_view text) {
    // nlohmann passes over a leading byte order mark; JSON writers must not
    // send one (RFC 8259), so it is refused as any other stray byte.
    if (text.starts_with("\xEF\xBB\xBF"))
        return std::nullopt;
    MessageBuilder builder;
    // Strict: nothing but white space after the value. Errors come to
    // parse_error, which refuses; nothing is thrown.
    if (!Json::sax_parse(text.begin(), text.end(), &builder))
        return std::nullopt;
    return builder.take();
}

const Json* member(const Json& value, std::string_view name) {
    if (!value.is_object())
        return nullptr;
    const auto found = value.find(name);
    return found == value.end() ? nullptr : &*found;
}

const std::string* stringMember(const Json& value, std::string_view name) {
    const Json* found = member(value, name);
    return found && found->is_string() ? found->get_ptr<const std::string*>() : nullptr;
}

std::optional<long long> wholeNumber(const Json& value) {
    constexpr double kLargestExact = 9007199254740992.0; // 2^53
    if (!value.is_number())
        return std::nullopt;
    const double number = value.get<double>();
    if (std::trunc(number) != number || std::fabs(number) > kLargestExact)
        return std::nullopt;
    return static_cast<long long>(number);
}

} // namespace velmora::render::pdf
