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

// Keeps Velmora.dll loaded until the process ends, once a host has asked for
// its class object. Every unload and reload of a DLL with the static C++
// runtime and its threads loses memory and handles that only that runtime
// could give back; a host that polls CoFreeUnusedLibraries would otherwise
// lose them on every cycle.
void stayLoaded();

HINSTANCE moduleInstance();
// The full path of Velmora.dll as loaded.
std::wstring modulePath();

} // namespace velmora::com
