#include "platform/terminal.h"

#include <unistd.h>

namespace velmora {

bool isTerminal(StandardStream stream) {
    switch (stream) {
    case StandardStream::Input:
        return ::isatty(STDIN_FILENO) != 0;
    case StandardStream::Output:
        return ::isatty(STDOUT_FILENO) != 0;
    case StandardStream::Error:
        break;
    }
    return ::isatty(STDERR_FILENO) != 0;
}

} // namespace velmora
