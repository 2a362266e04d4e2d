// Where the server's parts that count time (sessions, the login limit, the
// users file's check) read it: the steady clock, or a test's own clock that
// it moves by hand.
#pragma once

#include <chrono>
#include <functional>

namespace velmora::serve {

using SteadyClock = std::chrono::steady_clock;
using SteadyNow = std::function<SteadyClock::time_point()>;

} // namespace velmora::serve
