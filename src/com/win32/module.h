// The module of Velmora.dll: its instance handle, its lock count and the
// cached class factory of HudProvider.
//
// The lock count is the number of live provider objects, plus class factories
// that clients hold beyond the module's own reference, plus outstanding
// LockServer(TRUE) calls. The DLL may unload only while it is 0.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <string>

namespace velmora::com {

void lockModule();
void unlockModule();
long moduleLockCount();

HINSTANCE moduleInstance();
// The full path of Velmora.dll as loaded.
std::wstring modulePath();

} // namespace velmora::com
