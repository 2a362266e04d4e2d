#include "serve/page_html.h"

#include "index/search_table.h"
#include "platform/path_parts.h"
#include "render/html_text.h"
#include "render/own_outputs.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <variant>

namespace velmora::serve {
namespace {

using render::escapeHtml;

std::string shown(const std::string& text) {
    return render::htmlText(text);
}

std::string pageHtml(std::string_view title, const std::string& body) {
    return render::pageOpening() +
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<title>" +
           escapeHtml(title) +
           "</title><link rel=\"stylesheet\" href=\"/assets/style.css\">"
           "<script src=\"/assets/search.js\" defer></script></head><body>" +
           body + "</body></html>\n";
}

std::string amountOf(const index::FieldValue& value) {
    const auto* amount = std::get_if<double>(&value);
    if (!amount || !std::isfinite(*amount))
        return "";
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", *amount);
    return text;
}

std::string queryOf(const SearchRequest& request, const std::string& sort, std::size_t page) {
    std::string query;
    const auto add = [&](const char* name, const std::string& value) {
        if (!value.empty())
            query += (query.empty() ? "?" : "&") + std::string(name) + "=" + percentEncoded(value);
    };
    add("q", request.words);
    add("from", request.from);
    add("to", request.to);
    add("field", request.field);
    add("value", request.field.empty() ? "" : request.value);
    for (const std::string& filter : request.where)
        add("where", filter);
    add("sort", sort);
    add("page", page > 1 ? std::to_string(page) : "");
    return query.empty() ? "/" : "/" + query;
}

std::string option(const std::string& value, const std::string& label, bool selected) {
    return "<option value=\"" + escapeHtml(value) + "\"" + (selected ? " selected" : "") + ">" +
           escapeHtml(label) + "</option>";
}

// The fields a person looks a deal up by; a script may filter on any
// column of the index through the address.
constexpr std::array kFilterFields = {
    std::pair{index::Field::Borrowers, "Borrowers"},
    std::pair{index::Field::Sellers, "Sellers"},
    std::pair{index::Field::PropertyAddress, "Property address"},
    std::pair{index::Field::FileNumber, "File number"},
    std::pair{index::Field::LoanNumber, "Loan number"},
    std::pair{index::Field::Lender, "Lender"},
    std::pair{index::Field::SettlementAgent, "Settlement agent"},
    std::pair{index::Field::DocumentType, "Type (hud, hud1a)"},
    std::pair{index::Field::Path, "File path"},
};

std::string fieldChoices(const std::string& chosen) {
    std::string options = option("", "any field", chosen.empty());
    bool shown = chosen.empty();
    for (const auto& [field, label] : kFilterFields) {
        const std::string name = index::fieldDef(field).name;
        options += option(name, label, name == chosen);
        shown = shown || name == chosen;
    }
    // A field of an address someone sent stays chosen.
    if (!shown)
        options += option(chosen, chosen, true);
    return options;
}

std::string formHtml(const SearchRequest* request) {
    const SearchRequest empty;
    const SearchRequest& shownRequest = request ? *request : empty;
    const auto input = [](const char* type, const char* name, const std::string& value,
                          const char* label, const char* extra) {
        return std::string("<label>") + label + " <input type=\"" + type + "\" name=\"" + name +
               "\" value=\"" + escapeHtml(value) + "\"" + extra + "></label>";
    };
    return "<form class=\"search\" method=\"get\" action=\"/\" role=\"search\">"
           "<div class=\"words\"><input type=\"search\" name=\"q\" value=\"" +
           escapeHtml(shownRequest.words) +
           "\" aria-label=\"Words\" placeholder=\"Borrower, seller, address, file or loan "
           "number\" autofocus><button type=\"submit\">Search</button></div>"
           "<div class=\"filters\">" +
           input("text", "from", shownRequest.from, "Settled from", " placeholder=\"YYYY-MM-DD\"") +
           input("text", "to", shownRequest.to, "to", " placeholder=\"YYYY-MM-DD\"") +
           "<label>Field <select name=\"field\">" + fieldChoices(shownRequest.field) +
           "</select></label>" + input("text", "value", shownRequest.value, "holds", "") +
           (shownRequest.sort.empty() ? ""
                                      : "<input type=\"hidden\" name=\"sort\" value=\"" +
                                            escapeHtml(shownRequest.sort) + "\">") +
           "</div></form>";
}

std::string rowHtml(const index::SearchHit& hit) {
    using index::Field;
    const std::string path = index::fieldText(hit.fields[Field::Path]);
    const auto cell = [](const std::string& text, const char* cls = nullptr) {
        return std::string("<td") + (cls ? std::string(" class=\"") + cls + "\"" : "") + ">" +
               shown(text) + "</td>";
    };
    return "<tr><td><a href=\"/deal/" + std::to_string(hit.id) + "\" title=\"" + shown(path) +
           "\">" + shown(std::string(fileNameOf(path))) + "</a></td>" +
           cell(index::fieldText(hit.fields[Field::SettlementDate]).substr(0, 10), "date") +
           cell(index::shortenedNames(index::fieldText(hit.fields[Field::Borrowers]))) +
           cell(index::fieldText(hit.fields[Field::PropertyAddress])) +
           cell(index::fieldText(hit.fields[Field::DocumentType])) +
           cell(amountOf(hit.fields[Field::LoanAmount]), "amount") + "</tr>";
}

std::string tableHtml(const SearchRequest& request, const index::SearchResult& result) {
    const bool newest = request.sort == "newest";
    const std::string dateSort = "<a href=\"" +
                                 escapeHtml(queryOf(request, newest ? "oldest" : "newest", 1)) +
                                 "\" title=\"Sort by settlement date\">Settlement" +
                                 (newest                     ? " &#9660;"
                                  : request.sort == "oldest" ? " &#9650;"
                                                             : "") +
                                 "</a>";
    std::string rows;
    for (const index::SearchHit& hit : result.hits)
        rows += rowHtml(hit);
    return "<div class=\"results\"><table><thead><tr><th>File</th><th>" + dateSort +
           "</th><th>Borrowers</th><th>Property</th><th>Type</th><th class=\"amount\">Loan</th>"
           "</tr></thead><tbody>" +
           rows + "</tbody></table></div>";
}

std::string pagesHtml(const SearchRequest& request, const index::SearchResult& result) {
    const std::size_t pages = (result.matches + kPageSize - 1) / kPageSize;
    std::string nav = "<nav class=\"pages\" aria-label=\"Pages\">";
    if (request.page > 1)
        nav += "<a rel=\"prev\" href=\"" +
               escapeHtml(queryOf(request, request.sort, request.page - 1)) + "\">Previous</a>";
    nav +=
        "<span>Page " + std::to_string(request.page) + " of " + std::to_string(pages) + "</span>";
    if (request.page < pages)
        nav += "<a rel=\"next\" href=\"" +
               escapeHtml(queryOf(request, request.sort, request.page + 1)) + "\">Next</a>";
    return nav + "</nav>";
}

std::string resultsHtml(const SearchRequest& request, const index::SearchResult& result) {
    if (result.matches == 0)
        return "<p class=\"count\">No deal matches.</p>";
    const std::size_t first = request.query.offset + 1;
    const std::size_t last = request.query.offset + result.hits.size();
    const std::string count =
        result.hits.empty()
            ? "No deals on this page; " + std::to_string(result.matches) + " in all."
            : std::to_string(first) + "&#8211;" + std::to_string(last) + " of " +
                  std::to_string(result.matches) + (result.matches == 1 ? " deal" : " deals");
    return "<p class=\"count\">" + count + "</p>" + tableHtml(request, result) +
           pagesHtml(request, result);
}

std::string headerHtml(bool loggedIn, const std::string& person = "") {
    if (!loggedIn)
        return "<header><h1><a href=\"/\">Deals</a></h1></header>";
    return "<header><h1><a href=\"/\">Deals</a></h1><form method=\"post\" "
           "action=\"/logout\">" +
           (person.empty() ? "" : "<span class=\"person\">" + shown(person) + "</span> ") +
           "<button type=\"submit\">Log out</button></form></header>";
}

} // namespace

std::string percentEncoded(std::string_view text) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kDigits[byte >> 4];
            encoded += kDigits[byte & 0xF];
        }
    }
    return encoded;
}

std::string searchPageHtml(const SearchPage& page) {
    std::string main = formHtml(page.request);
    if (!page.problem.empty())
        main += "<p class=\"problem\" role=\"alert\">" + shown(page.problem) + "</p>";
    else if (page.request && page.result)
        main += resultsHtml(*page.request, *page.result);
    return pageHtml("Deals", headerHtml(page.loggedIn, page.person) + "<main>" + main + "</main>");
}

std::string loginPageHtml(bool failed) {
    return pageHtml(
        "Log in",
        headerHtml(false) +
            "<main><form class=\"login\" method=\"post\" action=\"/login\">"
            "<label>Access token <input type=\"password\" name=\"token\" "
            "autocomplete=\"current-password\" autofocus required></label>"
            "<button type=\"submit\">Log in</button></form>" +
            (failed ? "<p class=\"problem\" role=\"alert\">That token is not the one.</p>" : "") +
            "</main>");
}

std::string messagePageHtml(std::string_view title, std::string_view text) {
    return pageHtml(title, headerHtml(false) + "<main><h2>" + escapeHtml(title) +
                               "</h2><p class=\"problem\">" + shown(std::string(text)) +
                               "</p><p><a href=\"/\">Search the deals</a></p></main>");
}

} // namespace velmora::serve
