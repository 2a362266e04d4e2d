// A server given a users file: each person logs in with their own token, by
// the form or as a bearer, and is named on the page; a person taken out of
// the file is shut out from their next request, whatever session they hold;
// sessions end when idle and at their longest; and an address that fails to
// log in too often waits out the minute, while another address does not;
// the audit trail names the person behind each action.
#include "serve/audit_chain.h"
#include "serve/audit_log.h"
#include "serve/manual_clock.h"
#include "serve/people.h"
#include "serve/served_index.h"
#include "serve/users_file.h"
#include "support/index_archive.h"

#include <gtest/gtest.h>

#include <mutex>
#include <regex>

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;

struct OneDeal {
    OneDeal() { savePurchase(folder.file("purchase.hud"), "Dana Whitlock"); }
    TempFolder folder;
};

class UserLogin : public ::testing::Test {
protected:
    serve::ServeOptions options() {
        serve::ServeOptions options;
        options.usersFile = users_;
        options.sessionIdle = 10min;
        options.sessionLongest = 1h;
        options.now = clock_.reader();
        options.notice = [this](const std::string& line) {
            const std::lock_guard lock(noticesMutex_);
            notices_.push_back(line);
        };
        return options;
    }

    httplib::Client from(const std::string& address) {
        httplib::Client client = served_.client();
        client.set_interface(address);
        return client;
    }
    httplib::Result logIn(const std::string& token, const std::string& address = "127.0.0.1") {
        return from(address).Post("/login", httplib::Params{{"token", token}});
    }
    // The "velmora_session=ID" of a login, empty when it failed.
    std::string sessionOf(const std::string& token) {
        const httplib::Result in = logIn(token);
        if (!in || in->status != 303)
            return "";
        const std::string set = in->get_header_value("Set-Cookie");
        return set.substr(0, set.find(';'));
    }
    int statusWith(const std::string& cookie, const std::string& target = "/?q=whitlock") {
        const httplib::Result page = served_.client().Get(target, {{"Cookie", cookie}});
        return page ? page->status : -1;
    }
    httplib::Result asBearer(const std::string& token, const std::string& target,
                             const std::string& address = "127.0.0.1") {
        return from(address).Get(target, {{"Authorization", "Bearer " + token}});
    }

    OneDeal deal_;
    TempFolder files_;
    const std::string users_ = files_.file("users");
    const std::string dana_ = serve::addUser(users_, "dana");
    const std::string lee_ = serve::addUser(users_, "lee@office");
    ManualClock clock_;
    std::mutex noticesMutex_;
    std::vector<std::string> notices_;
    const std::string auditPath_ = files_.file("audit.log");
    serve::AuditLog audit_{auditPath_};
    ServedIndex served_{deal_.folder.path(), options(), &audit_};
};

TEST_F(UserLogin, EachPersonLogsInWithTheirOwnTokenAndIsNamedOnThePage) {
    const std::string dana = sessionOf(dana_);
    ASSERT_FALSE(dana.empty());
    const httplib::Result page = served_.client().Get("/?q=whitlock", {{"Cookie", dana}});
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("Dana Whitlock"), std::string::npos);
    EXPECT_NE(page->body.find("<span class=\"person\">dana</span>"), std::string::npos);
    EXPECT_TRUE(guarded(page->headers));

    const httplib::Result found = asBearer(lee_, "/api/search?q=whitlock");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->status, 200);
    EXPECT_EQ(found->get_header_value("X-Total-Count"), "1");
    const httplib::Result named = asBearer(lee_, "/");
    ASSERT_TRUE(named);
    EXPECT_NE(named->body.find("<span class=\"person\">lee@office</span>"), std::string::npos);

    // What the file holds lets no one in (each try in a minute of its own,
    // below the limit of failures).
    for (const serve::UserLine& line : serve::readUsersFile(users_)) {
        for (const std::string& stolen : {line.hash, line.salt, line.salt + dana_}) {
            clock_.advance(1min);
            EXPECT_EQ(logIn(stolen)->status, 401);
            EXPECT_EQ(asBearer(stolen, "/api/search?q=whitlock")->status, 401);
        }
    }
}

TEST_F(UserLogin, APersonTakenOutOfTheFileIsShutOutFromTheirNextRequest) {
    const std::string dana = sessionOf(dana_);
    const std::string lee = sessionOf(lee_);
    ASSERT_EQ(statusWith(dana), 200);
    serve::removeUser(users_, "dana");
    clock_.advance(serve::kUsersFileCheck);
    EXPECT_EQ(statusWith(dana), 303);
    EXPECT_EQ(statusWith(dana, "/api/search?q=whitlock"), 401);
    EXPECT_EQ(asBearer(dana_, "/api/search?q=whitlock")->status, 401);
    EXPECT_EQ(logIn(dana_)->status, 401);
    EXPECT_EQ(statusWith(lee), 200);

    // Back under the same name, with a new token: the old session stays ended.
    const std::string again = serve::addUser(users_, "dana");
    clock_.advance(serve::kUsersFileCheck);
    EXPECT_EQ(statusWith(dana), 303);
    EXPECT_EQ(statusWith(sessionOf(again)), 200);
}

TEST_F(UserLogin, ASessionEndsWhenIdleAndAtItsLongest) {
    const std::string idle = sessionOf(dana_);
    const std::string busy = sessionOf(lee_);
    for (int step = 0; step < 6; ++step) {
        clock_.advance(9min);
        EXPECT_EQ(statusWith(busy), 200) << step;
    }
    EXPECT_EQ(statusWith(idle), 303);
    clock_.advance(6min);
    EXPECT_EQ(statusWith(busy), 303);
}

TEST_F(UserLogin, AnAddressThatFailsTooOftenWaitsOutTheMinuteAndOthersDoNot) {
    const std::string wrong = "0f1e2d3c4b5a69788796a5b4c3d2e1f0";
    for (int failure = 0; failure < 5; ++failure) {
        const httplib::Result refused =
            failure % 2 == 0 ? logIn(wrong) : asBearer(wrong, "/api/search?q=whitlock");
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->status, 401) << failure;
        clock_.advance(1s);
    }
    for (const httplib::Result& slowed :
         {logIn(wrong), logIn(dana_), asBearer(dana_, "/api/search?q=whitlock")}) {
        ASSERT_TRUE(slowed);
        EXPECT_EQ(slowed->status, 429);
        EXPECT_EQ(slowed->get_header_value("Retry-After"), "55");
        EXPECT_EQ(slowed->get_header_value("Set-Cookie"), "");
        EXPECT_EQ(slowed->body.find("Whitlock"), std::string::npos);
    }
    EXPECT_EQ(logIn(dana_, "127.0.0.2")->status, 303);
    EXPECT_EQ(asBearer(lee_, "/api/search?q=whitlock", "127.0.0.2")->status, 200);

    clock_.advance(55s);
    EXPECT_EQ(logIn(dana_)->status, 303);

    const std::lock_guard lock(noticesMutex_);
    ASSERT_EQ(notices_.size(), 5u);
    const std::regex failed(
        R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(\.\d+)?Z 127\.0\.0\.1: login failed)");
    for (const std::string& notice : notices_)
        EXPECT_TRUE(std::regex_match(notice, failed)) << notice;
}

TEST_F(UserLogin, TheAuditTrailNamesThePersonOfEachAction) {
    const std::string dana = sessionOf(dana_);
    EXPECT_EQ(statusWith(dana), 200);
    EXPECT_EQ(asBearer(lee_, "/api/search?q=whitlock")->status, 200);
    EXPECT_EQ(served_.client().Post("/logout", {{"Cookie", dana}}, "", "")->status, 303);

    std::vector<std::pair<serve::AuditAction, std::string>> logged;
    for (const serve::AuditLine& line : serve::splitAuditLines(readBytes(auditPath_)))
        if (line.entry)
            logged.emplace_back(line.entry->event.action, line.entry->event.user);
    const std::vector<std::pair<serve::AuditAction, std::string>> expected{
        {serve::AuditAction::Login, "dana"},
        {serve::AuditAction::Search, "dana"},
        {serve::AuditAction::Search, "lee@office"},
        {serve::AuditAction::Logout, "dana"}};
    EXPECT_EQ(logged, expected);
}

} // namespace
} // namespace velmora::testing
