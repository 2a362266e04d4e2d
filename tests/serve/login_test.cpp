// The login of a server given a token: pages send a stranger to the login
// page and the API refuses one; the token is traded for a session cookie
// that is not the token, that scripts cannot read, that no other site's
// request carries, and that logging out ends; scripts send the token
// itself; and no other site may post to the server.
#include "serve/served_index.h"
#include "support/index_archive.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

const std::string kToken = "4f1c9a27d0b38e65c2a7194e0d5b8f36";

struct OneDeal {
    OneDeal() { savePurchase(folder.file("purchase.hud"), "Dana Whitlock"); }
    TempFolder folder;
};

class ServeLogin : public ::testing::Test {
protected:
    httplib::Result get(const std::string& target, const httplib::Headers& headers = {}) {
        return served_.client().Get(target, headers);
    }
    httplib::Result logIn(const std::string& token, const httplib::Headers& headers = {}) {
        return served_.client().Post("/login", headers, httplib::Params{{"token", token}});
    }
    static httplib::Headers withCookie(const std::string& cookie) { return {{"Cookie", cookie}}; }

    // The "velmora_session=ID" of a login's Set-Cookie.
    static std::string cookieOf(const httplib::Response& response) {
        const std::string set = response.get_header_value("Set-Cookie");
        return set.substr(0, set.find(';'));
    }

    OneDeal deal_;
    ServedIndex served_{deal_.folder.path(), kToken};
};

TEST_F(ServeLogin, AStrangerIsSentToTheLoginPageOrRefused) {
    const httplib::Result page = get("/?q=whitlock");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 303);
    EXPECT_EQ(page->get_header_value("Location"), "/login");
    EXPECT_TRUE(guarded(page->headers));
    EXPECT_EQ(page->body.find("Whitlock"), std::string::npos);
    const httplib::Result deal = get("/deal/1");
    ASSERT_TRUE(deal);
    EXPECT_EQ(deal->status, 303);

    for (const std::string api : {"/api/search?q=whitlock", "/api/deal/1"}) {
        const httplib::Result refused = get(api);
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->status, 401) << api;
        EXPECT_EQ(refused->get_header_value("WWW-Authenticate"), "Bearer");
        EXPECT_TRUE(guarded(refused->headers));
        EXPECT_EQ(refused->body.find("Whitlock"), std::string::npos);
    }

    // What a browser needs to show the login page, and monitoring, stay open.
    for (const std::string open : {"/login", "/health", "/assets/style.css"}) {
        const httplib::Result answer = get(open);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, 200) << open;
    }
    EXPECT_NE(get("/login")->body.find("name=\"token\""), std::string::npos);
}

TEST_F(ServeLogin, TheTokenOpensASessionWhoseCookieIsNotTheToken) {
    const httplib::Result wrong = logIn(kToken.substr(0, 31) + "7");
    ASSERT_TRUE(wrong);
    EXPECT_EQ(wrong->status, 401);
    EXPECT_EQ(wrong->get_header_value("Set-Cookie"), "");
    EXPECT_NE(wrong->body.find("That token is not the one."), std::string::npos) << wrong->body;
    EXPECT_NE(wrong->body.find("name=\"token\""), std::string::npos);

    const httplib::Result right = logIn(kToken);
    ASSERT_TRUE(right);
    EXPECT_EQ(right->status, 303);
    EXPECT_EQ(right->get_header_value("Location"), "/");
    const std::string set = right->get_header_value("Set-Cookie");
    const std::string cookie = cookieOf(*right);
    EXPECT_TRUE(cookie.starts_with("velmora_session=")) << set;
    EXPECT_EQ(set.substr(cookie.size()), "; Path=/; HttpOnly; SameSite=Strict") << set;
    EXPECT_EQ(set.find(kToken), std::string::npos) << set;
    EXPECT_EQ(cookie.size(), std::string("velmora_session=").size() + 32) << set;

    const httplib::Result page = get("/?q=whitlock", withCookie(cookie));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("Dana Whitlock"), std::string::npos);
    EXPECT_NE(page->body.find("action=\"/logout\""), std::string::npos);
    // Among a browser's other cookies.
    const httplib::Result among =
        get("/?q=whitlock", withCookie("theme=dark; " + cookie + "; x=1"));
    ASSERT_TRUE(among);
    EXPECT_EQ(among->status, 200);

    // Each login is a session of its own.
    const httplib::Result again = logIn(kToken);
    ASSERT_TRUE(again);
    EXPECT_NE(cookieOf(*again), cookie);

    for (const std::string& madeUp :
         {std::string("velmora_session=0123456789abcdef0123456789abcdef"),
          "velmora_session=" + kToken, std::string("velmora_session="),
          "other_session=" + cookie.substr(16)}) {
        const httplib::Result refused = get("/?q=whitlock", withCookie(madeUp));
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->status, 303) << madeUp;
    }
}

TEST_F(ServeLogin, ScriptsSendTheTokenAsABearer) {
    const httplib::Result found =
        get("/api/search?q=whitlock", {{"Authorization", "Bearer " + kToken}});
    ASSERT_TRUE(found);
    EXPECT_EQ(found->status, 200);
    EXPECT_EQ(found->get_header_value("X-Total-Count"), "1");
    for (const std::string& wrong :
         {"Bearer " + kToken + "0", "Bearer " + kToken.substr(1), "Basic " + kToken, kToken}) {
        const httplib::Result refused = get("/api/search?q=whitlock", {{"Authorization", wrong}});
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->status, 401) << wrong;
    }
}

TEST_F(ServeLogin, LoggingOutEndsTheSession) {
    const httplib::Result in = logIn(kToken);
    ASSERT_TRUE(in);
    const std::string cookie = cookieOf(*in);
    const httplib::Result other = logIn(kToken);
    ASSERT_TRUE(other);

    const httplib::Result out = served_.client().Post("/logout", withCookie(cookie), "", "");
    ASSERT_TRUE(out);
    EXPECT_EQ(out->status, 303);
    EXPECT_EQ(out->get_header_value("Location"), "/login");
    EXPECT_EQ(out->get_header_value("Set-Cookie"),
              "velmora_session=; Path=/; Max-Age=0; HttpOnly; SameSite=Strict");
    const httplib::Result after = get("/", withCookie(cookie));
    ASSERT_TRUE(after);
    EXPECT_EQ(after->status, 303);
    // Another person's session goes on.
    const httplib::Result theirs = get("/", withCookie(cookieOf(*other)));
    ASSERT_TRUE(theirs);
    EXPECT_EQ(theirs->status, 200);
}

TEST_F(ServeLogin, AFormPostedFromAnotherSiteIsRefused) {
    const std::string self = "http://127.0.0.1:" + std::to_string(served_.port());
    for (const std::string& foreign :
         {std::string("http://attacker.example"), std::string("null"), self + ".attacker.example",
          std::string("https://127.0.0.1")}) {
        const httplib::Result refused = logIn(kToken, {{"Origin", foreign}});
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->status, 403) << foreign;
        EXPECT_EQ(refused->get_header_value("Set-Cookie"), "") << foreign;
        EXPECT_TRUE(guarded(refused->headers));
    }
    const httplib::Result own = logIn(kToken, {{"Origin", self}});
    ASSERT_TRUE(own);
    EXPECT_EQ(own->status, 303);
    const httplib::Result out = served_.client().Post(
        "/logout", {{"Origin", "http://attacker.example"}, {"Cookie", cookieOf(*own)}}, "", "");
    ASSERT_TRUE(out);
    EXPECT_EQ(out->status, 403);
    EXPECT_EQ(get("/", withCookie(cookieOf(*own)))->status, 200);
}

} // namespace
} // namespace velmora::testing
