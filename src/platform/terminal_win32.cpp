// The C runtime's answer, which the tool has always gone by: a console, or
// another character device.
#include "platform/terminal.h"

#include <io.h>

namespace velmora {
namespace {

// The C runtime's descriptors of the standard streams.
constexpr int kStandardInput = 0;
constexpr int kStandardOutput = 1;
constexpr int kStandardError = 2;

} // namespace

bool isTerminal(StandardStream stream) {
    switch (stream) {
    case StandardStream::Input:
        return ::_isatty(kStandardInput) != 0;
    case StandardStream::Output:
        return ::_isatty(kStandardOutput) != 0;
    case StandardStream::Error:
        break;
    }
    return ::_isatty(kStandardError) != 0;
}

} // namespace velmora
