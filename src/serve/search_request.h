// A search as a browser or a script asks for it: the query string of "/"
// and "/api/search", read into the index's own question. Every parameter is
// untrusted: each is checked for length, encoding and form, and a request
// that fails a check is refused with a short reason, never half-read.
//
//   q      words, as `velmora search` takes them
//   from   settlement on or after this date (2009-05-01 or 5/1/2009)
//   to     settlement on or before this date
//   field, value   one filter from the page's form: the field holds the value
//   where  FIELD=VALUE, repeatable, as `search --where` takes it
//   sort   best (the default), newest or oldest, by settlement date
//   page   the page of the list, from 1, kPageSize matches a page
#pragma once

#include "index/index_search.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velmora::serve {

using QueryParameters = std::multimap<std::string, std::string>;

inline constexpr std::size_t kPageSize = 50;
inline constexpr std::size_t kLongestParameter = 512;
inline constexpr std::size_t kMostFilters = 16;
inline constexpr std::size_t kLastPage = 100'000;

struct SearchRequest {
    index::SearchQuery query;
    std::size_t page = 1;
    // As given, for the form to show them again.
    std::string words, from, to, field, value, sort;
    // As given too: the page links keep them, though the form has no place for them.
    std::vector<std::string> where;
};

// The parameters of a query string ("q=dana+whitlock&where=lender=harbor"):
// each pair split at its first "=", so that a filter's own "=" may stand as
// it is, then + and %XX decoded as a form sends them. A % that begins no
// escape stands for itself.
QueryParameters queryParameters(std::string_view query);

// The search, or why the request is refused.
std::variant<SearchRequest, std::string> readSearchRequest(const QueryParameters& parameters);

} // namespace velmora::serve
