// The terminal seam: each standard stream answers for itself, a terminal
// (here a pseudo-terminal) as one, a file or a pipe as none.
#include "platform/terminal.h"
#include "support/child_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace velmora::testing {
namespace {

// The descriptor of a new pseudo-terminal's terminal end; -1 when none.
int openTerminal() {
    const int controller = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (controller < 0 || ::grantpt(controller) != 0 || ::unlockpt(controller) != 0)
        return -1;
    const char* name = ::ptsname(controller);
    return name ? ::open(name, O_RDWR | O_NOCTTY) : -1;
}

TEST(Terminal, EachStandardStreamAnswersForItself) {
    const auto standInFor = [](int stream, int descriptor) {
        return descriptor >= 0 && ::dup2(descriptor, stream) == stream;
    };
    EXPECT_TRUE(inChildProcess([&] {
        const int nothing = ::open("/dev/null", O_RDWR);
        return standInFor(STDIN_FILENO, openTerminal()) && standInFor(STDERR_FILENO, nothing) &&
               isTerminal(StandardStream::Input) && !isTerminal(StandardStream::Error);
    }));
    EXPECT_TRUE(inChildProcess([&] {
        const int nothing = ::open("/dev/null", O_RDWR);
        return standInFor(STDIN_FILENO, nothing) && standInFor(STDERR_FILENO, openTerminal()) &&
               !isTerminal(StandardStream::Input) && isTerminal(StandardStream::Error);
    }));
}

} // namespace
} // namespace velmora::testing
