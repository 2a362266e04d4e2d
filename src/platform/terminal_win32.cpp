// A console is what GetConsoleMode answers for. The C runtime's _isatty asks
// only for a character device, and so takes NUL, a serial port or a printer
// for a terminal: a question on NUL would wait for an answer nobody types.
#include "platform/terminal.h"

#include <windows.h>

namespace velmora {
namespace {

DWORD standardHandleOf(StandardStream stream) {
    switch (stream) {
    case StandardStream::Input:
        return STD_INPUT_HANDLE;
    case StandardStream::Output:
        return STD_OUTPUT_HANDLE;
    case StandardStream::Error:
        break;
    }
    return STD_ERROR_HANDLE;
}

} // namespace

bool isTerminal(StandardStream stream) {
    const HANDLE handle = ::GetStdHandle(standardHandleOf(stream));
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD mode = 0;
    return ::GetConsoleMode(handle, &mode) != 0;
}

} // namespace velmora
