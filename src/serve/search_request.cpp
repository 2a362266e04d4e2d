#include "serve/search_request.h"

#include "platform/code_page.h"
#include "tree/ole_date.h"

#include <algorithm>
#include <charconv>
#include <set>

namespace velmora::serve {
namespace {

const std::set<std::string, std::less<>> kKnownParameters = {"q",     "from",  "to",   "field",
                                                             "value", "where", "sort", "page"};

// The first problem of any parameter: unknown, too long, not UTF-8, or
// holding a NUL, which no text of a deal holds.
std::string parameterProblem(const QueryParameters& parameters) {
    std::size_t filters = 0;
    for (const auto& [name, value] : parameters) {
        if (!kKnownParameters.contains(name))
            return "unknown parameter";
        if (value.size() > kLongestParameter)
            return "the parameter " + name + " is longer than " +
                   std::to_string(kLongestParameter) + " bytes";
        if (!isUtf8(value) || value.find('\0') != std::string::npos)
            return "the parameter " + name + " is not UTF-8 text";
        if (name == "where" && ++filters > kMostFilters)
            return "more than " + std::to_string(kMostFilters) + " filters";
    }
    for (const char* single : {"q", "from", "to", "field", "value", "sort", "page"}) {
        if (parameters.count(single) > 1)
            return std::string("the parameter ") + single + " is given twice";
    }
    return "";
}

std::string valueOf(const QueryParameters& parameters, const char* name) {
    const auto found = parameters.find(name);
    return found == parameters.end() ? std::string() : found->second;
}

std::string readDate(const std::string& text, std::optional<OleDate>& date) {
    if (text.empty())
        return "";
    const OleDate parsed = parseDate(text);
    if (!parsed.isValid())
        return "'" + text + "' is not a date such as 2009-05-01 or 5/1/2009";
    date = parsed;
    return "";
}

std::string readFilter(const std::string& text, SearchRequest& request) {
    const std::optional<std::pair<index::Field, std::string>> filter = index::parseWhere(text);
    if (!filter)
        return "a filter is FIELD=VALUE with FIELD one of: " + index::fieldColumns();
    if (!filter->second.empty())
        request.query.where.push_back(*filter);
    return "";
}

std::string readSort(SearchRequest& request) {
    if (request.sort.empty() || request.sort == "best")
        request.query.order = index::SearchOrder::Best;
    else if (request.sort == "newest")
        request.query.order = index::SearchOrder::SettlementNewest;
    else if (request.sort == "oldest")
        request.query.order = index::SearchOrder::SettlementOldest;
    else
        return "sort is best, newest or oldest";
    return "";
}

std::string readPage(const std::string& text, SearchRequest& request) {
    if (text.empty())
        return "";
    std::size_t page = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), page);
    if (error != std::errc() || end != text.data() + text.size() || page < 1 || page > kLastPage)
        return "page is a number from 1 to " + std::to_string(kLastPage);
    request.page = page;
    return "";
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string formDecoded(std::string_view text) {
    std::string decoded;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const bool escape = text[at] == '%' && at + 2 < text.size() &&
                            hexValue(text[at + 1]) >= 0 && hexValue(text[at + 2]) >= 0;
        if (escape) {
            decoded += static_cast<char>(hexValue(text[at + 1]) * 16 + hexValue(text[at + 2]));
            at += 2;
        } else {
            decoded += text[at] == '+' ? ' ' : text[at];
        }
    }
    return decoded;
}

} // namespace

QueryParameters queryParameters(std::string_view query) {
    QueryParameters parameters;
    while (!query.empty()) {
        const std::size_t end = std::min(query.find('&'), query.size());
        const std::string_view pair = query.substr(0, end);
        query.remove_prefix(std::min(end + 1, query.size()));
        if (pair.empty())
            continue;
        const std::size_t equals = std::min(pair.find('='), pair.size());
        parameters.emplace(formDecoded(pair.substr(0, equals)),
                           formDecoded(pair.substr(std::min(equals + 1, pair.size()))));
    }
    return parameters;
}

std::variant<SearchRequest, std::string> readSearchRequest(const QueryParameters& parameters) {
    if (std::string problem = parameterProblem(parameters); !problem.empty())
        return problem;
    SearchRequest request;
    request.words = valueOf(parameters, "q");
    request.from = valueOf(parameters, "from");
    request.to = valueOf(parameters, "to");
    request.field = valueOf(parameters, "field");
    request.value = valueOf(parameters, "value");
    request.sort = valueOf(parameters, "sort");
    request.query.words = request.words;
    std::string problem = readDate(request.from, request.query.from);
    if (problem.empty())
        problem = readDate(request.to, request.query.to);
    if (problem.empty() && !request.field.empty())
        problem = readFilter(request.field + "=" + request.value, request);
    for (auto [at, end] = parameters.equal_range("where"); problem.empty() && at != end; ++at) {
        problem = readFilter(at->second, request);
        request.where.push_back(at->second);
    }
    if (problem.empty())
        problem = readSort(request);
    if (problem.empty())
        problem = readPage(valueOf(parameters, "page"), request);
    if (!problem.empty())
        return problem;
    request.query.limit = kPageSize;
    request.query.offset = (request.page - 1) * kPageSize;
    return request;
}

} // namespace velmora::serve
