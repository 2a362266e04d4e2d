// Failed logins counted per address: the sixth try in a minute waits for the
// rest of that minute, other addresses do not, and a full table refuses new
// addresses until old minutes end.
#include "serve/login_throttle.h"
#include "serve/manual_clock.h"

#include <gtest/gtest.h>

namespace velmora::serve {
namespace {

using namespace std::chrono_literals;

TEST(LoginThrottle, FiveFailuresAMinuteThenTheRestOfThatMinuteIsWaited) {
    testing::ManualClock clock;
    LoginThrottle throttle(clock.reader());
    for (unsigned failure = 0; failure < kFailuresAMinute; ++failure) {
        EXPECT_EQ(throttle.waitFor("10.0.0.7"), std::nullopt) << failure;
        throttle.failed("10.0.0.7");
        clock.advance(10s);
    }
    EXPECT_EQ(throttle.waitFor("10.0.0.7"), 10s);
    EXPECT_EQ(throttle.waitFor("10.0.0.8"), std::nullopt);
    clock.advance(9500ms);
    EXPECT_EQ(throttle.waitFor("10.0.0.7"), 1s);
    clock.advance(500ms);
    EXPECT_EQ(throttle.waitFor("10.0.0.7"), std::nullopt);

    // A new minute counts from its own first failure.
    throttle.failed("10.0.0.7");
    clock.advance(59s);
    for (unsigned failure = 1; failure < kFailuresAMinute; ++failure)
        throttle.failed("10.0.0.7");
    EXPECT_EQ(throttle.waitFor("10.0.0.7"), 1s);
}

TEST(LoginThrottle, AFullTableRefusesNewAddressesUntilOldMinutesEnd) {
    testing::ManualClock clock;
    LoginThrottle throttle(clock.reader(), 3);
    for (const char* address : {"a", "b", "c"})
        throttle.failed(address);
    clock.advance(30s);
    EXPECT_EQ(throttle.waitFor("a"), std::nullopt);
    EXPECT_EQ(throttle.waitFor("d"), 1min);
    throttle.failed("d");
    clock.advance(30s);
    EXPECT_EQ(throttle.waitFor("d"), std::nullopt);
    for (unsigned failure = 0; failure < kFailuresAMinute; ++failure)
        throttle.failed("d");
    EXPECT_EQ(throttle.waitFor("d"), 1min);
}

} // namespace
} // namespace velmora::serve
