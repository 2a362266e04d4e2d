// The pages of the server besides the statement: the search page, the login
// page and the page of a short message. Plain HTML, one style sheet and one
// small script from /assets/, nothing inline, so that the pages run under a
// policy that allows no inline script or style; every value goes through the
// page's escaping.
#pragma once

#include "index/index_search.h"
#include "serve/search_request.h"

#include <string>
#include <string_view>

namespace velmora::serve {

struct SearchPage {
    const SearchRequest* request = nullptr; // none: the empty page
    const index::SearchResult* result = nullptr;
    std::string problem;   // why the request was refused
    bool loggedIn = false; // offers a way out
    std::string person;    // who is logged in, shown beside the way out
};

std::string searchPageHtml(const SearchPage& page);

// `failed`: the token given last was not the one.
std::string loginPageHtml(bool failed);

// A page that says one thing, with a way back to the search.
std::string messagePageHtml(std::string_view title, std::string_view text);

// `text` percent-encoded for a query string: everything but letters, digits
// and - . _ ~.
std::string percentEncoded(std::string_view text);

} // namespace velmora::serve
