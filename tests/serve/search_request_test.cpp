// The query string of a search read into the index's question: every
// parameter where it belongs, and every kind of parameter refused with the
// reason shown to the person who sent it; and the encoding the pages' links
// write a query in.
#include "serve/page_html.h"
#include "serve/search_request.h"

#include <gtest/gtest.h>

namespace velmora::serve {
namespace {

using index::Field;

std::string refusalOf(const QueryParameters& parameters) {
    const auto read = readSearchRequest(parameters);
    const auto* problem = std::get_if<std::string>(&read);
    return problem ? *problem : "(taken)";
}

TEST(SearchRequest, EveryParameterGoesWhereItBelongs) {
    const auto read = readSearchRequest({{"q", "whitlock quarry"},
                                         {"from", "2009-05-01"},
                                         {"to", "5/1/2010"},
                                         {"field", "borrowers"},
                                         {"value", "Dana"},
                                         {"where", "lender=harbor"},
                                         {"where", "SELLERS=Morgan=Estates"},
                                         {"sort", "oldest"},
                                         {"page", "3"}});
    ASSERT_TRUE(std::holds_alternative<SearchRequest>(read)) << std::get<std::string>(read);
    const SearchRequest& request = std::get<SearchRequest>(read);
    EXPECT_EQ(request.query.words, "whitlock quarry");
    ASSERT_TRUE(request.query.from && request.query.to);
    EXPECT_EQ(*request.query.from, parseDate("5/1/2009"));
    EXPECT_EQ(*request.query.to, parseDate("2010-05-01"));
    const std::vector<std::pair<Field, std::string>> where = {
        {Field::Borrowers, "Dana"}, {Field::Lender, "harbor"}, {Field::Sellers, "Morgan=Estates"}};
    EXPECT_EQ(request.query.where, where);
    EXPECT_EQ(request.query.order, index::SearchOrder::SettlementOldest);
    EXPECT_EQ(request.page, 3u);
    EXPECT_EQ(request.query.limit, kPageSize);
    EXPECT_EQ(request.query.offset, 2 * kPageSize);
    // As given, for the form to show again.
    EXPECT_EQ(request.from, "2009-05-01");
    EXPECT_EQ(request.to, "5/1/2010");
    EXPECT_EQ(request.field, "borrowers");
    EXPECT_EQ(request.value, "Dana");
    EXPECT_EQ(request.sort, "oldest");
    EXPECT_EQ(request.where, (std::vector<std::string>{"lender=harbor", "SELLERS=Morgan=Estates"}));
}

TEST(SearchRequest, NothingGivenIsTheFirstPageOfEverythingBestFirst) {
    for (const QueryParameters& parameters :
         {QueryParameters{}, QueryParameters{{"q", ""},
                                             {"from", ""},
                                             {"to", ""},
                                             {"field", ""},
                                             {"value", "ignored without a field"},
                                             {"sort", ""},
                                             {"page", ""}}}) {
        const auto read = readSearchRequest(parameters);
        ASSERT_TRUE(std::holds_alternative<SearchRequest>(read)) << std::get<std::string>(read);
        const SearchRequest& request = std::get<SearchRequest>(read);
        EXPECT_EQ(request.query.words, "");
        EXPECT_FALSE(request.query.from || request.query.to);
        EXPECT_TRUE(request.query.where.empty());
        EXPECT_EQ(request.query.order, index::SearchOrder::Best);
        EXPECT_EQ(request.page, 1u);
        EXPECT_EQ(request.query.offset, 0u);
    }
    // A filter of no value filters nothing, as the form sends it.
    const auto empty =
        readSearchRequest({{"field", "lender"}, {"value", ""}, {"where", "sellers="}});
    ASSERT_TRUE(std::holds_alternative<SearchRequest>(empty));
    EXPECT_TRUE(std::get<SearchRequest>(empty).query.where.empty());
    EXPECT_EQ(std::get<SearchRequest>(readSearchRequest({{"sort", "newest"}})).query.order,
              index::SearchOrder::SettlementNewest);
    EXPECT_EQ(std::get<SearchRequest>(readSearchRequest({{"sort", "best"}})).query.order,
              index::SearchOrder::Best);
}

TEST(SearchRequest, EachKindOfBadParameterIsRefusedWithItsReason) {
    const std::string filters =
        "a filter is FIELD=VALUE with FIELD one of: " + index::fieldColumns();
    const std::string pages = "page is a number from 1 to 100000";
    const std::vector<std::pair<QueryParameters, std::string>> refused = {
        {{{"x", "1"}}, "unknown parameter"},
        {{{"q", "a"}, {"Q", "b"}}, "unknown parameter"},
        {{{"q", std::string(513, 'a')}}, "the parameter q is longer than 512 bytes"},
        {{{"where", "borrowers=" + std::string(503, 'a')}},
         "the parameter where is longer than 512 bytes"},
        {{{"q", "Ren\xE9"}}, "the parameter q is not UTF-8 text"},
        {{{"value", "\xC0\xAF"}}, "the parameter value is not UTF-8 text"},
        {{{"q", std::string("a\0b", 3)}}, "the parameter q is not UTF-8 text"},
        {{{"q", "a"}, {"q", "b"}}, "the parameter q is given twice"},
        {{{"page", "1"}, {"page", "1"}}, "the parameter page is given twice"},
        {{{"from", "2009-13-45"}}, "'2009-13-45' is not a date such as 2009-05-01 or 5/1/2009"},
        {{{"to", "yesterday"}}, "'yesterday' is not a date such as 2009-05-01 or 5/1/2009"},
        {{{"field", "nosuchfield"}, {"value", "x"}}, filters},
        {{{"where", "nosuchfield=x"}}, filters},
        {{{"where", "borrowers"}}, filters},
        {{{"sort", "NEWEST"}}, "sort is best, newest or oldest"},
        {{{"sort", "random"}}, "sort is best, newest or oldest"},
        {{{"page", "0"}}, pages},
        {{{"page", "-1"}}, pages},
        {{{"page", "+2"}}, pages},
        {{{"page", "2x"}}, pages},
        {{{"page", "two"}}, pages},
        {{{"page", "100001"}}, pages},
        {{{"page", "99999999999999999999999"}}, pages},
    };
    for (const auto& [parameters, reason] : refused)
        EXPECT_EQ(refusalOf(parameters), reason) << parameters.begin()->first;

    EXPECT_EQ(refusalOf({{"q", std::string(512, 'a')}, {"page", "100000"}}), "(taken)");
}

TEST(SearchRequest, SixteenFiltersAreTakenAndSeventeenRefused) {
    QueryParameters parameters;
    for (int filter = 0; filter < 16; ++filter)
        parameters.emplace("where", "borrowers=name" + std::to_string(filter));
    const auto sixteen = readSearchRequest(parameters);
    ASSERT_TRUE(std::holds_alternative<SearchRequest>(sixteen));
    EXPECT_EQ(std::get<SearchRequest>(sixteen).query.where.size(), 16u);
    parameters.emplace("where", "borrowers=");
    EXPECT_EQ(refusalOf(parameters), "more than 16 filters");
}

TEST(QueryParameters, EachPairIsSplitAtItsFirstEqualsAndDecodedAsAFormSendsIt) {
    const QueryParameters read = queryParameters(
        "q=dana+whitlock&where=lender=harbor&where=sellers%3Dmorgan+estates&to=&page");
    const QueryParameters expected = {{"q", "dana whitlock"},
                                      {"where", "lender=harbor"},
                                      {"where", "sellers=morgan estates"},
                                      {"to", ""},
                                      {"page", ""}};
    EXPECT_EQ(read, expected);
    EXPECT_EQ(queryParameters("q=a%2Bb%26c%3d%C3%A9"), (QueryParameters{{"q", "a+b&c=\xC3\xA9"}}));
    // What is no escape stands for itself; what is one may be any byte.
    EXPECT_EQ(queryParameters("q=%zz%4&v=%&w=%00"),
              (QueryParameters{{"q", "%zz%4"}, {"v", "%"}, {"w", std::string(1, '\0')}}));
    EXPECT_EQ(queryParameters("&&q=1&&"), (QueryParameters{{"q", "1"}}));
    EXPECT_EQ(queryParameters(""), QueryParameters{});
    // The round trip of the page links.
    const std::string odd = "Ren\xC3\xA9"
                            "e & co = \"<+>\" 100%";
    EXPECT_EQ(queryParameters("q=" + percentEncoded(odd)), (QueryParameters{{"q", odd}}));
}

TEST(PercentEncoded, KeepsLettersDigitsAndFourMarksAndEncodesEveryOtherByte) {
    EXPECT_EQ(percentEncoded("Dana Whitlock"), "Dana%20Whitlock");
    EXPECT_EQ(percentEncoded("AZaz09-._~"), "AZaz09-._~");
    EXPECT_EQ(percentEncoded("&=?#%+/;\"<>'"), "%26%3D%3F%23%25%2B%2F%3B%22%3C%3E%27");
    EXPECT_EQ(percentEncoded("Ren\xC3\xA9"
                             "e"),
              "Ren%C3%A9e");
    EXPECT_EQ(percentEncoded(std::string("\0\x01\x7F\xFF", 4)), "%00%01%7F%FF");
    EXPECT_EQ(percentEncoded(""), "");
}

} // namespace
} // namespace velmora::serve
