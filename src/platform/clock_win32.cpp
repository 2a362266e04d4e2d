// The local time as the system keeps it, time zone and daylight saving
// applied by Windows itself.
#include "platform/clock.h"

#include <windows.h>

namespace velmora {

LocalTime systemLocalTime() {
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

} // namespace velmora
