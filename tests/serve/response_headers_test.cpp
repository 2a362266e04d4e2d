// The headers every answer carries, whoever made it: the routes, the
// refusals of the server's own checks, and the HTTP library's answers to
// what it cannot even read. The statement page carries its own policy, and
// only that one.
#include "serve/served_archive.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

using ServeHeaders = ServedArchive;

TEST_F(ServeHeaders, EveryAnswerCarriesAStrictPolicyNoSniffingAndNoFraming) {
    const std::string deal = "/deal/" + std::to_string(idOf(archive().purchase));
    const std::vector<std::pair<std::string, int>> answers = {
        {"/", 200},
        {"/?q=whitlock", 200},
        {"/api/search?q=whitlock", 200},
        {"/health", 200},
        {"/assets/style.css", 200},
        {"/login", 303}, // no token: there is nothing to log in to
        {"/?page=0", 400},
        {"/api/search?page=0", 400},
        {"/deal/999999", 404},
        {"/api/deal/999999", 404},
        {"/nowhere", 404},
        {"/?q=" + std::string(4100, 'a'), 414},
    };
    for (const auto& [target, status] : answers) {
        const httplib::Result answer = get(target);
        ASSERT_TRUE(answer) << target;
        EXPECT_EQ(answer->status, status) << target.substr(0, 80);
        EXPECT_TRUE(guarded(answer->headers)) << target.substr(0, 80);
    }
    const httplib::Result statement = get(deal);
    ASSERT_TRUE(statement);
    EXPECT_EQ(statement->status, 200);
    EXPECT_TRUE(guarded(statement->headers, Policy::Statement));

    // A method no route takes.
    const httplib::Result posted = served().client().Post("/", "q=x", "text/plain");
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->status, 404);
    EXPECT_TRUE(guarded(posted->headers));

    // A request line no client would send is answered by the HTTP library
    // itself, and still with the headers.
    for (const std::string& request :
         {std::string("GARBAGE\r\n\r\n"), std::string("GET / HTTP/9.9 extra\r\n\r\n"),
          std::string("\x01\x02\x03 / HTTP/1.1\r\n\r\n")}) {
        const RawResponse raw = exchange(served().port(), request);
        EXPECT_EQ(raw.status, 400) << request;
        EXPECT_TRUE(guarded(raw.headers)) << request;
    }
    EXPECT_TRUE(stillServing(served()));
}

} // namespace
} // namespace velmora::testing
