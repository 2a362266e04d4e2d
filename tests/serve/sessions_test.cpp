// Sessions end when unused for the idle time, at their longest even when in
// use, and when closed; each remembers whom it was opened for.
#include "serve/access_token.h"
#include "serve/manual_clock.h"
#include "serve/sessions.h"

#include <gtest/gtest.h>

namespace velmora::serve {
namespace {

using namespace std::chrono_literals;

const Person kDana{"dana", "0123456789abcdef0123456789abcdef"};
const Person kLee{"lee", "fedcba9876543210fedcba9876543210"};

TEST(Sessions, ASessionEndsWhenUnusedForTheIdleTime) {
    testing::ManualClock clock;
    Sessions sessions(30min, 12h, clock.reader());
    const std::string used = sessions.open(kDana);
    const std::string left = sessions.open(kLee);
    EXPECT_NE(used, left);
    // Each use starts the idle time again: after these two, the session
    // is older than the idle time, but was never idle that long.
    clock.advance(20min);
    EXPECT_EQ(sessions.use(used), kDana);
    clock.advance(20min);
    EXPECT_EQ(sessions.use(used), kDana);
    EXPECT_EQ(sessions.use(left), std::nullopt);
    clock.advance(30min - 1s);
    EXPECT_EQ(sessions.use(used), kDana);
    clock.advance(30min);
    EXPECT_EQ(sessions.use(used), std::nullopt);
}

TEST(Sessions, ASessionEndsAtItsLongestEvenWhenInUse) {
    testing::ManualClock clock;
    Sessions sessions(30min, 2h, clock.reader());
    const std::string id = sessions.open(kDana);
    for (int quarter = 0; quarter < 7; ++quarter) {
        clock.advance(15min);
        EXPECT_EQ(sessions.use(id), kDana) << quarter;
    }
    clock.advance(15min - 1s);
    EXPECT_EQ(sessions.use(id), kDana);
    clock.advance(1s);
    EXPECT_EQ(sessions.use(id), std::nullopt);
}

TEST(Sessions, ClosingEndsThatSessionAlone) {
    Sessions sessions(1h, 1h);
    const std::string closed = sessions.open(kDana);
    const std::string other = sessions.open(kDana);
    sessions.close(closed);
    EXPECT_EQ(sessions.use(closed), std::nullopt);
    EXPECT_EQ(sessions.use(other), kDana);
    sessions.close("no such session");
    EXPECT_EQ(sessions.use(other), kDana);
    EXPECT_EQ(sessions.use(""), std::nullopt);
    EXPECT_EQ(sessions.use(randomId()), std::nullopt);
}

} // namespace
} // namespace velmora::serve
