// The C runtime's answer, which the tool has always gone by: a console, or
// another character device.
#include "platform/terminal.h"

#include <io.h>

namespace velmora {
namespace {

// The C runtime's descriptors of the standard streams.
constexpr int kStandardInput = 0;
constexpr int kStandardError = 2;

} // namespace

bool isTerminal(StandardStream stream) {
    return ::_isatty(stream == StandardStream::Input ? kStandardInput : kStandardError) != 0;
}

} // namespace velmora
