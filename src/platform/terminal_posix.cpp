#include "platform/terminal.h"

#include <unistd.h>

namespace velmora {

bool isTerminal(StandardStream stream) {
    return ::isatty(stream == StandardStream::Input ? STDIN_FILENO : STDERR_FILENO) != 0;
}

} // namespace velmora
